#include "Extract.h"

#include "../TrackPath.h"
#include "../container/LocatedRead.h"
#include "../formats/FixText.h"
#include "../formats/Registry.h"
#include "FileSource.h"
#include "MappedFile.h"
#include "base/files/Publisher.h"

namespace vek::track::io {
namespace {

using container::LocatedOutcome;

// The track text streams into the file that replaces the track file whole.
class PendingTrackFile : public TextSink {
public:
    explicit PendingTrackFile(base::PendingFile& file) : file_(file) {}
    void write(std::string_view text) override { file_.write(text); }

private:
    base::PendingFile& file_;
};

IoError changed_while_read(const std::filesystem::path& clip, const char* detail)
{
    return {clip.string() + ": changed or removed while it was read", detail};
}

// The whole clip through a map; a family other than today's layouts writes its fixes.
bool scan_whole(const std::filesystem::path& clip, std::string_view fns, Form form, TextSink& sink,
                const LogSink& log, IoError& error)
{
    std::optional<MappedFile> mapped = MappedFile::open(clip, error);
    if (!mapped)
        return false;
    const formats::Probe probe = form == Form::standard ? formats::probe_clip(mapped->bytes()) : formats::Probe{};
    if (probe.verdict == formats::Verdict::family)
        sink.write(formats::fixes_as_freegps_text(fns, probe.decoded.fixes));
    else
        extract_text(mapped->bytes(), fns, form, sink, log);
    if (!mapped->intact()) {
        error = changed_while_read(clip, "SIGBUS on the mapped clip");
        return false;
    }
    return true;
}

} // namespace

ExtractResult extract_clip(const std::filesystem::path& clip, const std::filesystem::path& home,
                           std::string_view savepath, std::string_view fns, Form form, const LogSink& log,
                           ReadMode mode)
{
    ExtractResult result;
    result.track_path = std::filesystem::path(home.string() + std::string(savepath));
    if (!is_track_file_path(savepath)) {
        result.error = {clip.string() + ": not a clip name (.MOV), so it has no track file", "refused " + std::string(savepath)};
        return result;
    }
    const std::unique_ptr<FileSource> source = FileSource::open(clip, result.error);
    if (!source)
        return result;
    std::optional<base::PendingFile> file =
        base::PendingFile::create(result.track_path, base::PublishMode::Replace, result.error);
    if (!file)
        return result;
    PendingTrackFile sink(*file);
    const LocatedOutcome located = mode == ReadMode::located ? container::extract_located(*source, fns, form, sink, log)
                                                             : LocatedOutcome::fall_back;
    if (located == LocatedOutcome::read_failed) {
        result.error = changed_while_read(clip, "a positioned read failed");
        return result; // the temporary file goes with `file`
    }
    if (located == LocatedOutcome::fall_back && !scan_whole(clip, fns, form, sink, log, result.error))
        return result;
    result.written = file->publish(result.error);
    return result;
}

} // namespace vek::track::io
