#pragma once
// The intake's reader of one clip: its track written under home as the
// command line writes it, the parser's lines kept for the main thread to log
// in intake order, and the movie's length and the track's family record read
// while the clip is at hand.

#include <string>

#include "library/ExtractionWorkers.h"

namespace vek::library {

Extractor track_extractor(std::string home);

}  // namespace vek::library
