#include "ExportBench.h"

#include <glib.h>

#include <array>
#include <atomic>
#include <fstream>
#include <functional>
#include <string>

#include "BenchStats.h"
#include "Spawn.h"
#include "media/gst/GstExporter.h"

namespace vek::bench {
namespace {

using Clock = std::chrono::steady_clock;

// The export's time runs to its completion, which wakes this thread's loop.
double ours(const std::vector<std::filesystem::path>& clips, media::ExportMode mode,
            const std::filesystem::path& output) {
  media::ExportRequest request;
  request.mode = mode;
  request.clips = clips;
  request.output = output;
  request.gpx = std::filesystem::path(output).replace_extension(".gpx");
  request.settings_text = "km,ENG";
  std::atomic<bool> done{false};
  std::atomic<media::ExportStatus> status{media::ExportStatus::Failed};
  const Clock::time_point start = Clock::now();
  media::GstExporter exporter;
  exporter.start_export(
      std::move(request), [](int /*percent*/) {},
      [&](media::ExportStatus outcome) {
        status.store(outcome);
        done.store(true);
        g_main_context_wakeup(nullptr);
      });
  while (!done.load()) {
    g_main_context_iteration(nullptr, TRUE);
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (status.load() != media::ExportStatus::Completed) {
    throw std::runtime_error("an export with options did not complete");
  }
  std::filesystem::remove(output);
  std::filesystem::remove(std::filesystem::path(output).replace_extension(".gpx"));
  return seconds;
}

std::filesystem::path write_concat_list(const std::vector<std::filesystem::path>& clips,
                                        const std::filesystem::path& scratch) {
  const auto list = scratch / "copy-concat.txt";
  std::ofstream out(list);
  for (const auto& clip : clips) {
    out << "file '" << clip.string() << "'\n";
  }
  return list;
}

double ffmpeg_copy(const std::filesystem::path& list, const std::filesystem::path& output) {
  const double seconds = seconds_of([&] {
    if (!run_program({"ffmpeg", "-nostdin", "-v", "error", "-y", "-f", "concat", "-safe", "0", "-i", list.string(),
                      "-c", "copy", "-f", "mov", output.string()})) {
      throw std::runtime_error("ffmpeg failed on the copy");
    }
  });
  std::filesystem::remove(output);
  return seconds;
}

}  // namespace

ExportRounds bench_exports(const std::vector<std::filesystem::path>& clips, int runs,
                           const std::filesystem::path& scratch) {
  const auto list = write_concat_list(clips, scratch);
  const auto output = scratch / "export.mov";
  ExportRounds rounds;
  const std::array<std::function<void()>, 4> parts = {
      [&] { rounds.reencode.push_back(ours(clips, media::ExportMode::Reencode, output)); },
      [&] { rounds.overlay.push_back(ours(clips, media::ExportMode::Overlay, output)); },
      [&] { rounds.copy.push_back(ours(clips, media::ExportMode::Copy, output)); },
      [&] { rounds.ffmpeg_copy.push_back(ffmpeg_copy(list, scratch / "ffmpeg-copy.mov")); },
  };
  for (int round = 0; round < runs; ++round) {
    for (std::size_t i = 0; i < parts.size(); ++i) {
      parts[(i + static_cast<std::size_t>(round)) % parts.size()]();
    }
  }
  return rounds;
}

}  // namespace vek::bench
