#include "Extract.h"

#include "AtomicFile.h"
#include "MappedFile.h"

namespace vek::track::io {
namespace {

// Commits unless cancelled, holding the cancellation off while it writes.
bool commit_unless_cancelled(AtomicFile& file, Cancellation* cancellation, ExtractResult& result)
{
    if (cancellation == nullptr)
        return file.commit();
    bool committed = false;
    result.cancelled = !cancellation->publish_unless_cancelled([&] { committed = file.commit(); });
    return committed;
}

} // namespace

ExtractResult extract_clip(const std::filesystem::path& clip, const std::filesystem::path& home,
                           std::string_view savepath, std::string_view fns, Form form, const LogSink& log,
                           Cancellation* cancellation)
{
    ExtractResult result;
    result.track_path = std::filesystem::path(home.string() + std::string(savepath));
    if (cancellation != nullptr && cancellation->cancelled()) {
        result.cancelled = true;
        return result;
    }
    std::optional<MappedFile> mapped = MappedFile::open(clip, result.error);
    if (!mapped)
        return result;
    AtomicFile file(result.track_path);
    if (!file.open()) {
        result.error = file.error();
        return result;
    }
    extract_text(mapped->bytes(), fns, form, file, log);
    if (!mapped->intact()) {
        result.error = {clip.string() + ": changed or removed while it was read", "SIGBUS on the mapped clip"};
        return result; // the temporary file goes with `file`
    }
    result.written = commit_unless_cancelled(file, cancellation, result);
    if (!result.written && !result.cancelled)
        result.error = file.error();
    return result;
}

} // namespace vek::track::io
