#pragma once
// Prints the profile probe's report (probes/profile-probe.js): the page's
// functions by their longest call, the longest outermost calls, and what
// ran in each of the spans the bench handed it (long tasks or long frames).

#include "support/Json.h"

namespace vek::bench {

// `spans` names what the report's gaps are, e.g. "page tasks" or "intake frames".
void print_page_profile(const test::Json& report, const char* spans);

}  // namespace vek::bench
