#pragma once
// The intake's reader of one clip: its track written under home as the
// command line writes it, the parser's lines kept for the main thread to log
// in intake order, and the movie's length and the track's family record read
// while the clip is at hand.

#include <string>
#include <vector>

#include "library/ExtractionWorkers.h"
#include "track/io/Extract.h"

namespace vek::library {

// The request's identity record, to be published with its track; none
// when the clip's identity is unknown.
std::vector<track::io::RecordBeside> identity_beside(const ExtractRequest& request);

Extractor track_extractor(std::string home);

}  // namespace vek::library
