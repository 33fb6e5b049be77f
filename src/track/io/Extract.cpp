#include "Extract.h"

#include "AtomicFile.h"
#include "MappedFile.h"

namespace vek::track::io {
namespace {

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
                           std::size_t max_bytes)
{
    ExtractResult result;
    result.track_path = std::filesystem::path(home.string() + std::string(savepath));
    std::optional<MappedFile> mapped = MappedFile::open(clip, result.error);
    if (!mapped)
        return result;
    AtomicFile file(result.track_path);
    if (!file.open()) {
        result.error = file.error();
        return result;
    }
    CappedSink capped(file, max_bytes);
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
    result.written = file.commit();
    if (!result.written)
        result.error = file.error();
    return result;
}

} // namespace vek::track::io
