#include "track/formats/FreeChildren.h"

#include "track/formats/Nmea.h"
#include "track/formats/Notes.h"
#include "track/formats/TextFields.h"

#include <array>

namespace vek::track::formats {

namespace {

constexpr std::size_t kAtomHeader = 8;
constexpr std::array<std::string_view, 7> kChildTypes = {"cprt", "sttm", "ptnm", "ptrh", "thum", "gps ", "3gf "};
// A camera writes a handful of children; more means this is not such a box.
constexpr std::size_t kMaxChildren = 64;
constexpr std::size_t kAccelRecord = 10;
constexpr std::uint32_t kAccelEnd = 0xFFFFFFFF;
constexpr double kAccelPerG = 128.0;
// Records come about every 100 ms from the clip's start; a time that does not
// grow, or jumps by more than this, is not such a log.
constexpr std::int64_t kMaxAccelStepMs = 1000;
// Without the end mark, this many well-timed records are needed to believe the bytes.
constexpr std::size_t kMinAccelRecordsWithoutEnd = 3;
constexpr std::size_t kClockDigits = 13;                 // Unix milliseconds
constexpr std::size_t kClockBracket = kClockDigits + 2;  // "[" digits "]"

struct Child {
  std::string_view type;
  Bytes payload;
};

std::vector<Child> children(Bytes payload) {
  std::vector<Child> found;
  ByteReader r(payload);
  std::uint64_t at = 0;
  while (found.size() < kMaxChildren && r.fits(at, kAtomHeader)) {
    const std::uint32_t size = r.u32be(at);
    const std::string_view type = as_text(r.range(at + 4, 4));
    if (size < kAtomHeader || !r.fits(at, size) || !known_child(type)) break;
    found.push_back({type, r.range(at + kAtomHeader, size - kAtomHeader)});
    at += size;
  }
  return found;
}

// A log line "[<13-digit ms>]$..." or "$..." (NUL padding and CR dropped) as its sentence.
std::optional<std::string_view> log_sentence(std::string_view line) {
  while (!line.empty() && (line.front() == '\0'))
    line.remove_prefix(1);
  line = trimmed(until_nul(line));
  if (line.size() > kClockBracket && line[0] == '[' && fixed_digits(line, 1, kClockDigits) &&
      line[kClockBracket - 1] == ']')
    line.remove_prefix(kClockBracket);
  if (line.empty() || line.front() != '$') return std::nullopt;
  return line;
}

}  // namespace

bool known_child(std::string_view type) {
  for (const auto known : kChildTypes) {
    if (type == known) return true;
  }
  return false;
}

bool looks_like_free_children(Bytes payload) {
  return !children(payload).empty();
}

Decoded decode_free_children(Bytes payload) {
  Decoded decoded;
  for (const auto& child : children(payload)) {
    if (child.type == "gps ")
      append(decoded, decode_gps_log(as_text(child.payload)));
    else if (child.type == "3gf ")
      append(decoded, decode_3gf_log(child.payload));
  }
  return decoded;
}

bool looks_like_gps_log(std::string_view text) {
  const std::size_t first_line = text.find('\n');
  return log_sentence(text.substr(0, first_line)).has_value() &&
         parse_rmc(*log_sentence(text.substr(0, first_line)), Checksum::checked_if_present).has_value();
}

Decoded decode_gps_log(std::string_view text) {
  Decoded decoded;
  for (std::size_t start = 0, lines = 0; start < text.size() && lines < kMaxSentences; ++lines) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    if (const auto sentence = log_sentence(text.substr(start, end - start))) {
      if (const auto fix = parse_rmc(*sentence, Checksum::checked_if_present)) decoded.fixes.push_back(*fix);
    }
    start = end + 1;
  }
  note_once(decoded, "fixes and UTC times from RMC sentences; the bracketed camera clock and GGA/GLL lines unused");
  return decoded;
}

Decoded decode_3gf_log(Bytes records) {
  Decoded decoded;
  ByteReader r(records);
  std::uint64_t at = 0;
  std::int64_t previous_ms = -1;
  for (; r.fits(at, kAccelRecord) && r.u32be(at) != kAccelEnd; at += kAccelRecord) {
    const std::int64_t ms = r.u32be(at);
    if (ms <= previous_ms || ms - std::max<std::int64_t>(previous_ms, 0) > kMaxAccelStepMs) break;
    previous_ms = ms;
    // Stored vertical, lateral, longitudinal; the track's axes are lateral, longitudinal, vertical.
    const auto g = [&](std::uint64_t o) { return static_cast<float>(r.i16be(at + o) / kAccelPerG); };
    decoded.accel.push_back({g(6), g(8), g(4)});
  }
  const bool ended = r.fits(at, 4) && r.u32be(at) == kAccelEnd;
  if (!ended && decoded.accel.size() < kMinAccelRecordsWithoutEnd) decoded.accel.clear();
  note_once(decoded, "3gf acceleration read as 1/128 g per unit (a peer checked on a real file), not 1/10");
  return decoded;
}

std::vector<std::filesystem::path> free_children_sidecars(const std::filesystem::path& clip) {
  std::vector<std::filesystem::path> paths;
  for (const char* extension : {".gps", ".GPS", ".3gf", ".3GF"})
    paths.push_back(std::filesystem::path(clip).replace_extension(extension));
  return paths;
}

}  // namespace vek::track::formats
