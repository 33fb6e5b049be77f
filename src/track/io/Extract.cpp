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

} // namespace

ExtractResult extract_clip(const std::filesystem::path& clip, const std::filesystem::path& home,
                           std::string_view savepath, std::string_view fns, Form form, const LogSink& log)
{
    ExtractResult result;
    result.track_path = std::filesystem::path(home.string() + std::string(savepath));
    if (!is_track_file_path(savepath)) {
        result.error = {clip.string() + ": not a clip name (.MOV), so it has no track file", "refused " + std::string(savepath)};
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
    extract_text(mapped->bytes(), fns, form, sink, log);
    if (!mapped->intact()) {
        result.error = {clip.string() + ": changed or removed while it was read", "SIGBUS on the mapped clip"};
        return result; // the temporary file goes with `file`
    }
    result.written = file->publish(result.error);
    return result;
}

} // namespace vek::track::io
