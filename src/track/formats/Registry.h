#pragma once
// Which camera family wrote a clip's GPS data, and its fixes. Each family is
// detected by walking the clip's structure and then requiring its own
// signature; the two layouts read today keep their exact text whenever they
// decode to plausible samples.

#include "track/ByteReader.h"
#include "track/container/ByteSource.h"
#include "track/formats/Detector.h"
#include "track/formats/Fix.h"

#include <span>
#include <string>
#include <vector>

namespace vek::track::formats {

enum class Verdict {
  today,      // today's freeGPS or gps0 layout reads it: the track text as always
  family,     // another family's reader decoded it
  encrypted,  // a family whose data is enciphered: recognised, not readable
  none,       // no GPS data found
  undecided,  // (through positioned reads only) the structure showed nothing: the whole clip must be searched
};

struct Probe {
  Verdict verdict = Verdict::none;
  std::string family;                 // its name, when found or recognised
  Decoded decoded;                    // validated fixes of a family reader
  std::vector<std::string> declined;  // per detector that did not take the clip: why
};

// Reads only what the clip's structure points at: the top-level atoms, the
// `moov/gps ` index and its blocks, the tracks' sample tables and the samples
// of the track a family claims. Never searches the media.
Probe probe_clip(container::ByteSource& source);

// The clip in memory: its structure first, then, when that decides nothing,
// a search of every byte for today's markers and freeGPS blocks.
Probe probe_clip(Bytes clip);

// The family readers in the order they are tried.
std::span<const Detector> family_detectors();

// The fraction of boxes or records that must decode plausibly for today's layouts to keep a clip.
inline constexpr double kPlausibleShare = 0.5;

}  // namespace vek::track::formats
