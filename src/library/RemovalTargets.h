#pragma once
// Which clips a removal names. The page sends listed paths, each followed by
// ","; a path may itself hold commas or a literal "%20", so listed paths are
// matched whole before the text is cut at commas.

#include <string>
#include <string_view>
#include <vector>

#include "library/ClipList.h"

namespace vek::library {

// One element per path named, plus a trailing empty element for a trailing
// ","; "" gives one empty element. An element that names no listed clip
// exactly is the comma-cut piece with "%20" read as a space.
std::vector<std::string> removal_targets(std::string_view argument, const ClipList& list);

}  // namespace vek::library
