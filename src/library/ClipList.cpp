#include "library/ClipList.h"

#include "base/text/Strings.h"

namespace vek::library {

bool ClipList::lists_stem(std::string_view stem) const {
  return base::contains_nonempty(file_mv_path, stem);
}

void ClipList::append(std::string_view track_path, std::string_view source_path) {
  file_data_path.append(track_path).append(",");
  file_mv_path.append(source_path).append(",");
}

void ClipList::remove(std::string_view track_path, std::string_view element) {
  file_data_path = base::replace_all(file_data_path, std::string(track_path) + ",", "");
  file_mv_path = base::replace_all(file_mv_path, std::string(element) + ",", "");
}

}  // namespace vek::library
