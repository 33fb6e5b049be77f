#include "platform/MainLoopProbe.h"

#include <glib.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/StallMeter.h"
#include "base/glib/CallbackGuard.h"

namespace vek::platform {
namespace {

constexpr std::chrono::milliseconds kPeriod{10};
constexpr std::chrono::milliseconds kWindow{1000};
// A callback this long holds the loop past the probe's budget on its own.
constexpr std::chrono::milliseconds kSlowCallback{20};

long long epoch_ms() {
  return static_cast<long long>(g_get_real_time() / 1000);
}

double as_ms(std::chrono::steady_clock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

// What our own callbacks did on the loop in one window.
struct CallbackWindow {
  long callbacks = 0;
  std::chrono::steady_clock::duration busy{};
  long scripts = 0;
  std::size_t script_bytes = 0;
  std::chrono::steady_clock::duration slowest{};
  const char* slowest_where = "-";
};

class TimerProbe final : public MainLoopProbe, public base::CallbackTrace {
 public:
  TimerProbe(std::FILE* out, std::FILE* callbacks)
      : out_(out), callbacks_(callbacks), source_(g_timeout_add(static_cast<guint>(kPeriod.count()), on_tick, this)) {
    base::set_callback_trace(this);
  }
  TimerProbe(const TimerProbe&) = delete;
  TimerProbe& operator=(const TimerProbe&) = delete;
  ~TimerProbe() override {
    base::set_callback_trace(nullptr);
    g_source_remove(source_);
    std::fclose(out_);
    std::fclose(callbacks_);
  }

  void callback_ran(const char* where, Clock::duration took) noexcept override {
    ++window_.callbacks;
    window_.busy += took;
    if (took > window_.slowest) {
      window_.slowest = took;
      window_.slowest_where = where;
    }
    if (took >= kSlowCallback) {
      std::fprintf(callbacks_, "%lld slow %.1f ms %s: %ld scripts, %zu bytes\n", epoch_ms(), as_ms(took), where,
                   window_.scripts - scripts_before_, window_.script_bytes - bytes_before_);
    }
    scripts_before_ = window_.scripts;
    bytes_before_ = window_.script_bytes;
  }

  void script_sent(std::size_t bytes) noexcept override {
    ++window_.scripts;
    window_.script_bytes += bytes;
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
    const long long now = epoch_ms();
    std::fprintf(out_, "%lld %lld\n", now, static_cast<long long>(stall->count()));
    std::fflush(out_);
    std::fprintf(callbacks_,
                 "%lld window: stall %lld ms, %ld callbacks, busy %.1f ms, %ld scripts, %zu bytes, "
                 "slowest %.1f ms %s\n",
                 now, static_cast<long long>(stall->count()), window_.callbacks, as_ms(window_.busy), window_.scripts,
                 window_.script_bytes, as_ms(window_.slowest), window_.slowest_where);
    std::fflush(callbacks_);
    window_ = {};
    scripts_before_ = 0;
    bytes_before_ = 0;
  }

  std::FILE* out_;
  std::FILE* callbacks_;
  app::StallMeter meter_{kPeriod, kWindow};
  CallbackWindow window_;
  // The window's scripts before the callback now running, so a slow one
  // shows what it sent itself.
  long scripts_before_ = 0;
  std::size_t bytes_before_ = 0;
  guint source_;
};

}  // namespace

std::unique_ptr<MainLoopProbe> main_loop_probe_from_environment() {
  const char* path = std::getenv("VEK_MAIN_LOOP_PROBE");
  if (path == nullptr || *path == '\0') {
    return nullptr;
  }
  std::FILE* out = std::fopen(path, "we");
  std::FILE* callbacks = std::fopen((std::string(path) + ".callbacks").c_str(), "we");
  if (out == nullptr || callbacks == nullptr) {
    std::fprintf(stderr, "vek: cannot write the main loop probe to %s\n", path);
    if (out != nullptr) std::fclose(out);
    if (callbacks != nullptr) std::fclose(callbacks);
    return nullptr;
  }
  return std::make_unique<TimerProbe>(out, callbacks);
}

}  // namespace vek::platform
