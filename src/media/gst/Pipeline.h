#pragma once
// A GStreamer pipeline built from a launch description, owned for one piece
// of work and shut down (state NULL) before it is released.

#include <gst/gst.h>

#include <string>

#include "base/glib/GstHandles.h"

namespace vek::media {

class Pipeline {
 public:
  // Builds the pipeline; an empty Pipeline (and `error`) when an element is
  // missing or the description does not parse.
  static Pipeline parse(const char* description, std::string& error);
  // Owns `element`, which may be a floating reference.
  static Pipeline adopt(GstElement* element) { return Pipeline(base::adopt_sunk(element)); }

  Pipeline() = default;
  Pipeline(Pipeline&&) noexcept = default;
  // Shuts down the pipeline held so far.
  Pipeline& operator=(Pipeline&& other) noexcept;
  ~Pipeline() { shut_down(); }

  // Stops the pipeline (state NULL, files closed) and releases it.
  void shut_down() noexcept;

  explicit operator bool() const { return element_ != nullptr; }
  GstElement* get() const { return element_.get(); }
  // The named element inside the pipeline, or null.
  base::ElementPtr child(const char* name) const;
  // Waits up to `timeout` for a message of `types`, errors always included;
  // null on timeout.
  base::MessagePtr wait(GstMessageType types, GstClockTime timeout) const;

 private:
  explicit Pipeline(base::ElementPtr element) : element_(std::move(element)) {}
  base::ElementPtr element_;
};

// Pulls the next sample from the appsink named `sink`, waiting up to
// `timeout`; null (and `error`) on an error, end of stream or timeout. An
// appsink holds back end of stream until its samples are pulled, so pull
// before waiting for the end.
base::SamplePtr pull_sample(const Pipeline& pipeline, const char* sink, GstClockTime timeout, std::string& error);

// The text of an error message, its debug detail appended; "timed out" for
// null and a neutral text for other message types.
std::string failure_text(GstMessage* message);

// True for an error message (a failure to report).
bool is_error(const base::MessagePtr& message);

}  // namespace vek::media
