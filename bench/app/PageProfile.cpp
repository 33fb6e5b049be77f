#include "PageProfile.h"

#include <cstdio>
#include <string>

namespace vek::bench {
namespace {

std::string joined(const test::Json& texts) {
  std::string out;
  for (const auto& text : texts.array())
    out += (out.empty() ? "" : ", ") + text.string();
  return out.empty() ? "-" : out;
}

// Each span with the page's own calls in it (2 ms or more, longest first)
// and the events that came then; the rest of the span is the engine's own
// work: style, layout, painting, scripts of track files, media.
void print_spans(const test::Json& report, const char* spans) {
  if (report["gaps"].is_null()) return;
  std::printf("what ran in the longest %s (start ms+length ms: page calls' share; calls; events):\n", spans);
  for (const auto& gap : report["gaps"].array())
    std::printf("  %6.0f+%-5.0f %4.0f ms in calls; %s; %s\n", gap["at"].number(), gap["ms"].number(),
                gap["callMs"].number(), joined(gap["calls"]).c_str(), joined(gap["events"]).c_str());
}

}  // namespace

void print_page_profile(const test::Json& report, const char* spans) {
  std::printf("page functions by their longest call (calls, total ms, longest ms):\n");
  for (const auto& f : report["functions"].array())
    std::printf("  %-36s %6.0f %8.0f %6.0f\n", f["name"].string().c_str(), f["calls"].number(), f["totalMs"].number(),
                f["maxMs"].number());
  std::printf("the longest outermost calls of 30 ms or more (start ms, name, ms):\n");
  for (const auto& c : report["longCalls"].array())
    std::printf("  %8.0f %-36s %5.0f\n", c["at"].number(), c["name"].string().c_str(), c["ms"].number());
  print_spans(report, spans);
}

}  // namespace vek::bench
