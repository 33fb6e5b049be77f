#include "base/text/Utf8.h"

#include <cstdint>

namespace vek::base {
namespace {

struct LeadByte {
  std::size_t length = 0;    // 0: cannot start a sequence
  std::uint8_t low = 0x80;   // range of the first continuation byte, which
  std::uint8_t high = 0xBF;  // rules out overlongs, surrogates and > U+10FFFF
};

LeadByte classify(std::uint8_t lead) noexcept {
  if (lead < 0x80) return {1};
  if (lead >= 0xC2 && lead <= 0xDF) return {2};
  if (lead == 0xE0) return {3, 0xA0};
  if (lead == 0xED) return {3, 0x80, 0x9F};
  if (lead >= 0xE1 && lead <= 0xEF) return {3};
  if (lead == 0xF0) return {4, 0x90};
  if (lead == 0xF4) return {4, 0x80, 0x8F};
  if (lead >= 0xF1 && lead <= 0xF3) return {4};
  return {};
}

}  // namespace

std::size_t utf8_sequence_length(std::string_view bytes) noexcept {
  if (bytes.empty()) return 0;
  LeadByte lead = classify(static_cast<std::uint8_t>(bytes.front()));
  if (lead.length == 0 || lead.length > bytes.size()) return 0;
  for (std::size_t i = 1; i < lead.length; ++i) {
    const auto byte = static_cast<std::uint8_t>(bytes[i]);
    if (byte < lead.low || byte > lead.high) return 0;
    lead.low = 0x80;
    lead.high = 0xBF;
  }
  return lead.length;
}

bool is_valid_utf8(std::string_view bytes) noexcept {
  while (!bytes.empty()) {
    const std::size_t length = utf8_sequence_length(bytes);
    if (length == 0) return false;
    bytes.remove_prefix(length);
  }
  return true;
}

}  // namespace vek::base
