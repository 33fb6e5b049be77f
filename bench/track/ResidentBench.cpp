// What extraction reads, against baselines measured in the same run:
//  1. what an indexed clip's extraction read, the clip evicted from the page
//     cache first: the larger of its resident bytes afterwards and the bytes
//     this process had the device read (direct reads bypass the page cache),
//     over its budget 1.5 x (header atoms + boxes) + 1 MiB (target: at most 1.0);
//  2. the same for a gps0 clip over top-level headers + gps0 + gsen + 1 MiB;
//  3. cold extraction of a set of indexed clips over the same clips with
//     --full-scan, evicted before each pass, the median of alternating
//     passes, read one after the other and as the app's intake reads them
//     (two threads, one folder sync per batch) (target: at most 0.05);
//  4. with --fixture-tool, each camera family's fixture clip padded with
//     media to the clip size, its sidecars beside it: resident bytes of the
//     clip and its sidecars after extraction over its budget 1.5 x (top-level
//     atoms + telemetry samples + trailer + sidecars) + 1 MiB (target: at most 1.0).
// Usage: vek-track-resident-bench [--size-mib 1024] [--clips 20] [--clip-mib 300] [--passes 3] [--dir D]
//        [--fixture-tool tools/vek-fixture.py] [--smoke]

#include "BenchClips.h"
#include "PaddedFixture.h"
#include "support/Json.h"
#include "support/PageCache.h"
#include "track/io/Extract.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
namespace track = vek::track;
using namespace vek::bench;
using vek::test::evict;
using vek::test::resident_bytes;

namespace {

constexpr std::uint64_t kMiB = std::uint64_t{1} << 20;
constexpr unsigned kDriveSeconds = 180;  // a 3-minute clip, one box per second
constexpr std::uint64_t kBoxSize = std::uint64_t{32} * 1024;

struct Options {
  std::uint64_t size_mib = 1024;
  unsigned clips = 20;
  std::uint64_t clip_mib = 300;
  fs::path dir = fs::temp_directory_path();
  fs::path fixture_tool;
  unsigned fixture_seconds = 60;
  unsigned passes = 3;
};

// The fixture kinds of every family read, inside the clip or beside it.
constexpr const char* kFamilyKinds[] = {
    "gpmd",        "freegps-text",  "free-children", "subtitle-nmea", "subtitle-binary", "xor-text",
    "camm",        "freegps-int32", "gps-box",       "gps0-xor",      "aitg-trailer",    "v02-log",
    "gps-sidecar", "nmea-sidecar",  "map-sidecar",   "srt-sidecar"};

bool parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool has_value = i + 1 < argc;
    if (a == "--smoke") {
      o.size_mib = 16, o.clips = 2, o.clip_mib = 8, o.fixture_seconds = 3, o.passes = 1;
    } else if (a == "--size-mib" && has_value) {
      o.size_mib = std::strtoull(argv[++i], nullptr, 10);
    } else if (a == "--clips" && has_value) {
      o.clips = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else if (a == "--clip-mib" && has_value) {
      o.clip_mib = std::strtoull(argv[++i], nullptr, 10);
    } else if (a == "--passes" && has_value) {
      o.passes = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    } else if (a == "--fixture-tool" && has_value) {
      o.fixture_tool = argv[++i];
    } else if (a == "--dir" && has_value) {
      o.dir = argv[++i];
    } else {
      std::fprintf(stderr,
                   "usage: vek-track-resident-bench [--size-mib N] [--clips N] [--clip-mib N] "
                   "[--passes N] [--dir D] [--fixture-tool PATH] [--smoke]\n");
      return false;
    }
  }
  return o.size_mib >= 8 && o.clip_mib >= 8 && o.clips >= 1 && o.passes >= 1;
}

// With `syncs`, the track folder is synced once for a batch of clips, as the intake does.
bool extract(const fs::path& clip, const fs::path& home, track::io::ReadMode mode,
             vek::base::FolderSyncs* syncs = nullptr) {
  return track::io::extract_clip(clip, home, "/bench.data", "bench.MOV", track::Form::standard, {}, nullptr, mode,
                                 track::io::kMaxTrackBytes, syncs)
      .written;
}

// Bytes this process has had the storage layer read, direct reads included.
std::uint64_t device_read_bytes() {
  std::ifstream io("/proc/self/io");
  std::string key;
  std::uint64_t value = 0;
  while (io >> key >> value) {
    if (key == "read_bytes:") return value;
  }
  return 0;
}

std::uint64_t resident_of(const BenchClip& clip, const std::vector<fs::path>& sidecars) {
  std::uint64_t resident = resident_bytes(clip.path);
  for (const fs::path& sidecar : sidecars)
    resident += resident_bytes(sidecar);
  return resident;
}

// The clip and its sidecars evicted, extracted, then what of them is in the page cache.
bool resident_case(const char* what, const BenchClip& clip, const fs::path& home,
                   const std::vector<fs::path>& sidecars = {}) {
  evict(clip.path);
  for (const fs::path& sidecar : sidecars)
    evict(sidecar);
  const std::uint64_t device_before = device_read_bytes();
  if (!extract(clip.path, home, track::io::ReadMode::located)) return false;
  const std::uint64_t device = device_read_bytes() - device_before;
  const std::uint64_t resident = resident_of(clip, sidecars);
  const double budget = clip.budget_factor * static_cast<double>(clip.needed) + static_cast<double>(kMiB);
  std::printf(
      "%s: %.1f MiB clip, %llu KiB resident after extraction, %llu KiB read from the device, budget %.0f KiB: "
      "ratio %.3f (target <= 1.0)\n",
      what, static_cast<double>(clip.size) / kMiB, static_cast<unsigned long long>(resident / 1024),
      static_cast<unsigned long long>(device / 1024), budget / 1024,
      static_cast<double>(std::max(resident, device)) / budget);
  return true;
}

double timed_pass(const std::vector<BenchClip>& clips, const fs::path& home, track::io::ReadMode mode) {
  for (const BenchClip& clip : clips)
    evict(clip.path);
  const auto start = std::chrono::steady_clock::now();
  vek::base::FolderSyncs syncs;
  for (const BenchClip& clip : clips) {
    if (!extract(clip.path, home, mode, &syncs)) return -1;
  }
  syncs.sync();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// As the app's intake reads a card: one clip per core, at most two at once,
// each thread taking the next clip, one folder sync for the batch.
double timed_intake_pass(const std::vector<BenchClip>& clips, const fs::path& home, unsigned threads) {
  for (const BenchClip& clip : clips)
    evict(clip.path);
  const auto start = std::chrono::steady_clock::now();
  vek::base::FolderSyncs syncs;
  std::atomic<std::size_t> next{0};
  std::atomic<bool> ok{true};
  std::vector<std::jthread> readers;
  for (unsigned t = 0; t < threads; ++t)
    readers.emplace_back([&, t] {
      const std::string savepath = "/intake" + std::to_string(t) + ".data";
      for (std::size_t i = next++; i < clips.size(); i = next++)
        if (!track::io::extract_clip(clips[i].path, home, savepath, "bench.MOV", track::Form::standard, {}, nullptr,
                                     track::io::ReadMode::located, track::io::kMaxTrackBytes, &syncs)
                 .written)
          ok = false;
    });
  readers.clear();
  syncs.sync();
  if (!ok) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Passes alternate, so load from elsewhere on the machine falls on both modes alike.
bool intake_case(const Options& o, const fs::path& home) {
  std::vector<BenchClip> clips;
  for (unsigned i = 0; i < o.clips; ++i)
    clips.push_back(write_indexed_clip(o.dir / ("intake" + std::to_string(i) + ".MOV"), o.clip_mib * kMiB,
                                       kDriveSeconds, kBoxSize, i + 1));
  const unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1U, 2U);
  std::vector<double> full;
  std::vector<double> located;
  std::vector<double> intake;
  for (unsigned pass = 0; pass < o.passes; ++pass) {
    full.push_back(timed_pass(clips, home, track::io::ReadMode::full_scan));
    located.push_back(timed_pass(clips, home, track::io::ReadMode::located));
    intake.push_back(timed_intake_pass(clips, home, threads));
  }
  for (const BenchClip& clip : clips)
    fs::remove(clip.path);
  if (*std::min_element(full.begin(), full.end()) <= 0 || *std::min_element(located.begin(), located.end()) < 0 ||
      *std::min_element(intake.begin(), intake.end()) < 0)
    return false;
  std::printf(
      "cold extraction of %u x %llu MiB indexed clips, median of %u passes: %.3f s located, %.3f s --full-scan: "
      "ratio %.4f; the intake's %u threads: %.3f s, ratio %.4f (target <= 0.05)\n",
      o.clips, static_cast<unsigned long long>(o.clip_mib), o.passes, median(located), median(full),
      median(located) / median(full), threads, median(intake), median(intake) / median(full));
  return true;
}

struct FamilyClip {
  BenchClip clip;
  std::vector<fs::path> sidecars;
};

std::optional<vek::test::Json> read_json(const fs::path& path) {
  std::ifstream in(path);
  return vek::test::Json::parse(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
}

// Sidecars named by suffix move beside the padded clip; those with a folder
// part (a card-wide log above the clip) stay, as both clips share that folder.
std::optional<std::vector<fs::path>> move_sidecars(const vek::test::Json& description, const fs::path& made,
                                                   const fs::path& clip) {
  std::vector<fs::path> sidecars;
  for (const vek::test::Json& name : description["sidecars"].array()) {
    const std::string& s = name.string();
    if (s.find('/') != std::string::npos) {
      sidecars.push_back((clip.parent_path() / s).lexically_normal());
      continue;
    }
    const fs::path moved = clip.string().substr(0, clip.string().size() - 4) + s;
    std::error_code ec;
    fs::rename(made.string().substr(0, made.string().size() - 4) + s, moved, ec);
    if (ec) return std::nullopt;
    sidecars.push_back(moved);
  }
  return sidecars;
}

// The family's fixture made in one folder and padded into its sibling under
// the same name (a card-wide log names its clips).
std::optional<FamilyClip> family_clip(const Options& o, const char* kind) {
  const fs::path folder = o.dir / (std::string("family-") + kind);
  const fs::path made = folder / "made" / "FILE0001.MOV";
  const fs::path clip = folder / "card" / "FILE0001.MOV";
  fs::create_directories(made.parent_path());
  fs::create_directories(clip.parent_path());
  const std::string command = "python3 '" + o.fixture_tool.string() + "' --kind " + kind + " --seconds " +
                              std::to_string(o.fixture_seconds) + " --size 160x96 --out '" + made.string() +
                              "' --json '" + made.string() + ".json' > /dev/null";
  if (std::system(command.c_str()) != 0) return std::nullopt;
  const auto description = read_json(made.string() + ".json");
  const std::uint64_t size = fs::file_size(made);
  auto padded = description && size < o.size_mib * kMiB ? write_padded_fixture(made, clip, o.size_mib * kMiB - size)
                                                        : std::nullopt;
  auto sidecars = padded ? move_sidecars(*description, made, clip) : std::nullopt;
  if (!sidecars) return std::nullopt;
  FamilyClip family{*padded, std::move(*sidecars)};
  for (const fs::path& sidecar : family.sidecars) {
    std::error_code ec;
    const std::uintmax_t bytes = fs::file_size(sidecar, ec);
    if (ec) return std::nullopt;
    family.clip.needed += bytes;
  }
  return family;
}

bool families_case(const Options& o, const fs::path& home) {
  if (std::system("command -v ffmpeg > /dev/null 2>&1") != 0) {
    std::printf("camera families: skipped, the fixture tool needs ffmpeg\n");
    return true;
  }
  bool ok = true;
  for (const char* kind : kFamilyKinds) {
    const std::optional<FamilyClip> family = family_clip(o, kind);
    if (!family) {
      std::fprintf(stderr, "%s: the fixture could not be made or padded\n", kind);
      ok = false;
    } else {
      std::printf("family %s: telemetry, headers and sidecars %llu KiB; ", kind,
                  static_cast<unsigned long long>(family->clip.needed / 1024));
      ok = resident_case(kind, family->clip, home, family->sidecars) && ok;
    }
    fs::remove_all(o.dir / (std::string("family-") + kind));
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!parse(argc, argv, o)) return 2;
  const fs::path home = o.dir / "vek-resident-home";
  fs::create_directories(home);
  const BenchClip indexed = write_indexed_clip(o.dir / "indexed.MOV", o.size_mib * kMiB, kDriveSeconds, kBoxSize, 7);
  bool ok = resident_case("indexed freeGPS", indexed, home);
  fs::remove(indexed.path);
  const BenchClip gps0 = write_gps0_clip(o.dir / "gps0.MOV", o.size_mib * kMiB, kDriveSeconds);
  ok = resident_case("gps0/gsen atoms", gps0, home) && ok;
  fs::remove(gps0.path);
  ok = intake_case(o, home) && ok;
  if (!o.fixture_tool.empty()) ok = families_case(o, home) && ok;
  fs::remove_all(home);
  return ok ? 0 : 1;
}
