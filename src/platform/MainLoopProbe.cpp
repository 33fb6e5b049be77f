#include "platform/MainLoopProbe.h"

#include <glib.h>

#include <cstdio>
#include <cstdlib>

#include "app/StallMeter.h"

namespace vek::platform {
namespace {

constexpr std::chrono::milliseconds kPeriod{10};
constexpr std::chrono::milliseconds kWindow{1000};

class TimerProbe final : public MainLoopProbe {
 public:
  explicit TimerProbe(std::FILE* out)
      : out_(out), source_(g_timeout_add(static_cast<guint>(kPeriod.count()), on_tick, this)) {}
  TimerProbe(const TimerProbe&) = delete;
  TimerProbe& operator=(const TimerProbe&) = delete;
  ~TimerProbe() override {
    g_source_remove(source_);
    std::fclose(out_);
  }

 private:
  static gboolean on_tick(gpointer self) {
    static_cast<TimerProbe*>(self)->tick();
    return G_SOURCE_CONTINUE;
  }

  void tick() {
    const auto stall = meter_.tick(app::StallMeter::Clock::now());
    if (!stall) {
      return;
    }
    std::fprintf(out_, "%lld %lld\n", static_cast<long long>(g_get_real_time() / 1000),
                 static_cast<long long>(stall->count()));
    std::fflush(out_);
  }

  std::FILE* out_;
  app::StallMeter meter_{kPeriod, kWindow};
  guint source_;
};

}  // namespace

std::unique_ptr<MainLoopProbe> main_loop_probe_from_environment() {
  const char* path = std::getenv("VEK_MAIN_LOOP_PROBE");
  if (path == nullptr || *path == '\0') {
    return nullptr;
  }
  std::FILE* out = std::fopen(path, "we");
  if (out == nullptr) {
    std::fprintf(stderr, "vek: cannot write the main loop probe to %s\n", path);
    return nullptr;
  }
  return std::make_unique<TimerProbe>(out);
}

}  // namespace vek::platform
