#include "platform/GtkDialogs.h"

#include "base/glib/GObjectRef.h"

namespace vek::platform {
namespace {

// "mov" in any letter case.
constexpr const char* kClipPattern = "*.[Mm][Oo][Vv]";
// A folder, such as a card's DCIM, stands for every clip inside it; the open
// button would only step into it.
constexpr int kResponseWholeFolder = 1;

GtkWidget* make_chooser(GtkWindow* parent) {
  GtkWidget* dialog =
      gtk_file_chooser_dialog_new("Import clips", parent, GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel", GTK_RESPONSE_CANCEL,
                                  "Import whole _folder", kResponseWholeFolder, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  gtk_file_chooser_set_select_multiple(chooser, TRUE);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  GtkFileFilter* filter = gtk_file_filter_new();
  gtk_file_filter_set_name(filter, "QuickTime clips (.mov)");
  gtk_file_filter_add_pattern(filter, kClipPattern);
  gtk_file_chooser_add_filter(chooser, filter);
  return dialog;
}

std::vector<std::string> chosen_paths(GtkFileChooser* chooser) {
  std::vector<std::string> paths;
  const base::GStringSListPtr names(gtk_file_chooser_get_filenames(chooser));
  for (const GSList* node = names.get(); node != nullptr; node = node->next) {
    paths.emplace_back(static_cast<const char*>(node->data));
  }
  return paths;
}

// The folders selected, or else the folder shown.
std::vector<std::string> chosen_folders(GtkFileChooser* chooser) {
  std::vector<std::string> folders;
  for (const std::string& path : chosen_paths(chooser)) {
    if (g_file_test(path.c_str(), G_FILE_TEST_IS_DIR)) {
      folders.push_back(path);
    }
  }
  if (folders.empty()) {
    if (gchar* shown = gtk_file_chooser_get_current_folder(chooser)) {
      folders.emplace_back(shown);
      g_free(shown);
    }
  }
  return folders;
}

}  // namespace

std::optional<std::vector<std::string>> GtkDialogs::choose_clips() {
  GtkWidget* dialog = make_chooser(parent_);
  std::optional<std::vector<std::string>> result;
  const int response = gtk_dialog_run(GTK_DIALOG(dialog));
  if (response == GTK_RESPONSE_ACCEPT) {
    result = chosen_paths(GTK_FILE_CHOOSER(dialog));
  } else if (response == kResponseWholeFolder) {
    result = chosen_folders(GTK_FILE_CHOOSER(dialog));
  }
  gtk_widget_destroy(dialog);
  return result;
}

}  // namespace vek::platform
