#pragma once
// The clips inside a folder chosen for import, such as a card's DCIM folder.

#include <functional>
#include <string>
#include <vector>

namespace vek::library {

// Every regular file ending in ".MOV" or ".mov" under `folder`, recursively,
// sorted by path. Unreadable subfolders are passed over; symbolic links to
// folders are not followed, so a loop of links cannot trap the walk.
std::vector<std::string> clips_in_folder(const std::string& folder);
// The same walk, given up (with no clips) once `stop` says so, for folders on
// media that may be pulled out or hold millions of files.
std::vector<std::string> clips_in_folder(const std::string& folder, const std::function<bool()>& stop);

}  // namespace vek::library
