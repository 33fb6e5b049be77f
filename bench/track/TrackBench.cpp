// Extraction speed and memory against a baseline measured in the same run:
//  1. a page-cached clip with one freeGPS box per MiB: extraction time over
//     the time of `cat clip > /dev/null` (target: at most 1.3), and the
//     extractor's peak heap (target: under 64 MiB);
//  2. the close variant on two clip sizes: time per byte of the larger over
//     the smaller (linear cost gives about 1.0).
// Usage: vek-track-bench [--size-mib N] [--dir FOLDER] [--smoke]

#include "track/Track.h"
#include "track/io/Extract.h"

#include <sys/resource.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "HeapCount.h"

namespace fs = std::filesystem;
namespace track = vek::track;

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
constexpr int kRuns = 7;  // min and median of seven runs smooth out scheduling noise
constexpr int kSmokeRuns = 2;
constexpr std::size_t kBoxAt = 4096;          // where in each MiB the freeGPS marker sits
constexpr std::size_t kCloseSmallKiB = 2048;  // close-form sizes: the text is ~70 times the clip
constexpr std::size_t kCloseSmokeKiB = 128;
constexpr std::size_t kSmokeMiB = 8;

struct Options {
  std::size_t size_mib = 1024;
  fs::path dir = fs::temp_directory_path();
  bool smoke = false;
  int runs = kRuns;
};

class Random {
 public:
  std::uint64_t next() noexcept {
    state_ ^= state_ << 13U;
    state_ ^= state_ >> 7U;
    state_ ^= state_ << 17U;
    return state_;
  }

 private:
  std::uint64_t state_ = 0x9E3779B97F4A7C15ULL;
};

void put_freegps_box(std::vector<char>& mib, std::size_t second) {
  std::memcpy(mib.data() + kBoxAt, "freeGPS", 7);
  char* box = mib.data() + kBoxAt + 44;
  std::memset(box, 0, 332);
  const unsigned char header[] = {0x07, 0xE0, 3, 1, 9, static_cast<unsigned char>(second / 10 % 60)};
  std::memcpy(box + 6, header, sizeof header);
  for (std::size_t j = 0; j < 10; ++j) {
    const unsigned char sample[] = {
        0x03, 0xE8, 0,    0xB4, 0,    0,    0,    0,    0,   0, static_cast<unsigned char>(j * 10),
        'A',  0x0E, 0xEC, 0x00, 0x38, 0x48, 0x74, 0x2A, 0x48};
    std::memcpy(box + 32 * j + 2, sample, sizeof sample);
  }
}

// Random bytes (like compressed video) with one freeGPS box per MiB.
void make_freegps_clip(const fs::path& path, std::size_t size_mib) {
  if (fs::exists(path) && fs::file_size(path) == size_mib * kMiB) return;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  Random random;
  std::vector<char> mib(kMiB);
  for (std::size_t i = 0; i < size_mib; ++i) {
    for (std::size_t at = 0; at < kMiB; at += 8) {
      const std::uint64_t r = random.next();
      std::memcpy(mib.data() + at, &r, 8);
    }
    put_freegps_box(mib, i);
    out.write(mib.data(), static_cast<std::streamsize>(mib.size()));
  }
}

// A "gsen" marker, then a "gps0" marker with the rest of the clip as records.
std::vector<std::byte> make_close_clip(std::size_t size) {
  std::vector<std::byte> clip(size);
  Random random;
  for (std::size_t at = 0; at + 8 <= size; at += 8) {
    const std::uint64_t r = random.next();
    std::memcpy(clip.data() + at, &r, 8);
  }
  std::memcpy(clip.data(), "gsen", 4);
  std::memcpy(clip.data() + 64, "gps0", 4);
  return clip;
}

struct Timing {
  double wall = 0;
  double cpu = 0;  // user + system, of this process or of the child
};

double process_cpu_seconds(int who) {
  rusage usage{};
  ::getrusage(who, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

template <typename Work>
Timing timed(int who, Work work) {
  const double cpu_start = process_cpu_seconds(who);
  const auto start = std::chrono::steady_clock::now();
  work();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          process_cpu_seconds(who) - cpu_start};
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void cat_to_null(const fs::path& path) {
  const std::string command = "cat '" + path.string() + "' > /dev/null";
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "warning: cat failed\n");
}

void print_row(const char* what, const std::vector<Timing>& runs) {
  std::vector<double> wall, cpu;
  for (const Timing& t : runs)
    wall.push_back(t.wall), cpu.push_back(t.cpu);
  std::printf("  %-22s wall min %.3f s  median %.3f s   cpu median %.3f s\n", what,
              *std::min_element(wall.begin(), wall.end()), median(wall), median(cpu));
}

double ratio(const std::vector<Timing>& a, const std::vector<Timing>& b, double Timing::*field, bool use_min) {
  std::vector<double> x, y;
  for (const Timing& t : a)
    x.push_back(t.*field);
  for (const Timing& t : b)
    y.push_back(t.*field);
  return use_min ? *std::min_element(x.begin(), x.end()) / *std::min_element(y.begin(), y.end())
                 : median(x) / median(y);
}

void freegps_ratio(const Options& options) {
  const fs::path clip = options.dir / ("vek-bench-" + std::to_string(options.size_mib) + "MiB.MOV");
  const fs::path home = options.dir / "vek-bench-home";
  make_freegps_clip(clip, options.size_mib);
  fs::create_directories(home);
  cat_to_null(clip);  // into the page cache
  std::vector<Timing> cat_runs, extract_runs;
  bool written = true;
  const std::size_t live_before = vek::bench::start_heap_peak();
  for (int run = 0; run < options.runs; ++run) {  // interleaved, so load from elsewhere hits both alike
    cat_runs.push_back(timed(RUSAGE_CHILDREN, [&] { cat_to_null(clip); }));
    extract_runs.push_back(timed(RUSAGE_SELF, [&] {
      written =
          track::io::extract_clip(clip, home, "/bench.data", "bench.MOV", track::Form::standard, {}).written && written;
    }));
  }
  const double peak_mib = static_cast<double>(vek::bench::heap_peak() - live_before) / kMiB;
  std::printf("freeGPS clip %zu MiB, one box per MiB, page-cached (%d interleaved runs)\n", options.size_mib,
              options.runs);
  print_row("cat clip > /dev/null", cat_runs);
  print_row("vek-track extraction", extract_runs);
  std::printf("  track file written: %s, %ju bytes\n", written ? "yes" : "NO",
              static_cast<std::uintmax_t>(fs::file_size(home / "bench.data")));
  std::printf("  ratio extraction / cat: wall min %.3f, wall median %.3f, cpu median %.3f (target <= 1.3)\n",
              ratio(extract_runs, cat_runs, &Timing::wall, true), ratio(extract_runs, cat_runs, &Timing::wall, false),
              ratio(extract_runs, cat_runs, &Timing::cpu, false));
  std::printf("  extractor peak heap %.3f MiB (target < 64)\n", peak_mib);
  fs::remove_all(home);
}

class CountingSink : public track::TextSink {
 public:
  void write(std::string_view text) override { bytes += text.size(); }
  std::size_t bytes = 0;
};

void close_linearity(const Options& options) {
  const std::size_t small = (options.smoke ? kCloseSmokeKiB : kCloseSmallKiB) * 1024;
  double per_byte[2] = {};
  for (int i = 0; i < 2; ++i) {
    const std::size_t size = small << (2 * i);
    const std::vector<std::byte> clip = make_close_clip(size);
    CountingSink sink;
    std::vector<double> cpu;
    for (int run = 0; run < options.runs; ++run)
      cpu.push_back(timed(RUSAGE_SELF, [&] { track::splitData_new_close(clip, "C.MOV", sink); }).cpu);
    const double s = *std::min_element(cpu.begin(), cpu.end());
    per_byte[i] = s / static_cast<double>(size);
    std::printf("  close variant %5zu KiB  cpu min %.3f s  (%zu MiB of text)\n", size / 1024, s,
                sink.bytes / kMiB / static_cast<std::size_t>(options.runs));
  }
  std::printf("  time per byte, 4x size / 1x size  %.3f  (linear: about 1.0)\n", per_byte[1] / per_byte[0]);
}

Options parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--size-mib" && i + 1 < argc)
      options.size_mib = std::strtoul(argv[++i], nullptr, 10);
    else if (a == "--dir" && i + 1 < argc)
      options.dir = argv[++i];
    else if (a == "--smoke")
      options.smoke = true, options.size_mib = kSmokeMiB, options.runs = kSmokeRuns;
  }
  options.size_mib = std::max<std::size_t>(options.size_mib, 1);
  return options;
}

}  // namespace

int main(int argc, char** argv) {
#if defined(__SANITIZE_ADDRESS__)
  std::puts("note: built with AddressSanitizer; timings are not representative");
#endif
  const Options options = parse(argc, argv);
  freegps_ratio(options);
  std::puts("close variant, parse only (text counted, not stored), cpu time, min of runs");
  close_linearity(options);
  return 0;
}
