#include "Extract.h"

#include "../TrackPath.h"
#include "MappedFile.h"
#include "base/files/Publisher.h"

namespace vek::track::io {
namespace {

// The track text streams into the file that replaces the track file whole.
class PendingTrackFile : public TextSink {
public:
    explicit PendingTrackFile(base::PendingFile& file) : file_(file) {}
    void write(std::string_view text) override { file_.write(text); }

private:
    base::PendingFile& file_;
};

// Publishes unless cancelled, holding the cancellation off while it writes.
bool publish_unless_cancelled(base::PendingFile& file, Cancellation* cancellation, ExtractResult& result)
{
    if (cancellation == nullptr)
        return file.publish(result.error);
    bool published = false;
    result.cancelled =
        !cancellation->publish_unless_cancelled([&] { published = file.publish(result.error); });
    return published;
}

// Passes text on until the total would pass the cap, then drops the rest.
class CappedSink : public TextSink {
public:
    CappedSink(TextSink& next, std::size_t cap) : next_(next), cap_(cap) {}
    void write(std::string_view text) override
    {
        if (overflowed_ || text.size() > cap_ - written_) {
            overflowed_ = true;
            return;
        }
        written_ += text.size();
        next_.write(text);
    }
    bool overflowed() const noexcept { return overflowed_; }

private:
    TextSink& next_;
    std::size_t cap_;
    std::size_t written_ = 0;
    bool overflowed_ = false;
};

IoError too_large_error(const std::filesystem::path& clip, std::size_t cap)
{
    return {clip.string() + ": track too large, not written",
            "more than " + std::to_string(cap >> 20) + " MiB of track text; no real clip holds that many records"};
}

} // namespace

ExtractResult extract_clip(const std::filesystem::path& clip, const std::filesystem::path& home,
                           std::string_view savepath, std::string_view fns, Form form, const LogSink& log,
                           Cancellation* cancellation, std::size_t max_bytes)
{
    ExtractResult result;
    result.track_path = std::filesystem::path(home.string() + std::string(savepath));
    if (!is_track_file_path(savepath)) {
        result.error = {clip.string() + ": not a clip name (.MOV), so it has no track file", "refused " + std::string(savepath)};
        return result;
    }
    if (cancellation != nullptr && cancellation->cancelled()) {
        result.cancelled = true;
        return result;
    }
    std::optional<MappedFile> mapped = MappedFile::open(clip, result.error);
    if (!mapped)
        return result;
    std::optional<base::PendingFile> file =
        base::PendingFile::create(result.track_path, base::PublishMode::Replace, result.error);
    if (!file)
        return result;
    PendingTrackFile sink(*file);
    CappedSink capped(sink, max_bytes);
    extract_text(mapped->bytes(), fns, form, capped, log);
    if (capped.overflowed()) {
        result.too_large = true;
        result.error = too_large_error(clip, max_bytes);
        return result;
    }
    if (!mapped->intact()) {
        result.error = {clip.string() + ": changed or removed while it was read", "SIGBUS on the mapped clip"};
        return result; // the temporary file goes with `file`
    }
    result.written = publish_unless_cancelled(*file, cancellation, result);
    return result;
}

} // namespace vek::track::io
