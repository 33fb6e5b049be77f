#pragma once
// Which camera family wrote a clip's GPS data, and its fixes. Each family is
// detected by walking the clip's structure and then requiring its own
// signature; the two layouts read today keep their exact text whenever they
// decode to plausible samples.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

#include <string>
#include <vector>

namespace vek::track::formats {

enum class Verdict {
  today,      // today's freeGPS or gps0 layout reads it: the track text as always
  family,     // another family's reader decoded it
  encrypted,  // a family whose data is enciphered: recognised, not readable
  none,       // no GPS data found
};

struct Probe {
  Verdict verdict = Verdict::none;
  std::string family;                 // its name, when found or recognised
  Decoded decoded;                    // validated fixes of a family reader
  std::vector<std::string> declined;  // per detector that did not take the clip: why
};

Probe probe_clip(Bytes clip);

// The fraction of boxes or records that must decode plausibly for today's layouts to keep a clip.
inline constexpr double kPlausibleShare = 0.5;

}  // namespace vek::track::formats
