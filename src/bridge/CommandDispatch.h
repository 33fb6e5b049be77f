#pragma once
// Decides, for the URL text of one navigation, which page commands run, in
// which order, and what becomes of the navigation. Pure, so that every order
// rule can be tested without a web view.

#include <string>
#include <string_view>
#include <vector>

namespace vek::bridge {

enum class Command {
  FileDel,
  FileCopy,
  CheckFile,
  GetPhoto,
  GetFullPhoto,
  OpenDir,
  Recode,
  Norecode,
  SaveSet,
  Merger,
  // Stops the running intake and drops the queued ones.
  IntakeCancel,
  ExportClips,
  ExportCancel,
  RouteOut,
  // Takes in the clips of a memory card the page was offered.
  CardImport,
};

// What the web view does with the navigation once the handlers have run.
enum class Navigation {
  // The page's own loads and reloads.
  Allow,
  // A command: letting it through would replace the page with an error page.
  Ignore,
  // A link to a real web address: shown in the user's browser, page stays.
  OpenExternally,
};

struct DispatchPlan {
  // The text the handlers read: the URL, percent-decoded when a removal ran.
  std::string text;
  // Handlers to run, in order.
  std::vector<Command> commands;
  Navigation navigation = Navigation::Allow;
};

// The full marker text of a command, e.g. "http://file_del_fun/".
std::string_view marker(Command command);

DispatchPlan dispatch(std::string_view url);

}  // namespace vek::bridge
