#include "bridge/CommandDispatch.h"

#include <array>

#include "bridge/PercentDecode.h"

namespace vek::bridge {
namespace {

// Tested independently of each other, every match runs, in this order.
constexpr std::array kIndependentCommands = {Command::GetPhoto,    Command::GetFullPhoto, Command::OpenDir,
                                             Command::Recode,      Command::Norecode,     Command::SaveSet,
                                             Command::Merger,      Command::IntakeCancel, Command::RouteOut,
                                             Command::ExportClips, Command::ExportCancel, Command::CardImport};

constexpr std::array kAllCommands = {
    Command::FileDel,      Command::FileCopy, Command::CheckFile,   Command::GetPhoto,     Command::GetFullPhoto,
    Command::OpenDir,      Command::Recode,   Command::Norecode,    Command::SaveSet,      Command::Merger,
    Command::IntakeCancel, Command::RouteOut, Command::ExportClips, Command::ExportCancel, Command::CardImport};

bool has(std::string_view text, Command command) {
  return text.find(marker(command)) != std::string_view::npos;
}

bool has_any_marker(std::string_view text) {
  for (const Command command : kAllCommands) {
    if (has(text, command)) {
      return true;
    }
  }
  return false;
}

bool is_web_address(std::string_view url) {
  return url.starts_with("http://") || url.starts_with("https://");
}

// Import and clip lookup exclude each other and every later command.
void add_exclusive_or_independent(DispatchPlan& plan) {
  if (has(plan.text, Command::FileCopy)) {
    plan.commands.push_back(Command::FileCopy);
    return;
  }
  if (has(plan.text, Command::CheckFile)) {
    plan.commands.push_back(Command::CheckFile);
    return;
  }
  for (const Command command : kIndependentCommands) {
    if (has(plan.text, command)) {
      plan.commands.push_back(command);
    }
  }
}

}  // namespace

std::string_view marker(Command command) {
  switch (command) {
    case Command::FileDel:
      return "http://file_del_fun/";
    case Command::FileCopy:
      return "http://file_copy_fun/";
    case Command::CheckFile:
      return "http://check_file/";
    case Command::GetPhoto:
      return "http://get_photo/";
    case Command::GetFullPhoto:
      return "http://get_full_photo/";
    case Command::OpenDir:
      return "http://open_dir/";
    case Command::Recode:
      return "http://recode/";
    case Command::Norecode:
      return "http://norecode/";
    case Command::SaveSet:
      return "http://save_set/";
    case Command::Merger:
      return "http://merger/";
    case Command::IntakeCancel:
      return "http://intake_cancel/";
    case Command::ExportClips:
      return "http://export_clips/";
    case Command::ExportCancel:
      return "http://export_cancel/";
    case Command::RouteOut:
      return "http://route_out/";
    case Command::CardImport:
      return "http://card_import/";
  }
  return {};
}

DispatchPlan dispatch(std::string_view url) {
  DispatchPlan plan;
  plan.text = std::string(url);
  if (!has_any_marker(url)) {
    plan.navigation = is_web_address(url) ? Navigation::OpenExternally : Navigation::Allow;
    return plan;
  }
  plan.navigation = Navigation::Ignore;
  if (has(url, Command::FileDel)) {
    plan.text = percent_decode(url);
    plan.commands.push_back(Command::FileDel);
  }
  add_exclusive_or_independent(plan);
  return plan;
}

}  // namespace vek::bridge
