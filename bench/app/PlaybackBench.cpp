// Playback in the real app against the bare WebKitGTK window playing the same
// 1080p30 clip, each with WebKit's GL video sink and without it
// (WEBKIT_GST_DISABLE_GL_SINK=1), in the same run on the current display:
// frames decoded and dropped (getVideoPlaybackQuality) and the page's own
// animation frames per second while the video plays.
// Usage: xvfb-run -a vek-playback-bench [--seconds 20] [--size 1920x1080] [--sink gl|none|both] [--clip CLIP]
// (--clip plays a clip of your own instead of a generated one)

#include <cstdio>
#include <cstdlib>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "BenchClip.h"
#include "ProbedRun.h"

namespace {

using namespace std::chrono_literals;
using vek::bench::ProbedRun;

struct Options {
  int seconds = 20;
  std::string size = "1920x1080";
  std::string sink = "both";
  std::string clip;
};

struct Playback {
  double decoded_per_second = 0;
  double dropped_share = 0;
  double animation_per_second = 0;
};

Options parse_options(std::span<char*> arguments) {
  Options options;
  for (std::size_t i = 1; i + 1 < arguments.size(); i += 2) {
    const std::string_view flag = arguments[i];
    if (flag == "--seconds")
      options.seconds = std::atoi(arguments[i + 1]);
    else if (flag == "--size")
      options.size = arguments[i + 1];
    else if (flag == "--sink")
      options.sink = arguments[i + 1];
    else if (flag == "--clip")
      options.clip = arguments[i + 1];
    else
      throw std::invalid_argument("unknown option " + std::string(flag));
  }
  const bool known_sink = options.sink == "gl" || options.sink == "none" || options.sink == "both";
  if (options.seconds < 1 || options.seconds > 600 || !known_sink || arguments.size() % 2 == 0)
    throw std::invalid_argument(
        "usage: vek-playback-bench [--seconds 1..600] [--size WxH] [--sink gl|none|both] [--clip CLIP]");
  return options;
}

Playback measure(bool app, bool gl_sink, const std::filesystem::path& clip, const Options& options) {
  ProbedRun run(app ? "playback-app" : "playback-bare");
  const std::vector<std::filesystem::path> probes{VEK_PROBE_DIR "/playback-probe.js"};
  const vek::bench::ProbeSettings settings{"{\"seconds\": " + std::to_string(options.seconds) + "}"};
  std::vector<std::string> env;
  if (!gl_sink) env.emplace_back("WEBKIT_GST_DISABLE_GL_SINK=1");
  if (app)
    run.start_vek({clip.string()}, probes, settings, env);
  else
    run.start_bare("<video src=\"file://" + clip.string() + "\" autoplay playsinline width=\"960\"></video>", probes,
                   settings, env);
  const auto report = run.wait_report("playback", std::chrono::seconds(options.seconds) + 180s);
  if (!report) throw std::runtime_error("no playback report");
  const double seconds = (*report)["seconds"].number();
  const double total = (*report)["total"].number();
  std::printf(
      "  %-4s %-9s %5.0f frames decoded, %4.0f dropped in %.1f s; %5.1f animation frames/s, longest gap %.0f ms\n",
      app ? "vek" : "bare", gl_sink ? "GL sink" : "no GL", total, (*report)["dropped"].number(), seconds,
      (*report)["animationFrames"].number() / seconds, (*report)["longestFrameGapMs"].number());
  return {total / seconds, total > 0 ? (*report)["dropped"].number() / total : 0.0,
          (*report)["animationFrames"].number() / seconds};
}

void compare(const char* sink, const Playback& app, const Playback& bare) {
  std::printf("%s ratio vek/bare: decoded frames %.2f, animation frames %.2f; dropped share vek %.2f, bare %.2f\n",
              sink, app.decoded_per_second / bare.decoded_per_second,
              app.animation_per_second / bare.animation_per_second, app.dropped_share, bare.dropped_share);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options options = parse_options(std::span<char*>(argv, static_cast<std::size_t>(argc)));
    const vek::test::ScratchFolder folder("vek-playback-clip");
    const auto clip = options.clip.empty()
                          ? vek::bench::make_bench_clip(folder / "PLAY0001.MOV", options.seconds + 10, options.size)
                          : std::filesystem::absolute(options.clip);
    const std::string what = options.clip.empty() ? "a " + options.size + " 30 fps clip" : clip.string();
    std::printf("playback of %s over %d s\n", what.c_str(), options.seconds);
    for (const bool gl_sink : {true, false}) {
      if (options.sink != "both" && gl_sink != (options.sink == "gl")) continue;
      const Playback bare = measure(false, gl_sink, clip, options);
      const Playback app = measure(true, gl_sink, clip, options);
      compare(gl_sink ? "GL sink" : "no GL sink", app, bare);
    }
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vek-playback-bench: %s\n", error.what());
    return 1;
  }
}
