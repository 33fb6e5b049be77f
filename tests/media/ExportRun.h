#pragma once
// Runs one export with options to its outcome on the test's main loop.

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <vector>

#include "MediaTestSupport.h"
#include "media/core/MediaPorts.h"

namespace vek::media::testing {

constexpr std::chrono::seconds kExportTimeout{300};  // seconds of 1080p with sanitizers on a shared machine

struct ExportOutcome {
  std::mutex lock;
  std::vector<ExportStatus> statuses;
  int progress_calls = 0;  // main thread only
  bool done() {
    const std::lock_guard guard(lock);
    return !statuses.empty();
  }
};

// The export's status; with `cancel_on_progress` the export is cancelled as
// soon as it reports progress.
inline ExportStatus run_export(Exporter& exporter, ExportRequest request, bool cancel_on_progress = false) {
  ExportOutcome outcome;
  exporter.start_export(
      std::move(request),
      [&outcome, &exporter, cancel_on_progress](int /*percent*/) {
        ++outcome.progress_calls;
        if (cancel_on_progress) {
          exporter.cancel_exports();
        }
      },
      [&outcome](ExportStatus status) {
        const std::lock_guard guard(outcome.lock);
        outcome.statuses.push_back(status);
      });
  EXPECT_TRUE(iterate_main_until([&outcome] { return outcome.done(); }, kExportTimeout));
  iterate_main_for(std::chrono::milliseconds(50));
  const std::lock_guard guard(outcome.lock);
  EXPECT_EQ(outcome.statuses.size(), 1U);
  return outcome.statuses.empty() ? ExportStatus::Failed : outcome.statuses.front();
}

}  // namespace vek::media::testing
