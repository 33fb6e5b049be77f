// Peak heap of a whole intake against the number of clips: the intake queue,
// its two workers and the real track reader take in 50 and then 200 indexed
// clips (hard links to one clip, so each is read as a clip of its own), and
// the peak of live operator-new bytes above the start is compared.
// Target: under 64 MiB for both, so the heap does not grow with the card.
// Usage: vek-intake-heap-bench [--few 50] [--many 200] [--clip-mib 64] [--dir D] [--smoke]

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>

#include "BenchClips.h"
#include "HeapCount.h"
#include "library/IntakeQueue.h"
#include "library/LibraryFolders.h"
#include "library/TrackExtractor.h"
#include "track/io/MovieDuration.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
constexpr unsigned kDriveSeconds = 180;
constexpr std::uint64_t kBoxSize = 32 * 1024;

struct Options {
  unsigned few = 50;
  unsigned many = 200;
  std::uint64_t clip_mib = 64;
  fs::path dir = fs::temp_directory_path();
};

bool parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == "--smoke") {
      o.few = 5, o.many = 20, o.clip_mib = 8;
    } else if (a == "--few" && has_value) {
      o.few = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else if (a == "--many" && has_value) {
      o.many = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else if (a == "--clip-mib" && has_value) {
      o.clip_mib = std::strtoull(argv[++i], nullptr, 10);
    } else if (a == "--dir" && has_value) {
      o.dir = argv[++i];
    } else {
      std::fprintf(stderr, "usage: vek-intake-heap-bench [--few N] [--many N] [--clip-mib N] [--dir D] [--smoke]\n");
      return false;
    }
  }
  return o.few >= 1 && o.many > o.few && o.clip_mib >= 8;
}

// The main loop of the bench: tasks the workers post, run here in turn.
class MainQueue {
 public:
  void post(std::function<void()> task) {
    {
      const std::lock_guard lock(mutex_);
      tasks_.push_back(std::move(task));
    }
    wake_.notify_all();
  }
  void run_until(const std::function<bool()>& done) {
    while (!done()) {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return !tasks_.empty(); });
      auto task = std::move(tasks_.front());
      tasks_.pop_front();
      lock.unlock();
      task();
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> tasks_;
};

struct IntakeRun {
  double peak_mib = 0;
  double seconds = 0;
  std::size_t listed = 0;
};

IntakeRun take_in(const std::vector<std::string>& clips, const fs::path& home) {
  fs::create_directories(vek::library::library_folder(home.string()));
  const std::size_t before = vek::bench::start_heap_peak();
  const auto start = std::chrono::steady_clock::now();
  IntakeRun run;
  {
    MainQueue main;
    vek::library::ClipList list;
    vek::library::ExtractionWorkers workers(
        vek::library::track_extractor(home.string()), [&main](std::function<void()> task) { main.post(task); },
        vek::library::intake_thread_count());
    vek::library::IntakeListener listener{[](std::string_view) {}, [](std::string_view) {},
                                          [](const vek::library::IntakeProgress&) {},
                                          [](const std::string&, const std::string&) {}};
    vek::library::IntakeOptions options;
    options.read_duration = [](const std::string& clip) { return vek::track::io::clip_movie_duration(clip); };
    vek::library::IntakeQueue queue(list, home.string(), workers, listener, std::move(options));
    queue.enqueue(vek::library::IntakeKind::Dragged, clips);
    main.run_until([&queue] { return !queue.running(); });
    run.listed = list.entries().size();
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peak_mib = static_cast<double>(vek::bench::heap_peak() - before) / kMiB;
  fs::remove_all(home);
  return run;
}

std::vector<std::string> linked_clips(const fs::path& first, const fs::path& folder, unsigned count) {
  std::vector<std::string> clips;
  for (unsigned i = 1; i <= count; ++i) {
    const fs::path clip = folder / ("FILE" + std::to_string(10000 + i).substr(1) + ".MOV");
    fs::create_hard_link(first, clip);
    clips.push_back(clip.string());
  }
  return clips;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, o)) return 2;
  const fs::path scratch = o.dir / "vek-intake-heap-bench";
  fs::remove_all(scratch);
  fs::create_directories(scratch / "card");
  const vek::bench::BenchClip clip =
      vek::bench::write_indexed_clip(scratch / "clip.MOV", o.clip_mib * kMiB, kDriveSeconds, kBoxSize, 3);
  const std::vector<std::string> clips = linked_clips(clip.path, scratch / "card", o.many);
  const std::vector<std::string> few(clips.begin(), clips.begin() + o.few);
  const IntakeRun small = take_in(few, scratch / "home-few");
  const IntakeRun large = take_in(clips, scratch / "home-many");
  fs::remove_all(scratch);
  std::printf("intake of %u clips: peak heap %.3f MiB, %.2f s, %zu listed\n", o.few, small.peak_mib, small.seconds,
              small.listed);
  std::printf("intake of %u clips: peak heap %.3f MiB, %.2f s, %zu listed\n", o.many, large.peak_mib, large.seconds,
              large.listed);
  std::printf("ratio peak %u / %u clips: %.3f (target: both under 64 MiB)\n", o.many, o.few,
              large.peak_mib / small.peak_mib);
  return small.listed == o.few && large.listed == o.many && large.peak_mib < 64 ? 0 : 1;
}
