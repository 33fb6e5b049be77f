#pragma once
// The KLV walk under the GPMF decoder: a 4-character key, a type character,
// an element size, a big-endian repeat count, data padded to 4 bytes.

#include "track/ByteReader.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

namespace vek::track::formats::gpmf {

inline constexpr char kNested = '\0';
inline constexpr std::size_t kHeaderSize = 8;
// DEVC > STRM > values is two levels; writers never nest deeper than a few.
inline constexpr int kNestLimit = 8;

struct Klv {
  std::string_view key;  // four characters
  char type = kNested;
  std::uint8_t element_size = 0;
  std::uint16_t repeat = 0;
  Bytes data;  // element_size x repeat bytes, without the padding
};

// Each item directly inside `bytes`, in order; stops at the first item that
// does not fit. Returns false when it stopped early.
bool for_each_klv(Bytes bytes, const std::function<void(const Klv&)>& visit);

// The byte size of one value of a type character; nothing for unknown types.
std::optional<std::size_t> type_size(char type);

// The value of the given type at `offset` of `data` as a double; nothing when it does not fit.
std::optional<double> number_at(Bytes data, std::size_t offset, char type);

}  // namespace vek::track::formats::gpmf
