// Fuzz target: the command channel over arbitrary navigation texts. The page
// puts clip paths from the user's disk into these URLs, so names with any
// bytes reach the dispatcher, the argument readers and the percent decoding;
// every value sent back to the page must stay one closed string literal.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/text/JsLiteral.h"
#include "bridge/CommandArguments.h"
#include "bridge/CommandDispatch.h"
#include "bridge/PercentDecode.h"
#include "bridge/RouteRequest.h"

namespace {

// A closed single-quoted literal: no quote or line break ends it early.
bool is_closed_literal(const std::string& literal) {
  if (literal.size() < 2 || literal.front() != '\'' || literal.back() != '\'') {
    return false;
  }
  for (std::size_t at = 1; at + 1 < literal.size(); ++at) {
    const char c = literal[at];
    if (c == '\\') {
      ++at;
    } else if (c == '\'' || c == '\n' || c == '\r') {
      return false;
    }
  }
  return true;
}

void check_literal(std::string_view text) {
  if (!is_closed_literal(vek::base::js_string_literal(text))) {
    std::abort();
  }
}

void read_every_argument(const vek::bridge::DispatchPlan& plan) {
  for (const std::string& element : vek::bridge::removal_elements(plan.text)) {
    check_literal(element);
  }
  if (vek::bridge::check_candidates(plan.text).size() > vek::bridge::kMaxCandidates) {
    std::abort();
  }
  for (const std::string& piece : vek::bridge::merger_pieces(plan.text)) {
    check_literal(piece);
  }
  if (const auto photo = vek::bridge::photo_request(plan.text)) {
    check_literal(photo->clip_url);
  }
  check_literal(vek::bridge::settings_text(plan.text));
  if (const auto card = vek::bridge::card_offer_id(plan.text); card && *card <= 0) {
    std::abort();  // offers are numbered from 1
  }
  if (const auto route = vek::bridge::route_request(plan.text)) {
    if (route->clips.empty() || route->clips.size() > vek::bridge::kMaxRouteClips ||
        !(route->gap_seconds >= 0 && route->gap_seconds <= vek::bridge::kMaxRouteGapSeconds)) {
      std::abort();
    }
    for (const std::string& clip : route->clips) {
      check_literal(clip);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view url(reinterpret_cast<const char*>(data), size);
  if (vek::bridge::percent_decode(url).size() > url.size()) {
    std::abort();
  }
  read_every_argument(vek::bridge::dispatch(url));
  check_literal(url);
  return 0;
}
