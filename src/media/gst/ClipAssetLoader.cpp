#include "media/gst/ClipAssetLoader.h"

#include <chrono>
#include <future>
#include <system_error>
#include <thread>

#include "base/glib/CallbackGuard.h"

namespace vek::media {
namespace {

constexpr std::chrono::milliseconds kCancelPoll{100};

struct LoadRequest {
  std::vector<std::filesystem::path> clips;
  std::vector<AssetPtr> assets;  // one per clip handled so far
  std::promise<std::vector<AssetPtr>> done;
};
using RequestPtr = std::unique_ptr<LoadRequest>;

// The loader's context; its thread iterates it until the process ends, so
// the discoverer GES binds to that thread always answers.
GMainContext* loader_context() {
  static GMainContext* const context = [] {
    GMainContext* created = g_main_context_new();
    std::thread([created] {
      g_main_context_push_thread_default(created);
      for (;;) {
        g_main_context_iteration(created, TRUE);
      }
    }).detach();
    return created;
  }();
  return context;
}

// A directory, a device or a pipe would only keep the discoverer busy until
// its timeout.
bool is_readable_file(const std::filesystem::path& clip) {
  std::error_code error;
  return std::filesystem::is_regular_file(clip, error);
}

AssetPtr usable_asset(GAsyncResult* result, const std::filesystem::path& clip) {
  GError* raw_error = nullptr;
  AssetPtr asset(GES_URI_CLIP_ASSET(ges_asset_request_finish(result, &raw_error)));
  const base::GErrorPtr error(raw_error);
  if (asset == nullptr || error != nullptr) {
    g_warning("merge: skipping %s: %s", clip.c_str(), error != nullptr ? error->message : "unreadable");
    return nullptr;
  }
  const GstClockTime duration = ges_uri_clip_asset_get_duration(asset.get());
  if (!GST_CLOCK_TIME_IS_VALID(duration) || duration == 0) {
    g_warning("merge: skipping %s: no duration", clip.c_str());
    return nullptr;
  }
  return asset;
}

void on_asset_ready(GObject* source, GAsyncResult* result, gpointer data) noexcept;

// Loader thread: asks GES for the next readable clip, or fulfils the request
// when none is left. A request dropped by an exception breaks its promise.
void request_next(RequestPtr request) {
  while (request->assets.size() < request->clips.size()) {
    const std::filesystem::path& clip = request->clips[request->assets.size()];
    const base::GCharPtr uri(is_readable_file(clip) ? gst_filename_to_uri(clip.c_str(), nullptr) : nullptr);
    if (uri != nullptr) {
      ges_asset_request_async(GES_TYPE_URI_CLIP, uri.get(), nullptr, on_asset_ready, request.release());
      return;
    }
    g_warning("merge: skipping %s: not a readable file", clip.c_str());
    request->assets.emplace_back();
  }
  request->done.set_value(std::move(request->assets));
}

void on_asset_ready(GObject* /*source*/, GAsyncResult* result, gpointer data) noexcept {
  RequestPtr request(static_cast<LoadRequest*>(data));
  base::guarded("clip loading", [&request, result] {
    request->assets.push_back(usable_asset(result, request->clips[request->assets.size()]));
    request_next(std::move(request));
  });
}

gboolean start_request(gpointer data) noexcept {
  RequestPtr request(static_cast<LoadRequest*>(data));
  base::guarded("clip loading", [&request] { request_next(std::move(request)); });
  return G_SOURCE_REMOVE;
}

void post_to_loader(RequestPtr request) {
  GSource* idle = g_idle_source_new();
  g_source_set_callback(idle, start_request, request.release(), nullptr);
  g_source_attach(idle, loader_context());
  g_source_unref(idle);
}

}  // namespace

std::optional<std::vector<AssetPtr>> load_clip_assets(const std::vector<std::filesystem::path>& clips,
                                                      const std::atomic<bool>& cancelled) {
  auto request = std::make_unique<LoadRequest>();
  request->clips = clips;
  std::future<std::vector<AssetPtr>> loaded = request->done.get_future();
  post_to_loader(std::move(request));
  while (!cancelled.load()) {
    if (loaded.wait_for(kCancelPoll) == std::future_status::ready) {
      return loaded.get();
    }
  }
  return std::nullopt;
}

}  // namespace vek::media
