// Sound against picture in original-quality joins: each clip carries a tone
// burst at a known video frame, and after every joint the burst must start
// where it started in its own clip, measured from that clip's first frame,
// whether GStreamer or ffmpeg plays the joined movie.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "DecodedFrames.h"
#include "DecodedSound.h"
#include "ExportRun.h"
#include "MediaTestSupport.h"
#include "media/gst/GstExporter.h"
#include "support/Process.h"

namespace vek::media {
namespace {

using testing::Sound;
using vek::test::ScratchFolder;

constexpr std::size_t kClips = 5;  // four joints: a drift per joint adds up to something plain
constexpr int kClipSeconds = 3;
constexpr int kMarkFrame = 15;
constexpr double kFrame = 1.0 / 30;
constexpr double kMarkSeconds = kMarkFrame * kFrame;
constexpr double kAacFrame = 1024.0 / 48000;
// A copy can only lay whole AAC frames end to end, so the nearest it can put
// a clip's sound to its picture is half a frame (10.7 ms, far below what a
// viewer notices); two samples more for the decoders' own rounding.
constexpr double kBound = kAacFrame / 2 + 2.0 / 48000;
constexpr float kLoud = 0.2F;    // a quarter of the burst's level; the silence between decodes to nearly 0
constexpr double kQuiet = 0.25;  // bursts lie a clip apart

using Player = std::optional<Sound> (*)(const std::filesystem::path&);

struct Heard {
  std::vector<double> onsets;
  double end = 0;  // where the sound stops
};

Heard hear(Player player, const std::filesystem::path& file) {
  const std::optional<Sound> sound = player(file);
  if (!sound || sound->seconds.empty()) {
    return {};
  }
  return {testing::burst_onsets(*sound, kLoud, kQuiet), sound->seconds.back() + 1.0 / sound->rate};
}

class JoinSyncTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::init_media();
    clips_ = std::make_unique<ScratchFolder>();
    for (std::size_t i = 0; i < kClips; ++i) {
      const std::string name = "2016_0301_0905" + std::to_string(10 + i * kClipSeconds) + ".MOV";
      paths_.push_back(testing::make_fixture_clip(
          *clips_ / name, kClipSeconds, "320x240",
          "--audio-mark " + std::to_string(kMarkFrame) + " --seed " + std::to_string(i + 1)));
    }
  }
  static void TearDownTestSuite() {
    clips_.reset();
    paths_.clear();
  }

  void SetUp() override {
    const std::string missing =
        testing::missing_element({"qtdemux", "concat", "h264parse", "aacparse", "qtmux", "avdec_h264", "avdec_aac"});
    if (!missing.empty()) {
      GTEST_SKIP() << "GStreamer element missing: " << missing;
    }
    if (testing::key_frame_seconds(paths_.front()).empty()) {
      GTEST_SKIP() << "ffprobe is missing";
    }
    ASSERT_TRUE(std::none_of(paths_.begin(), paths_.end(), [](const auto& p) { return p.empty(); }));
  }

  std::filesystem::path join(const std::string& name, std::optional<drive::ClipPoint> in = std::nullopt,
                             std::optional<drive::ClipPoint> out = std::nullopt) {
    return join_clips(paths_, name, in, out);
  }

  std::filesystem::path join_clips(const std::vector<std::filesystem::path>& clips, const std::string& name,
                                   std::optional<drive::ClipPoint> in = std::nullopt,
                                   std::optional<drive::ClipPoint> out = std::nullopt) {
    ExportRequest request;
    request.mode = ExportMode::Copy;
    request.clips = clips;
    request.in = in;
    request.out = out;
    request.output = out_ / (name + ".mov");
    request.gpx = out_ / (name + ".gpx");
    request.settings_text = "km,ENG,UTC";
    GstExporter exporter;
    EXPECT_EQ(testing::run_export(exporter, std::move(request)), ExportStatus::Completed);
    return out_ / (name + ".mov");
  }

  // Each clip's burst in `joined` (clip i's first frame at starts[i - first])
  // lies where it lies in the clip itself, by both players; the sound ends with the picture.
  void expect_in_step(const std::filesystem::path& joined, std::size_t first, const std::vector<double>& starts,
                      double picture_end) {
    expect_in_step(joined, {paths_.begin() + static_cast<std::ptrdiff_t>(first), paths_.end()}, starts, picture_end);
  }

  void expect_in_step(const std::filesystem::path& joined, const std::vector<std::filesystem::path>& clips,
                      const std::vector<double>& starts, double picture_end) {
    for (const Player player : {&testing::sound_by_gstreamer, &testing::sound_by_ffmpeg}) {
      const bool by_gstreamer = player == &testing::sound_by_gstreamer;
      SCOPED_TRACE(by_gstreamer ? "GStreamer" : "ffmpeg");
      const Heard heard = hear(player, joined);
      ASSERT_EQ(heard.onsets.size(), starts.size());
      std::ostringstream offsets;
      for (std::size_t k = 0; k < starts.size(); ++k) {
        const Heard own = hear(player, clips[k]);
        ASSERT_EQ(own.onsets.size(), 1U);
        const double offset = (heard.onsets[k] - starts[k]) - own.onsets.front();
        offsets << " " << std::fixed << std::setprecision(1) << offset * 1e3;
        EXPECT_LE(std::fabs(offset), kBound) << clips[k].filename() << " at " << starts[k] << " s";
      }
      std::cout << joined.filename().string() << (by_gstreamer ? ", GStreamer" : ", ffmpeg")
                << ": burst after its clip's first frame, against the clip itself (ms):" << offsets.str() << "\n";
      EXPECT_NEAR(heard.end, picture_end, kBound) << "the sound lasts as long as the picture";
    }
  }

  static inline std::unique_ptr<ScratchFolder> clips_;
  static inline std::vector<std::filesystem::path> paths_;
  ScratchFolder out_;
};

TEST_F(JoinSyncTest, EveryClipsSoundStartsWithItsPicture) {
  const std::filesystem::path joined = join("joined");
  std::vector<double> starts;
  for (std::size_t i = 0; i < kClips; ++i) {
    starts.push_back(static_cast<double>(i * kClipSeconds));
  }
  // The picture is where the sound is measured from: the burst's frame of each clip, copied.
  std::vector<double> burst_frames;
  burst_frames.reserve(starts.size());
  for (const double start : starts) {
    burst_frames.push_back(start + kMarkSeconds + kFrame / 2);
  }
  const std::vector<testing::Rgb> ours = testing::frames_at(joined, burst_frames);
  ASSERT_EQ(ours.size(), starts.size());
  for (std::size_t i = 0; i < kClips; ++i) {
    EXPECT_EQ(testing::frame_hash(ours[i]),
              testing::frame_hash(testing::frame_at(paths_[i], kMarkSeconds + kFrame / 2)))
        << "clip " << i;
  }
  expect_in_step(joined, 0, starts, static_cast<double>(kClips * kClipSeconds));
}

TEST_F(JoinSyncTest, ATrimmedJoinKeepsEachClipsSoundWithItsPicture) {
  // The in point cuts the first clip's burst away; the out point lies after the last one's.
  const std::vector<double> first_keys = testing::key_frame_seconds(paths_.front());
  const std::vector<double> last_keys = testing::key_frame_seconds(paths_.back());
  const double start = *std::prev(std::upper_bound(first_keys.begin(), first_keys.end(), 1.2));
  const auto after_out = std::lower_bound(last_keys.begin(), last_keys.end(), 1.4);
  const double end = after_out == last_keys.end() ? kClipSeconds : *after_out;
  const std::filesystem::path joined = join("trimmed", drive::ClipPoint{0, 1.2}, drive::ClipPoint{kClips - 1, 1.4});
  std::vector<double> starts;
  for (std::size_t i = 1; i < kClips; ++i) {
    starts.push_back((kClipSeconds - start) + static_cast<double>((i - 1) * kClipSeconds));
  }
  expect_in_step(joined, 1, starts, starts.back() + end);
}

TEST_F(JoinSyncTest, SilenceFillsWhereAClipsSoundEndsBeforeItsPicture) {
  // The first clip's sound re-encoded to stop half a second before its picture does.
  const std::filesystem::path short_sound = out_ / "2016_0301_090500.MOV";
  const test::RunResult made = test::run_process({"ffmpeg",
                                                  "-nostdin",
                                                  "-v",
                                                  "error",
                                                  "-i",
                                                  paths_.front().string(),
                                                  "-map",
                                                  "0:v",
                                                  "-map",
                                                  "0:a",
                                                  "-c:v",
                                                  "copy",
                                                  "-af",
                                                  "atrim=end=2.5",
                                                  "-c:a",
                                                  "aac",
                                                  "-b:a",
                                                  "96k",
                                                  "-ar",
                                                  "48000",
                                                  "-ac",
                                                  "1",
                                                  "-f",
                                                  "mov",
                                                  short_sound.string()});
  ASSERT_TRUE(made.ok()) << made.describe();
  const std::vector<std::filesystem::path> clips{short_sound, paths_[1], paths_[2]};
  const std::filesystem::path joined = join_clips(clips, "short");
  expect_in_step(joined, clips, {0, kClipSeconds, 2 * kClipSeconds}, 3 * kClipSeconds);
  // Between the first clip's last sound and the next clip's: silence, decoded without a gap.
  const std::optional<Sound> sound = testing::sound_by_gstreamer(joined);
  ASSERT_TRUE(sound.has_value());
  float loudest = 0;
  std::size_t heard = 0;
  for (std::size_t i = 0; i < sound->samples.size(); ++i) {
    if (sound->seconds[i] > 2.55 && sound->seconds[i] < 2.95) {
      loudest = std::max(loudest, std::fabs(sound->samples[i]));
      ++heard;
    }
  }
  EXPECT_NEAR(static_cast<double>(heard), 0.4 * 48000, 2) << "every sample of 0.4 s at 48 kHz: no gap";
  EXPECT_LT(loudest, 0.01F);
}

}  // namespace
}  // namespace vek::media
