// vek [CLIP...]: the dash-camera clip viewer. Clips given on the command line
// (as a file manager's "Open With" passes them) are taken in like one drag,
// once the page has loaded.

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "app/PagePath.h"
#include "base/files/Publisher.h"
#include "library/LibraryFolders.h"
#include "library/TrackExtractor.h"
#include "media/core/CodeMemory.h"
#include "media/core/Stamps.h"
#include "media/gst/MediaFactory.h"
#include "platform/MainLoopProbe.h"
#include "platform/Shell.h"
#include "platform/SystemLog.h"
#include "platform/Toolkit.h"
#include "track/io/Home.h"
#include "track/io/MovieDuration.h"
#include "track/io/RouteExport.h"

namespace {

constexpr const char* kProgram = "vek";

vek::app::RouteExporter route_exporter(const std::string& home) {
  return [home](const vek::bridge::RouteRequest& request, const std::tm& now) {
    namespace route = vek::track::route;
    const std::vector<std::filesystem::path> clips(request.clips.begin(), request.clips.end());
    const route::RouteFormat format = route::route_format(request.format).value_or(route::RouteFormat::gpx);
    const vek::track::io::RouteExportResult result =
        vek::track::io::export_route_file(clips, format, request.gap_seconds, vek::library::output_folder(home), now);
    if (!result.written) {
      return vek::app::RouteFile{false, result.error.message};
    }
    return vek::app::RouteFile{true, result.path.filename().string()};
  };
}

vek::app::Environment environment(const std::string& home) {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  auto write = [](const std::string& path, std::string_view text) {
    return vek::base::publish_file(path, text, vek::base::PublishMode::Replace);
  };
  vek::app::Environment result{home,
                               vek::app::page_path(executable).string(),
                               write,
                               vek::library::track_extractor(home),
                               [] { return vek::media::local_now(); },
                               [](const std::string& clip) { return vek::track::io::clip_movie_duration(clip); },
                               {}};
  // Assigned apart: clang's analyzer (14) loses track of a std::function
  // moved through the aggregate and reports it as leaked.
  result.export_route = route_exporter(home);
  return result;
}

vek::app::Media media() {
  return {vek::media::make_snapshotter(), vek::media::make_exporter(), vek::media::make_screen_recorder()};
}

std::vector<std::string> clip_arguments(int argc, char** argv) {
  const std::span<char*> arguments(argv, static_cast<std::size_t>(argc));
  std::vector<std::string> clips;
  for (const char* argument : arguments.subspan(1)) {
    clips.push_back(vek::app::absolute_clip_path(argument).string());
  }
  return clips;
}

}  // namespace

int main(int argc, char** argv) {
  vek::platform::SystemLog log(kProgram);
  vek::media::keep_code_generation_off_full_disks();
  if (!vek::platform::init_toolkits(argc, argv)) {
    log.line("cannot open the display: is DISPLAY set?");
    return 1;
  }
  const auto probe = vek::platform::main_loop_probe_from_environment();
  vek::platform::Shell shell(log);
  vek::app::AppDelegate app(shell.ports(), media(), environment(vek::track::io::home_directory().string()));
  app.set_startup_clips(clip_arguments(argc, argv));
  shell.connect(app);
  app.applicationDidFinishLaunching();
  shell.run();
  return 0;
}
