#include "platform/Shell.h"

#include <gtk/gtk.h>

#include <cstdlib>
#include <memory>
#include <optional>

#include "platform/DragIntake.h"
#include "platform/FolderVolumes.h"
#include "platform/GioVolumes.h"
#include "platform/GtkDesktop.h"
#include "platform/GtkDialogs.h"
#include "platform/MainLoopPost.h"
#include "platform/MainWindow.h"
#include "platform/WebKitView.h"

namespace vek::platform {
namespace {

// Tests of the whole application simulate cards with a folder.
std::unique_ptr<app::ports::Volumes> volumes() {
  if (const char* folder = std::getenv("VEK_TEST_CARDS"); folder != nullptr && *folder != '\0') {
    return std::make_unique<FolderVolumes>(folder);
  }
  return std::make_unique<GioVolumes>();
}

}  // namespace

struct Shell::Pieces {
  explicit Pieces(app::ports::Log& shell_log)
      : log(shell_log), view(shell_log), dialogs(window.gtk_window()), desktop(window.gtk_window()) {}

  app::ports::Log& log;
  MainWindow window;
  WebKitView view;
  GtkDialogs dialogs;
  GtkDesktop desktop;
  MainLoopPost main_thread;
  std::unique_ptr<app::ports::Volumes> cards = volumes();
  std::optional<DragIntake> drags;
};

Shell::Shell(app::ports::Log& log) : pieces_(std::make_unique<Pieces>(log)) {}

Shell::~Shell() = default;

app::Platform Shell::ports() {
  return {pieces_->view, pieces_->window,      pieces_->dialogs, pieces_->desktop,
          pieces_->log,  pieces_->main_thread, *pieces_->cards};
}

void Shell::connect(app::AppDelegate& app) {
  pieces_->window.connect(app);
  pieces_->view.connect(app);
  pieces_->drags.emplace(pieces_->view.widget(),
                         [&app](const std::vector<std::string>& paths) { app.take_in_dragged(paths); });
  gtk_container_add(GTK_CONTAINER(pieces_->window.gtk_window()), pieces_->view.widget());
  gtk_widget_show_all(GTK_WIDGET(pieces_->window.gtk_window()));
}

void Shell::run() {
  gtk_main();
}

}  // namespace vek::platform
