#include "track/Track.h"

#include "base/text/JsLiteral.h"
#include "track/Format.h"
#include "track/FreeGpsParser.h"
#include "track/Gps0Parser.h"
#include "track/GsensorParser.h"
#include "track/Search.h"
#include "track/TrackText.h"

namespace vek::track {
namespace {

using base::js_string_content;

constexpr std::uint64_t kBoxCounterStep = 8;  // the camera counts 8 per box in "data_rn"

void log_line(const LogSink& log, std::string_view line) {
  if (log) log(line);
}

void gps0_form(Bytes clip, std::uint64_t skipped, std::string_view fns, TextOut& out, const LogSink& log) {
  log_line(log, "新晶片解析_start");
  const std::string key = js_string_content(fns);
  append_gps0_header(out.text(), key);
  for_each_gps0_chunk(
      clip, log,
      [&](Gps0Chunk& chunk) {
        const GSensor gsensor = decode_gps0_gsensor(chunk);
        for (std::uint64_t k = 0; gps0_record_fits(chunk, k); ++k) {
          const Gps0Record record = decode_gps0_record(chunk.bytes, k * kGps0RecordSize, log);
          if (k >= kGps0SkippedRecords) append_gps0_statements(out.text(), key, record, gsensor);
        }
        out.spill_if_large();
      },
      skipped);
  out.finish();
}

void close_form(Bytes clip, std::uint64_t skipped, std::string_view fns, TextOut& out, const LogSink& log) {
  log_line(log, "新晶片解析_start");
  const std::string key = js_string_content(fns);
  append_gps0_header(out.text(), key);
  const GsensorSlots slots = splitData_new_XYZ(clip, skipped);
  std::string time_list;  // only the log reads it
  std::uint64_t number = 0;
  for_each_gps0_chunk(
      clip, log,
      [&](Gps0Chunk& chunk) {
        for (std::uint64_t k = 0; k < chunk.units; ++k) {
          const Gps0Record record = decode_gps0_record(chunk.bytes, k * kGps0RecordSize, log);
          ++number;
          if (k >= kGps0SkippedRecords) {
            append_close_statements(out.text(), key, record, slots.find(number));
            out.spill_if_large();
          }
          if (log) (time_list += gps0_time_base(record)) += ',';
        }
      },
      skipped);
  slots.log_pass(time_list, log);
  out.finish();
}

void boxes_form(std::string_view fns, const FreeGpsBoxes& boxes, TextOut& out, const LogSink& log) {
  const std::string key = js_string_content(fns);
  append_freegps_header(out.text(), key);
  const std::uint64_t count = boxes([&](const FreeGpsBox& box) {
    append_freegps_statements(out.text(), key, box);
    out.spill_if_large();
  });
  if (log) log(formatted("data_rn:%lu", static_cast<unsigned long>(count * kBoxCounterStep)));
  out.finish();
}

void freegps_form(Bytes clip, std::uint64_t skipped, std::string_view fns, TextOut& out, const LogSink& log) {
  const std::uint64_t first = first_freegps_marker(clip);
  if (first == NSNotFound) {
    if (log) {
      log(formatted("data_rn:%lu", 0UL));
      log("新晶片");
    }
    gps0_form(clip, skipped, fns, out, log);
    return;
  }
  boxes_form(
      fns, [&](const FreeGpsBoxVisitor& visit) { return scan_freegps(clip, first, visit); }, out, log);
}

template <typename Form>
std::string to_string(Bytes clip, std::string_view fns, const LogSink& log, Form form) {
  TextOut out;
  form(clip, 0, fns, out, log);
  return out.take();
}

template <typename Form>
void to_sink(Bytes clip, std::string_view fns, TextSink& sink, const LogSink& log, Form form) {
  TextOut out(&sink);
  form(clip, 0, fns, out, log);
}

}  // namespace

std::string splitData(Bytes clip, std::string_view fns, const LogSink& log) {
  return to_string(clip, fns, log, freegps_form);
}
std::string splitData_new(Bytes clip, std::string_view fns, const LogSink& log) {
  return to_string(clip, fns, log, gps0_form);
}
std::string splitData_new_close(Bytes clip, std::string_view fns, const LogSink& log) {
  return to_string(clip, fns, log, close_form);
}

void splitData(Bytes clip, std::string_view fns, TextSink& sink, const LogSink& log) {
  to_sink(clip, fns, sink, log, freegps_form);
}
void splitData_new(Bytes clip, std::string_view fns, TextSink& sink, const LogSink& log) {
  to_sink(clip, fns, sink, log, gps0_form);
}
void splitData_new_close(Bytes clip, std::string_view fns, TextSink& sink, const LogSink& log) {
  to_sink(clip, fns, sink, log, close_form);
}

std::string extract_text(Bytes clip, std::string_view fns, Form form, const LogSink& log) {
  return form == Form::close ? splitData_new_close(clip, fns, log) : splitData(clip, fns, log);
}

void extract_text(Bytes clip, std::string_view fns, Form form, TextSink& sink, const LogSink& log) {
  if (form == Form::close)
    splitData_new_close(clip, fns, sink, log);
  else
    splitData(clip, fns, sink, log);
}

void freegps_text(std::string_view fns, const FreeGpsBoxes& boxes, TextSink& sink, const LogSink& log) {
  TextOut out(&sink);
  boxes_form(fns, boxes, out, log);
}

void extract_tail_text(Bytes tail, std::uint64_t skipped, std::string_view fns, Form form, TextSink& sink,
                       const LogSink& log) {
  TextOut out(&sink);
  if (form == Form::close)
    close_form(tail, skipped, fns, out, log);
  else
    freegps_form(tail, skipped, fns, out, log);
}

}  // namespace vek::track
