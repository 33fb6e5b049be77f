#include "track/formats/GpmfKlv.h"

#include "track/formats/TextFields.h"

namespace vek::track::formats::gpmf {

namespace {

constexpr std::size_t kAlignment = 4;

std::size_t padded(std::size_t n) {
  return (n + kAlignment - 1) / kAlignment * kAlignment;
}

}  // namespace

bool for_each_klv(Bytes bytes, const std::function<void(const Klv&)>& visit) {
  ByteReader reader(bytes);
  std::size_t at = 0;
  while (at < bytes.size()) {
    if (!reader.fits(at, kHeaderSize)) return false;
    Klv item;
    item.key = as_text(reader.range(at, 4));
    item.type = static_cast<char>(reader.u8(at + 4));
    item.element_size = reader.u8(at + 5);
    item.repeat = reader.u16be(at + 6);
    const std::size_t length = std::size_t{item.element_size} * item.repeat;
    if (!reader.fits(at + kHeaderSize, length)) return false;
    item.data = reader.range(at + kHeaderSize, length);
    visit(item);
    at += kHeaderSize + padded(length);
  }
  return true;
}

std::optional<std::size_t> type_size(char type) {
  switch (type) {
    case 'b':
    case 'B':
    case 'c':
      return 1;
    case 's':
    case 'S':
      return 2;
    case 'l':
    case 'L':
    case 'f':
      return 4;
    case 'd':
    case 'j':
    case 'J':
      return 8;
    default:
      return std::nullopt;
  }
}

std::optional<double> number_at(Bytes data, std::size_t offset, char type) {
  ByteReader reader(data);
  const auto size = type_size(type);
  if (!size || !reader.fits(offset, *size)) return std::nullopt;
  switch (type) {
    case 'b':
      return static_cast<std::int8_t>(reader.u8(offset));
    case 'B':
    case 'c':
      return reader.u8(offset);
    case 's':
      return reader.i16be(offset);
    case 'S':
      return reader.u16be(offset);
    case 'l':
      return reader.i32be(offset);
    case 'L':
      return reader.u32be(offset);
    case 'f':
      return reader.f32be(offset);
    case 'd':
      return reader.f64be(offset);
    case 'j':
      return static_cast<double>(static_cast<std::int64_t>(reader.u64be(offset)));
    default:
      return static_cast<double>(reader.u64be(offset));
  }
}

}  // namespace vek::track::formats::gpmf
