#include "track/formats/Gpmf.h"

#include "track/formats/GpmfKlv.h"
#include "track/formats/Notes.h"
#include "track/formats/TextFields.h"
#include "track/formats/UtcClock.h"

#include <cmath>
#include <string>
#include <vector>

namespace vek::track::formats {

namespace {

using gpmf::Klv;

constexpr double kStandardGravity = 9.80665;  // ACCL is in m/s2
constexpr double kKmhPerMetrePerSecond = 3.6;
constexpr double kWorstUsableDop = 10.0;  // peers reject DOP x 100 over 1000
constexpr std::size_t kGps5Values = 5;
constexpr std::string_view kGps9DefaultType = "lllllllSS";
constexpr std::size_t kAccelAxes = 3;

struct Row {
  std::vector<double> values;  // scaled
};

// What one container has said so far: SCAL and TYPE apply to the data after them.
struct Stream {
  std::vector<double> scale;
  std::string type;
  std::optional<double> gpsu;  // seconds since 1970
  std::optional<double> fix;
  std::optional<double> dop;
  std::vector<Row> gps5;
  std::vector<Fix> gps9;
};

std::vector<double> numbers(const Klv& item) {
  std::vector<double> values;
  const auto size = gpmf::type_size(item.type);
  if (!size || *size != item.element_size) return values;
  for (std::size_t at = 0; at + *size <= item.data.size(); at += *size)
    values.push_back(gpmf::number_at(item.data, at, item.type).value_or(0));
  return values;
}

double scale_of(const Stream& stream, std::size_t index) {
  if (stream.scale.empty()) return 1.0;
  return stream.scale.size() == 1 ? stream.scale[0] : index < stream.scale.size() ? stream.scale[index] : 0.0;
}

std::optional<double> gpsu_seconds(const Klv& item) {
  const std::string_view text = as_text(item.data);
  const auto yy = fixed_digits(text, 0, 2);
  const auto mo = fixed_digits(text, 2, 2);
  const auto dd = fixed_digits(text, 4, 2);
  const auto hh = fixed_digits(text, 6, 2);
  const auto mi = fixed_digits(text, 8, 2);
  const auto ss = decimal(text.size() >= 16 ? text.substr(10, 6) : std::string_view{});
  if (!yy || !mo || !dd || !hh || !mi || !ss) return std::nullopt;
  return unix_from_utc({2000 + static_cast<int>(*yy), static_cast<int>(*mo), static_cast<int>(*dd),
                        static_cast<int>(*hh), static_cast<int>(*mi), *ss});
}

// Offsets of each field of a complex ('?') element described by TYPE.
std::optional<std::vector<std::size_t>> field_offsets(std::string_view type, std::size_t element_size) {
  std::vector<std::size_t> offsets;
  std::size_t at = 0;
  for (const char c : type) {
    const auto size = gpmf::type_size(c);
    if (!size) return std::nullopt;
    offsets.push_back(at);
    at += *size;
  }
  if (at != element_size) return std::nullopt;
  return offsets;
}

bool scales_usable(const Stream& stream, std::size_t count, Decoded& decoded) {
  for (std::size_t i = 0; i < count; ++i) {
    if (scale_of(stream, i) == 0.0) {
      note_once(decoded, "data under a SCAL of 0 skipped");
      return false;
    }
  }
  return true;
}

bool fix_flag(std::optional<double> fix, std::optional<double> dop) {
  const bool fixed = !fix || *fix == 2 || *fix == 3;
  return fixed && !(dop && *dop > kWorstUsableDop);
}

// Also refuses what a NaN or infinite scale made of the numbers.
bool plausible(double latitude, double longitude, double speed_m_s) {
  return std::abs(latitude) <= 90.0 && std::abs(longitude) <= 180.0 && std::isfinite(speed_m_s) && speed_m_s >= 0;
}

void take_gps5(const Klv& item, Stream& stream, Decoded& decoded) {
  if (item.type != 'l' || item.element_size != 4 * kGps5Values || !scales_usable(stream, kGps5Values, decoded)) return;
  const auto raw = numbers({item.key, 'l', 4, static_cast<std::uint16_t>(item.data.size() / 4), item.data});
  for (std::size_t at = 0; at + kGps5Values <= raw.size(); at += kGps5Values) {
    Row row;
    for (std::size_t i = 0; i < kGps5Values; ++i)
      row.values.push_back(raw[at + i] / scale_of(stream, i));
    stream.gps5.push_back(std::move(row));
  }
}

std::optional<Fix> gps9_fix(Bytes element, const std::vector<std::size_t>& offsets, std::string_view type,
                            const Stream& stream) {
  std::vector<double> v;
  for (std::size_t i = 0; i < offsets.size(); ++i)
    v.push_back(gpmf::number_at(element, offsets[i], type[i]).value_or(0) / scale_of(stream, i));
  const auto utc = utc_from_unix(kGpmfEpochUnixSeconds + v[5] * 86400.0 + v[6]);
  if (!utc || !plausible(v[0], v[1], v[3])) return std::nullopt;
  Fix fix;
  fix.time = *utc;
  fix.latitude = v[0];
  fix.longitude = v[1];
  fix.speed_kmh = v[3] * kKmhPerMetrePerSecond;
  fix.valid = fix_flag(v[8], v[7]);
  return fix;
}

void take_gps9(const Klv& item, Stream& stream, Decoded& decoded) {
  const std::string_view type = stream.type.empty() ? kGps9DefaultType : std::string_view(stream.type);
  const auto offsets = field_offsets(type, item.element_size);
  if (item.type != '?' || !offsets || offsets->size() != kGps9DefaultType.size() ||
      !scales_usable(stream, offsets->size(), decoded)) {
    note_once(decoded, "GPS9 with an unexpected TYPE skipped");
    return;
  }
  ByteReader reader(item.data);
  for (std::size_t at = 0; at < item.repeat; ++at) {
    if (const auto fix = gps9_fix(reader.range(at * item.element_size, item.element_size), *offsets, type, stream))
      stream.gps9.push_back(*fix);
  }
}

void take_accel(const Klv& item, const Stream& stream, Decoded& decoded) {
  if (item.type != 's' || item.element_size != 2 * kAccelAxes || !scales_usable(stream, kAccelAxes, decoded)) return;
  const auto raw = numbers({item.key, 's', 2, static_cast<std::uint16_t>(item.data.size() / 2), item.data});
  for (std::size_t at = 0; at + kAccelAxes <= raw.size(); at += kAccelAxes) {
    const auto g = [&](std::size_t i) {
      return static_cast<float>(raw[at + i] / scale_of(stream, i) / kStandardGravity);
    };
    decoded.accel.push_back({g(0), g(1), g(2)});
  }
  note_once(decoded, "ACCL axes taken in stored order as x, y, z (the order differs between camera generations)");
}

void finish_stream(Stream& stream, double duration_seconds, Decoded& decoded) {
  if (!stream.gps9.empty()) {
    decoded.fixes.insert(decoded.fixes.end(), stream.gps9.begin(), stream.gps9.end());
    if (!stream.gps5.empty()) note_once(decoded, "GPS9 preferred over GPS5 in the same stream");
    return;
  }
  if (stream.gps5.empty()) return;
  if (!stream.gpsu) {
    note_once(decoded, "GPS5 without a GPSU time skipped");
    return;
  }
  if (stream.fix == 0.0) note_once(decoded, "GPSF 0 read as no fix, although some files say 0 with good positions");
  const double step = duration_seconds / static_cast<double>(stream.gps5.size());
  for (std::size_t i = 0; i < stream.gps5.size(); ++i) {
    const auto& v = stream.gps5[i].values;
    const auto utc = utc_from_unix(*stream.gpsu + step * static_cast<double>(i));
    if (!utc || !plausible(v[0], v[1], v[3])) continue;
    Fix fix;
    fix.time = *utc;
    fix.latitude = v[0];
    fix.longitude = v[1];
    fix.speed_kmh = v[3] * kKmhPerMetrePerSecond;
    fix.valid = fix_flag(stream.fix, stream.dop);
    decoded.fixes.push_back(fix);
  }
}

void walk(Bytes bytes, int depth, double duration_seconds, Decoded& decoded);

void take_item(const Klv& item, Stream& stream, int depth, double duration_seconds, Decoded& decoded) {
  const auto first = [&] {
    const auto v = numbers(item);
    return v.empty() ? std::optional<double>{} : v[0];
  };
  if (item.type == gpmf::kNested)
    walk(item.data, depth + 1, duration_seconds, decoded);
  else if (item.key == "SCAL")
    stream.scale = numbers(item);
  else if (item.key == "TYPE")
    stream.type = std::string(until_nul(as_text(item.data)));
  else if (item.key == "GPSU" && item.type == 'U')
    stream.gpsu = gpsu_seconds(item);
  else if (item.key == "GPSF")
    stream.fix = first();
  else if (item.key == "GPSP")
    stream.dop = first() ? std::optional<double>(*first() / 100.0) : std::nullopt;
  else if (item.key == "GPS5")
    take_gps5(item, stream, decoded);
  else if (item.key == "GPS9")
    take_gps9(item, stream, decoded);
  else if (item.key == "ACCL")
    take_accel(item, stream, decoded);
}

void walk(Bytes bytes, int depth, double duration_seconds, Decoded& decoded) {
  if (depth > gpmf::kNestLimit) {
    note_once(decoded, "nesting deeper than the limit skipped");
    return;
  }
  Stream stream;
  const bool whole =
      gpmf::for_each_klv(bytes, [&](const Klv& item) { take_item(item, stream, depth, duration_seconds, decoded); });
  if (!whole) note_once(decoded, "a truncated item ended the walk");
  finish_stream(stream, duration_seconds, decoded);
}

}  // namespace

bool looks_like_gpmf(Bytes sample) {
  ByteReader reader(sample);
  if (!reader.fits(0, gpmf::kHeaderSize) || as_text(reader.range(0, 4)) != "DEVC" || reader.u8(4) != 0) return false;
  return reader.fits(gpmf::kHeaderSize, std::size_t{reader.u8(5)} * reader.u16be(6));
}

Decoded decode_gpmf(Bytes sample, double duration_seconds) {
  Decoded decoded;
  if (!looks_like_gpmf(sample) || !std::isfinite(duration_seconds) || duration_seconds < 0) return decoded;
  walk(sample, 0, duration_seconds, decoded);
  return decoded;
}

}  // namespace vek::track::formats
