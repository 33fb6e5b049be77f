#include "Extract.h"

#include "../container/LocatedRead.h"
#include "../formats/FixText.h"
#include "../formats/Registry.h"
#include "AtomicFile.h"
#include "FileSource.h"
#include "MappedFile.h"

namespace vek::track::io {
namespace {

using container::LocatedOutcome;

IoError changed_while_read(const std::filesystem::path& clip, const char* detail)
{
    return {clip.string() + ": changed or removed while it was read", detail};
}

bool scan_whole(const std::filesystem::path& clip, std::string_view fns, Form form, AtomicFile& file,
                const LogSink& log, IoError& error)
{
    std::optional<MappedFile> mapped = MappedFile::open(clip, error);
    if (!mapped)
        return false;
    const formats::Probe probe = form == Form::standard ? formats::probe_clip(mapped->bytes()) : formats::Probe{};
    if (probe.verdict == formats::Verdict::family)
        file.write(formats::fixes_as_freegps_text(fns, probe.decoded.fixes));
    else
        extract_text(mapped->bytes(), fns, form, file, log);
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
    const std::unique_ptr<FileSource> source = FileSource::open(clip, result.error);
    if (!source)
        return result;
    AtomicFile file(result.track_path);
    if (!file.open()) {
        result.error = file.error();
        return result;
    }
    const LocatedOutcome located = mode == ReadMode::located ? container::extract_located(*source, fns, form, file, log)
                                                             : LocatedOutcome::fall_back;
    if (located == LocatedOutcome::read_failed) {
        result.error = changed_while_read(clip, "a positioned read failed");
        return result; // the temporary file goes with `file`
    }
    if (located == LocatedOutcome::fall_back && !scan_whole(clip, fns, form, file, log, result.error))
        return result;
    result.written = file.commit();
    if (!result.written)
        result.error = file.error();
    return result;
}

} // namespace vek::track::io
