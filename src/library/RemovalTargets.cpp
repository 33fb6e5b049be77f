#include "library/RemovalTargets.h"

#include "base/text/Strings.h"

namespace vek::library {
namespace {

// The longest listed path that fills `rest` up to a "," or its end.
std::string_view longest_listed_prefix(std::string_view rest, const ClipList& list) {
  std::string_view best;
  for (const ListedClip& clip : list.entries()) {
    const std::string_view path = clip.source_path;
    const bool whole = rest.size() == path.size() || (rest.size() > path.size() && rest[path.size()] == ',');
    if (!path.empty() && path.size() > best.size() && whole && rest.starts_with(path)) {
      best = path;
    }
  }
  return best;
}

}  // namespace

std::vector<std::string> removal_targets(std::string_view argument, const ClipList& list) {
  std::vector<std::string> targets;
  std::size_t at = 0;
  while (true) {
    const std::string_view rest = argument.substr(at);
    const std::string_view listed = longest_listed_prefix(rest, list);
    if (!listed.empty()) {
      targets.emplace_back(listed);
      at += listed.size();
    } else {
      const std::string_view piece = rest.substr(0, rest.find(','));
      targets.push_back(base::replace_all(piece, "%20", " "));
      at += piece.size();
    }
    if (at >= argument.size()) {
      return targets;
    }
    ++at;  // the "," after the element
  }
}

}  // namespace vek::library
