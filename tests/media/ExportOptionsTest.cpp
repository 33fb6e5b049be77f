// Exports with options against real clips: original-quality joins that copy
// the clips' own frames, trimmed exports of each kind, the GPX beside each
// movie, cancelling and never overwriting.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <sstream>

#include "DecodedFrames.h"
#include "ExportRun.h"
#include "MediaTestSupport.h"
#include "media/gst/ClipTracks.h"
#include "media/gst/GstExporter.h"

namespace vek::media {
namespace {

using testing::frames_at;
using vek::test::ScratchFolder;

constexpr double kFrame = 1.0 / 30;
constexpr double kHalfFrame = kFrame / 2;

struct GpxPoint {
  std::string lat;
  std::string lon;
  std::string time;
};

std::vector<GpxPoint> gpx_points(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  const std::string gpx = text.str();
  static const std::regex kPoint(R"re(<trkpt lat="([^"]+)" lon="([^"]+)"><time>([^<]+)</time>)re");
  std::vector<GpxPoint> points;
  for (auto it = std::sregex_iterator(gpx.begin(), gpx.end(), kPoint); it != std::sregex_iterator(); ++it) {
    points.push_back({(*it)[1].str(), (*it)[2].str(), (*it)[3].str()});
  }
  return points;
}

std::string seven_places(double value) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.7f", value);
  return text.data();
}

// A stretch of one clip's own time, [from, to).
struct Stretch {
  std::size_t clip;
  double from;
  double to;
};

// The clip's decoded samples some frame of the stretches shows: from the one
// at or before each start to the last one before each end, with a position.
std::vector<drive::Sample> samples_shown(const std::vector<drive::ClipTrack>& tracks,
                                         const std::vector<Stretch>& stretches) {
  std::vector<drive::Sample> shown;
  for (const Stretch& stretch : stretches) {
    const auto& samples = tracks[stretch.clip].samples;
    for (std::size_t i = 0; i < samples.size(); ++i) {
      const bool next_also_before_start = i + 1 < samples.size() && samples[i + 1].t <= stretch.from + 1e-6;
      if (!next_also_before_start && samples[i].t < stretch.to - 1e-6 && samples[i].valid) {
        shown.push_back(samples[i]);
      }
    }
  }
  return shown;
}

double movie_seconds(const std::filesystem::path& file) {
  const auto found = testing::discover(file);
  return found ? static_cast<double>(found->duration) / GST_SECOND : -1;
}

class ExportOptionsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::init_media();
    clips_ = std::make_unique<ScratchFolder>();
    first_ = testing::make_fixture_clip(*clips_ / "2016_0301_090507_001.MOV", 4, "640x360", "--audio");
    second_ = testing::make_fixture_clip(*clips_ / "2016_0301_090511_002.MOV", 3, "640x360",
                                         "--audio --seed 2 --start 2016-03-01T09:05:11");
    smaller_ = testing::make_fixture_clip(*clips_ / "small.MOV", 2, "320x240", "--audio");
  }
  static void TearDownTestSuite() { clips_.reset(); }

  void SetUp() override {
    const std::string missing = testing::missing_element(
        {"nlecomposition", "x264enc", "qtmux", "avdec_h264", "qtdemux", "concat", "h264parse", "aacparse"});
    if (!missing.empty()) {
      GTEST_SKIP() << "GStreamer element missing: " << missing;
    }
    if (testing::key_frame_seconds(first_).empty()) {
      GTEST_SKIP() << "ffprobe is missing";
    }
    ASSERT_FALSE(first_.empty() || second_.empty() || smaller_.empty());
  }

  ExportRequest request(ExportMode mode, const std::string& name) const {
    ExportRequest r;
    r.mode = mode;
    r.clips = {first_, second_};
    r.output = out_ / (name + ".mov");
    r.gpx = out_ / (name + ".gpx");
    r.settings_text = "km,ENG,UTC";
    return r;
  }

  ExportStatus run(ExportRequest r, bool cancel_on_progress = false) {
    return testing::run_export(*exporter_, std::move(r), cancel_on_progress);
  }

  // The GPX beside `name` holds exactly the samples the stretches show.
  void expect_gpx(const std::string& name, const std::vector<Stretch>& stretches) const {
    const std::atomic<bool> never{false};
    const auto tracks = read_clip_tracks({first_, second_}, never);
    ASSERT_TRUE(tracks.has_value());
    const std::vector<drive::Sample> expected = samples_shown(*tracks, stretches);
    const std::vector<GpxPoint> points = gpx_points(out_ / (name + ".gpx"));
    ASSERT_EQ(points.size(), expected.size()) << name;
    ASSERT_FALSE(points.empty());
    for (std::size_t i = 0; i < points.size(); ++i) {
      EXPECT_EQ(points[i].lat, seven_places(expected[i].lat)) << name << " point " << i;
      EXPECT_EQ(points[i].lon, seven_places(expected[i].lon)) << name << " point " << i;
      EXPECT_TRUE(i == 0 || points[i - 1].time < points[i].time) << name << " point " << i;
    }
  }

  static inline std::unique_ptr<ScratchFolder> clips_;
  static inline std::filesystem::path first_;
  static inline std::filesystem::path second_;
  static inline std::filesystem::path smaller_;
  ScratchFolder out_;
  std::unique_ptr<Exporter> exporter_ = std::make_unique<GstExporter>();
};

TEST_F(ExportOptionsTest, AnOriginalQualityJoinHoldsTheClipsOwnFramesEndToEnd) {
  ASSERT_EQ(run(request(ExportMode::Copy, "joined")), ExportStatus::Completed);
  const auto joined = testing::discover(out_ / "joined.mov");
  ASSERT_TRUE(joined.has_value());
  EXPECT_NEAR(static_cast<double>(joined->duration) / GST_SECOND, 7.0, kFrame);
  EXPECT_EQ(joined->width, 640) << "not scaled: the clips' own frames";
  EXPECT_TRUE(joined->has_audio);
  // Either side of the joint, and well inside each clip.
  const std::vector<testing::Rgb> ours = frames_at(out_ / "joined.mov", {0.5, 4.0 - kHalfFrame, 4.0 + kHalfFrame, 6.5});
  const std::vector<testing::Rgb> first = frames_at(first_, {0.5, 4.0 - kHalfFrame});
  const std::vector<testing::Rgb> second = frames_at(second_, {kHalfFrame, 2.5});
  ASSERT_EQ(ours.size(), 4U);
  ASSERT_EQ(first.size() + second.size(), 4U);
  EXPECT_EQ(testing::frame_hash(ours[0]), testing::frame_hash(first[0]));
  EXPECT_EQ(testing::frame_hash(ours[1]), testing::frame_hash(first[1])) << "the first clip's last frame";
  EXPECT_EQ(testing::frame_hash(ours[2]), testing::frame_hash(second[0])) << "the second clip's first frame";
  EXPECT_EQ(testing::frame_hash(ours[3]), testing::frame_hash(second[1]));
  EXPECT_NE(testing::frame_hash(ours[1]), testing::frame_hash(ours[2])) << "testsrc2 frames differ";
  expect_gpx("joined", {{0, 0, 4}, {1, 0, 3}});
}

TEST_F(ExportOptionsTest, TrimmedExportsCoverTheRangeAndTheCopyItsKeyFrames) {
  const drive::ClipPoint in{0, 1.2};
  const drive::ClipPoint out{1, 1.4};
  for (const auto& [mode, name] :
       {std::pair{ExportMode::Reencode, "trim-reencode"}, {ExportMode::Overlay, "trim-overlay"}}) {
    ExportRequest trimmed = request(mode, name);
    trimmed.in = in;
    trimmed.out = out;
    ASSERT_EQ(run(trimmed), ExportStatus::Completed) << name;
    EXPECT_NEAR(movie_seconds(out_ / (std::string(name) + ".mov")), (4.0 - 1.2) + 1.4, kFrame) << name;
    expect_gpx(name, {{0, 1.2, 4}, {1, 0, 1.4}});
  }
  // The key frames at or before the in point and at or after the out point.
  const std::vector<double> first_keys = testing::key_frame_seconds(first_);
  const std::vector<double> second_keys = testing::key_frame_seconds(second_);
  const double start = *std::prev(std::upper_bound(first_keys.begin(), first_keys.end(), in.time));
  const auto after_out = std::lower_bound(second_keys.begin(), second_keys.end(), out.time);
  const double end = after_out == second_keys.end() ? 3.0 : *after_out;
  ExportRequest copied = request(ExportMode::Copy, "trim-copy");
  copied.in = in;
  copied.out = out;
  ASSERT_EQ(run(copied), ExportStatus::Completed);
  EXPECT_NEAR(movie_seconds(out_ / "trim-copy.mov"), (4.0 - start) + end, kFrame)
      << "key frames at " << start << " and " << end;
  const std::vector<testing::Rgb> ours = frames_at(out_ / "trim-copy.mov", {kHalfFrame});
  const std::vector<testing::Rgb> source = frames_at(first_, {start + kHalfFrame});
  ASSERT_EQ(ours.size() + source.size(), 2U);
  EXPECT_EQ(testing::frame_hash(ours[0]), testing::frame_hash(source[0])) << "the copy starts on the key frame";
  expect_gpx("trim-copy", {{0, start, 4}, {1, 0, end}});
}

TEST_F(ExportOptionsTest, ClipsThatDifferAreNotJoinedWithoutReencoding) {
  ExportRequest mixed = request(ExportMode::Copy, "mixed");
  mixed.clips = {first_, smaller_};
  EXPECT_EQ(run(mixed), ExportStatus::Incompatible);
  EXPECT_TRUE(ScratchFolder::names(out_.path()).empty()) << "neither a movie nor a GPX";
}

TEST_F(ExportOptionsTest, ACancelledExportLeavesNothingBehind) {
  for (const ExportMode mode : {ExportMode::Overlay, ExportMode::Reencode}) {
    EXPECT_EQ(run(request(mode, "cancelled"), true), ExportStatus::Cancelled);
    EXPECT_TRUE(ScratchFolder::names(out_.path()).empty()) << "no movie, GPX or temporary file";
  }
}

TEST_F(ExportOptionsTest, NeitherTheMovieNorTheGpxIsEverOverwritten) {
  std::ofstream(out_ / "taken.mov") << "an earlier export";
  EXPECT_EQ(run(request(ExportMode::Copy, "taken")), ExportStatus::Failed);
  EXPECT_EQ(ScratchFolder::names(out_.path()), "taken.mov");
  std::ofstream(out_ / "route.gpx") << "an earlier route";
  EXPECT_EQ(run(request(ExportMode::Copy, "route")), ExportStatus::Failed);
  EXPECT_EQ(ScratchFolder::names(out_.path()), "route.gpx taken.mov");
  std::ifstream movie(out_ / "taken.mov");
  std::ifstream route(out_ / "route.gpx");
  std::string movie_text;
  std::string route_text;
  std::getline(movie, movie_text);
  std::getline(route, route_text);
  EXPECT_EQ(movie_text, "an earlier export");
  EXPECT_EQ(route_text, "an earlier route");
}

}  // namespace
}  // namespace vek::media
