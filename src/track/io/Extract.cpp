#include "track/io/Extract.h"

#include "base/files/Publisher.h"
#include "track/TrackPath.h"
#include "track/container/LocatedRead.h"
#include "track/formats/FixText.h"
#include "track/formats/Registry.h"
#include "track/io/ClipProbe.h"
#include "track/io/FamilyRecord.h"
#include "track/io/FileSource.h"
#include "track/io/MappedFile.h"

#include <span>
#include <vector>

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

// A record of the track as a file to publish with it; a record that cannot
// be written is logged and left out.
void add_record(std::vector<base::PendingFile>& files, const std::filesystem::path& path, std::string_view text,
                const LogSink& log) {
  base::FileError error;
  std::optional<base::PendingFile> file = base::PendingFile::create(path, base::PublishMode::Replace, error);
  if (file && file->write(text)) {
    files.push_back(std::move(*file));
    return;
  }
  if (file) file->publish(error);  // reports the failed write and removes the temporary
  if (log) log(error.message + " (" + error.detail + ")");
}

// The track first, then its family record and the caller's records.
std::vector<base::PendingFile> track_and_records(base::PendingFile track, const ExtractResult& result,
                                                 std::span<const RecordBeside> beside, const LogSink& log) {
  std::vector<base::PendingFile> files;
  files.reserve(2 + beside.size());
  files.push_back(std::move(track));
  add_record(files, family_record_path(result.track_path), family_record_text(result.family), log);
  for (const RecordBeside& record : beside)
    add_record(files, record.path, record.text, log);
  return files;
}

// Publishes unless cancelled, holding the cancellation off while it writes.
// A record that fails after its track is published is logged; the track stands.
void publish_unless_cancelled(std::vector<base::PendingFile>& files, Cancellation* cancellation, ExtractResult& result,
                              base::FolderSyncs& syncs, const LogSink& log) {
  std::size_t published = 0;
  base::FileError error;
  const auto publish = [&] { published = base::publish_together(files, error, &syncs); };
  if (cancellation == nullptr) {
    publish();
  } else {
    result.cancelled = !cancellation->publish_unless_cancelled(publish);
  }
  result.written = published > 0;
  if (!result.written && !result.cancelled) result.error = error;
  if (result.written && published < files.size() && log) log(error.message + " (" + error.detail + ")");
}

// Passes text on until the total would pass the cap, then drops the rest.
class CappedSink : public TextSink {
 public:
  CappedSink(TextSink& next, std::size_t cap) : next_(next), cap_(cap) {}
  void write(std::string_view text) override {
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

IoError too_large_error(const std::filesystem::path& clip, std::size_t cap) {
  return {clip.string() + ": track too large, not written",
          "more than " + std::to_string(cap >> 20) + " MiB of track text; no real clip holds that many records"};
}

IoError changed_while_read(const std::filesystem::path& clip, const char* detail) {
  return {clip.string() + ": changed or removed while it was read", detail};
}

constexpr const char* kGps0Label = "gps0/gsen records";

bool writes_fixes(const formats::Probe& probe) {
  return probe.verdict == formats::Verdict::family || probe.verdict == formats::Verdict::encrypted;
}

// The whole clip through a map; a family other than today's layouts, or the
// clip's sidecars, write their fixes (an enciphered clip none: it is never
// read as another layout).
bool scan_whole(const std::filesystem::path& clip, std::string_view fns, Form form, TextSink& sink, const LogSink& log,
                ExtractResult& result) {
  IoError& error = result.error;
  std::optional<MappedFile> mapped = MappedFile::open(clip, error);
  if (!mapped) return false;
  const ClipReading reading =
      form == Form::standard ? with_sidecars(clip, formats::probe_clip(mapped->bytes())) : ClipReading{};
  const formats::Probe& probe = reading.probe;
  result.family = form == Form::standard ? family_label(probe) : kGps0Label;
  if (writes_fixes(probe))
    sink.write(formats::fixes_as_freegps_text(fns, probe.decoded.fixes));
  else
    extract_text(mapped->bytes(), fns, form, sink, log);
  if (!mapped->intact()) {
    error = changed_while_read(clip, "SIGBUS on the mapped clip");
    return false;
  }
  return true;
}

void write_fixes(const formats::Probe& probe, std::string_view fns, TextSink& sink, std::string& family) {
  family = family_label(probe);
  sink.write(formats::fixes_as_freegps_text(fns, probe.decoded.fixes));
}

// The family the clip's structure names, read from the parts it points at, or
// its sidecars when the structure shows the clip needs no search; false, with
// nothing written, when the structure leaves it to a whole read.
bool write_without_search(container::ByteSource& source, const std::filesystem::path& clip, std::string_view fns,
                          TextSink& sink, std::string& family) {
  const formats::Probe probe = formats::probe_clip(source);
  if (writes_fixes(probe)) {
    write_fixes(probe, fns, sink, family);
    return true;
  }
  const std::optional<ClipReading> beside = sidecars_instead_of_search(source, clip, probe);
  if (beside) write_fixes(beside->probe, fns, sink, family);
  return beside.has_value();
}

// Today's located read, then the structure's family or the sidecars, then the whole file.
bool read_clip(FileSource& source, const std::filesystem::path& clip, std::string_view fns, Form form, ReadMode mode,
               TextSink& sink, const LogSink& log, ExtractResult& result) {
  const bool located = mode == ReadMode::located;
  const LocatedOutcome outcome =
      located ? container::extract_located(source, fns, form, sink, log) : LocatedOutcome::fall_back;
  if (outcome == LocatedOutcome::read_failed) {
    result.error = changed_while_read(clip, "a positioned read failed");
    return false;
  }
  if (container::is_written(outcome)) {
    result.family = outcome == LocatedOutcome::written_boxes ? "freeGPS boxes" : kGps0Label;
    return true;
  }
  if (located && form == Form::standard && write_without_search(source, clip, fns, sink, result.family)) return true;
  return scan_whole(clip, fns, form, sink, log, result);
}

}  // namespace

ExtractResult extract_clip(const std::filesystem::path& clip, const std::filesystem::path& home,
                           std::string_view savepath, std::string_view fns, Form form, const LogSink& log,
                           Cancellation* cancellation, ReadMode mode, std::size_t max_bytes,
                           base::FolderSyncs* folder_syncs, std::span<const RecordBeside> beside) {
  ExtractResult result;
  result.track_path = std::filesystem::path(home.string() + std::string(savepath));
  if (!is_track_file_path(savepath)) {
    result.error = {clip.string() + ": not a clip name (.MOV), so it has no track file",
                    "refused " + std::string(savepath)};
    return result;
  }
  if (cancellation != nullptr && cancellation->cancelled()) {
    result.cancelled = true;
    return result;
  }
  const std::unique_ptr<FileSource> source = FileSource::open(clip, result.error);
  if (!source) return result;
  std::optional<base::PendingFile> file =
      base::PendingFile::create(result.track_path, base::PublishMode::Replace, result.error);
  if (!file) return result;
  PendingTrackFile sink(*file);
  CappedSink capped(sink, max_bytes);
  if (!read_clip(*source, clip, fns, form, mode, capped, log, result)) return result;  // the temporary goes with `file`
  if (capped.overflowed()) {
    result.too_large = true;
    result.error = too_large_error(clip, max_bytes);
    return result;
  }
  // The track and its records share one folder sync.
  base::FolderSyncs own_syncs;
  std::vector<base::PendingFile> files = track_and_records(std::move(*file), result, beside, log);
  publish_unless_cancelled(files, cancellation, result, folder_syncs != nullptr ? *folder_syncs : own_syncs, log);
  own_syncs.sync();
  return result;
}

}  // namespace vek::track::io
