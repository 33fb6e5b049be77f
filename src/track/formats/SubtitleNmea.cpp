#include "track/formats/SubtitleNmea.h"

#include "base/text/Strings.h"
#include "track/formats/DdmmRow.h"
#include "track/formats/Nmea.h"
#include "track/formats/Notes.h"
#include "track/formats/TextFields.h"

#include <string>

namespace vek::track::formats {

namespace {

constexpr std::size_t kLengthField = 2;
constexpr std::string_view kGsensorPrefix = "gsensori,";
constexpr std::size_t kGsensorFields = 6;  // gsensori, range, sensitivity, X, Y, Z
constexpr std::size_t kCsvExtras = 4;      // altitude m, ax, ay, az (m/s2, gravity included)
constexpr double kStandardGravity = 9.80665;
constexpr std::size_t kStarFromEnd = 4;  // "*hh\n": the '*' is the 4th byte from the end

enum class Dialect { none, gsensor, sentences, csv, offset };

Dialect dialect_of(std::string_view text) {
  if (text.substr(0, kGsensorPrefix.size()) == kGsensorPrefix) return Dialect::gsensor;
  if (parse_ddmm_row(until_nul(text), kCsvExtras)) return Dialect::csv;
  if (text.substr(0, 1) == "$") return Dialect::sentences;
  if (text.size() > kStarFromEnd && text.front() == '\0' && text.back() == '\n') return Dialect::offset;
  return Dialect::none;
}

void take_rmc(std::string_view text, Decoded& decoded) {
  for (const auto sentence : find_rmc_sentences(text)) {
    if (const auto fix = parse_rmc(sentence, Checksum::checked_if_present)) decoded.fixes.push_back(*fix);
  }
}

void take_gsensor(std::string_view text, Decoded& decoded) {
  const auto fields = base::split(text.substr(0, text.find(';')), ',');
  if (fields.size() == kGsensorFields) {
    const auto sensitivity = decimal(fields[2]);
    const auto x = decimal(fields[3]);
    const auto y = decimal(fields[4]);
    const auto z = decimal(fields[5]);
    if (sensitivity && *sensitivity > 0 && x && y && z)
      decoded.accel.push_back({static_cast<float>(*x / *sensitivity), static_cast<float>(*y / *sensitivity),
                               static_cast<float>(*z / *sensitivity)});
  }
  take_rmc(text, decoded);
}

void take_csv(std::string_view text, Decoded& decoded) {
  const auto row = parse_ddmm_row(until_nul(text), kCsvExtras);
  Fix fix = row->fix;
  fix.accel = GSensor{static_cast<float>(row->extra[1] / kStandardGravity),
                      static_cast<float>(row->extra[2] / kStandardGravity),
                      static_cast<float>(row->extra[3] / kStandardGravity)};
  decoded.fixes.push_back(fix);
  note_once(decoded, "subtitle CSV speed read as km/h (unit unconfirmed); acceleration m/s2 with gravity");
}

// Every byte moved by the offset that turns the 4th byte from the end into '*'.
void take_offset(std::string_view text, Decoded& decoded) {
  const auto shift = static_cast<unsigned char>('*' - text[text.size() - kStarFromEnd]);
  std::string plain;
  for (const char c : text)
    plain.push_back(static_cast<char>(static_cast<unsigned char>(c) + shift));
  const std::size_t before = decoded.fixes.size();
  take_rmc(plain, decoded);
  if (decoded.fixes.size() > before) note_once(decoded, "cue unscrambled by a constant byte offset");
}

}  // namespace

std::string_view subtitle_text(Bytes sample) {
  ByteReader r(sample);
  if (!r.fits(0, kLengthField)) return {};
  const std::size_t length = std::min<std::size_t>(r.u16be(0), sample.size() - kLengthField);
  return as_text(r.range(kLengthField, length));
}

bool looks_like_subtitle_nmea(Bytes sample) {
  const Bytes samples[] = {sample};
  const Decoded decoded = decode_subtitle_nmea(samples);
  return !decoded.fixes.empty() || !decoded.accel.empty();
}

Decoded decode_subtitle_nmea(std::span<const Bytes> samples) {
  Decoded decoded;
  for (const Bytes sample : samples) {
    const std::string_view text = subtitle_text(sample);
    switch (dialect_of(text)) {
      case Dialect::gsensor:
        take_gsensor(text, decoded);
        break;
      case Dialect::csv:
        take_csv(text, decoded);
        break;
      case Dialect::sentences:
        take_rmc(text, decoded);
        break;
      case Dialect::offset:
        take_offset(text, decoded);
        break;
      case Dialect::none:
        if (!text.empty() && text.back() == '~')
          note_once(decoded, "table-scrambled cue (ending '~') not read: its table is unknown");
        break;
    }
  }
  return decoded;
}

}  // namespace vek::track::formats
