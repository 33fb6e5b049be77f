#pragma once
// NMEA 0183 recommended-minimum sentences (RMC) as the camera families embed
// them: with or without the leading '$', any two-letter talker, a checksum
// that some writers get wrong, and DDMM.mmmm coordinates.

#include "track/formats/Fix.h"

#include <optional>
#include <string_view>
#include <vector>

namespace vek::track::formats {

inline constexpr double kKmhPerKnot = 1.852;

enum class Checksum {
  checked_if_present,  // a "*hh" that disagrees refuses the sentence; a missing one is accepted
  ignored,             // writers whose checksums are never right
};

// One RMC sentence ("$GPRMC,..." or "GNRMC,...", ending at its checksum or the
// text's end) as a fix; nothing when a field is malformed or out of range. A
// void sentence (status V) with a position gives a fix marked not valid.
std::optional<Fix> parse_rmc(std::string_view sentence, Checksum rule);

// Every "xxRMC," sentence in `text` (at most kMaxSentences), each cut at the
// first NUL, CR, LF, ';', '$' or '~' after it.
std::vector<std::string_view> find_rmc_sentences(std::string_view text);

// A DDMM.mmmm (or DDDMM.mmmm) field with its hemisphere letter as signed degrees.
std::optional<double> ddmm_degrees(std::string_view value, char hemisphere, double max_degrees);

// A ddmmyy date and hhmmss[.sss] time, two-digit years below 70 in the 2000s.
std::optional<UtcTime> ddmmyy_time(std::string_view date, std::string_view time);

// A sentence longer than this is not NMEA; bounds the text kept per sentence.
inline constexpr std::size_t kMaxSentenceLength = 200;
// Bounds the sentences taken from one text (a day of 10 Hz fixes).
inline constexpr std::size_t kMaxSentences = 864000;

}  // namespace vek::track::formats
