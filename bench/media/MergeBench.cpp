#include "MergeBench.h"

#include <glib.h>

#include <atomic>
#include <fstream>
#include <string>

#include "Spawn.h"
#include "media/gst/GstExporter.h"

namespace vek::bench {
namespace {

using Clock = std::chrono::steady_clock;

// The export's time runs to its completion, which wakes this thread's loop.
double ours(const std::vector<std::filesystem::path>& clips, const std::filesystem::path& output) {
  std::atomic<bool> done{false};
  std::atomic<media::ExportStatus> status{media::ExportStatus::Failed};
  Clock::time_point finished;
  const Clock::time_point start = Clock::now();
  media::GstExporter exporter;
  exporter.start(
      clips, output, [](int /*percent*/) {},
      [&](media::ExportStatus outcome) {
        finished = Clock::now();
        status.store(outcome);
        done.store(true);
        g_main_context_wakeup(nullptr);
      });
  while (!done.load()) {
    g_main_context_iteration(nullptr, TRUE);
  }
  if (status.load() != media::ExportStatus::Completed) {
    throw std::runtime_error("the export did not complete");
  }
  std::filesystem::remove(output);
  return std::chrono::duration<double>(finished - start).count();
}

std::filesystem::path write_concat_list(const std::vector<std::filesystem::path>& clips,
                                        const std::filesystem::path& scratch) {
  const auto list = scratch / "concat.txt";
  std::ofstream out(list);
  for (const auto& clip : clips) {
    out << "file '" << clip.string() << "'\n";
  }
  return list;
}

double ffmpeg(const std::filesystem::path& list, const std::filesystem::path& output) {
  const double seconds = seconds_of([&] {
    if (!run_program({"ffmpeg",
                      "-nostdin",
                      "-v",
                      "error",
                      "-y",
                      "-f",
                      "concat",
                      "-safe",
                      "0",
                      "-i",
                      list.string(),
                      "-vf",
                      "scale=1920:1080,fps=30",
                      "-c:v",
                      "libx264",
                      "-preset",
                      "veryfast",
                      "-b:v",
                      "8000k",
                      "-pix_fmt",
                      "yuv420p",
                      "-c:a",
                      "aac",
                      "-f",
                      "mov",
                      output.string()})) {
      throw std::runtime_error("ffmpeg failed on the merge");
    }
  });
  std::filesystem::remove(output);
  return seconds;
}

}  // namespace

Rounds bench_merge(const std::vector<std::filesystem::path>& clips, int runs, const std::filesystem::path& scratch) {
  const auto list = write_concat_list(clips, scratch);
  const auto ours_output = scratch / "ours.mov";
  const auto ffmpeg_output = scratch / "ffmpeg.mov";
  Rounds rounds;
  for (int round = 0; round < runs; ++round) {
    if (round % 2 == 0) {
      rounds.ours.push_back(ours(clips, ours_output));
      rounds.ffmpeg.push_back(ffmpeg(list, ffmpeg_output));
    } else {
      rounds.ffmpeg.push_back(ffmpeg(list, ffmpeg_output));
      rounds.ours.push_back(ours(clips, ours_output));
    }
  }
  return rounds;
}

}  // namespace vek::bench
