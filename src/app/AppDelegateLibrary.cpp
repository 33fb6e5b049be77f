// Page commands that work on the clip list and the library folders.

#include <filesystem>
#include <system_error>

#include "app/AppDelegate.h"
#include "bridge/CommandArguments.h"
#include "bridge/ScriptCalls.h"
#include "library/ClipNames.h"
#include "library/RemovalTargets.h"

namespace vek::app {
namespace {

// Lookup counts a symbolic link by itself, whether or not its target exists.
// A decoded NUL names no file: the system call would read only the part
// before it.
bool has_attributes(const std::string& path) {
  if (path.find('\0') != std::string::npos) {
    return false;
  }
  std::error_code error;
  return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found && !error;
}

}  // namespace

void AppDelegate::file_del(const std::string& decoded_text) {
  log("path:" + decoded_text);
  const std::string argument = bridge::argument_text(decoded_text, bridge::Command::FileDel);
  for (const std::string& element : library::removal_targets(argument, clips_)) {
    if (!element.empty()) {
      // Clips sharing a name have numbered tracks: the entry paired with the clip.
      std::string track_path = clips_.track_of(element);
      if (track_path.empty()) {
        track_path = library::clip_names(element, env_.home).track_path;
      }
      log(std::string("del:").append(element).append(",data:").append(track_path).append(","));
      clips_.remove(element);
      log("del_res:" + clips_.track_list_text());
      log("del_res1:" + clips_.clip_list_text());
    }
    platform_.wv.load_page(env_.page);
  }
}

void AppDelegate::check_file(const std::string& text) {
  for (const std::string& candidate : bridge::check_candidates(text)) {
    if (has_attributes(candidate)) {
      platform_.wv.evaluate(bridge::video1_show_call(candidate));
      log("yes:" + candidate);
      return;
    }
  }
}

void AppDelegate::open_dir() {
  platform_.desktop.open_folder(library::output_folder(env_.home));
}

void AppDelegate::save_set(const std::string& text) {
  env_.write(library::settings_file(env_.home), bridge::settings_text(text));
}

}  // namespace vek::app
