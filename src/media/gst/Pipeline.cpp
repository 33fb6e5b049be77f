#include "media/gst/Pipeline.h"

#include <gst/app/gstappsink.h>

namespace vek::media {

Pipeline Pipeline::parse(const char* description, std::string& error) {
  GError* raw_error = nullptr;
  GstElement* element = gst_parse_launch_full(description, nullptr, GST_PARSE_FLAG_FATAL_ERRORS, &raw_error);
  const base::GErrorPtr parse_error(raw_error);
  auto owned = base::adopt_sunk(element);
  if (parse_error != nullptr || owned == nullptr) {
    error = parse_error != nullptr ? parse_error->message : "cannot build the pipeline";
    return Pipeline();
  }
  return Pipeline(std::move(owned));
}

Pipeline& Pipeline::operator=(Pipeline&& other) noexcept {
  if (this != &other) {
    shut_down();
    element_ = std::move(other.element_);
  }
  return *this;
}

void Pipeline::shut_down() noexcept {
  if (element_ != nullptr) {
    gst_element_set_state(element_.get(), GST_STATE_NULL);
    element_.reset();
  }
}

base::ElementPtr Pipeline::child(const char* name) const {
  return base::ElementPtr(gst_bin_get_by_name(GST_BIN(element_.get()), name));
}

base::MessagePtr Pipeline::wait(GstMessageType types, GstClockTime timeout) const {
  const base::BusPtr bus(gst_element_get_bus(element_.get()));
  const auto wanted = static_cast<GstMessageType>(types | GST_MESSAGE_ERROR);
  return base::MessagePtr(gst_bus_timed_pop_filtered(bus.get(), timeout, wanted));
}

base::SamplePtr pull_sample(const Pipeline& pipeline, const char* sink, GstClockTime timeout, std::string& error) {
  const base::ElementPtr appsink = pipeline.child(sink);
  base::SamplePtr sample(gst_app_sink_try_pull_sample(GST_APP_SINK(appsink.get()), timeout));
  if (sample == nullptr) {
    const base::MessagePtr failure = pipeline.wait(GST_MESSAGE_ERROR, 0);
    error = failure != nullptr                                 ? failure_text(failure.get())
            : gst_app_sink_is_eos(GST_APP_SINK(appsink.get())) ? "no output"
                                                               : "timed out";
  }
  return sample;
}

std::string failure_text(GstMessage* message) {
  if (message == nullptr) {
    return "timed out";
  }
  if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_ERROR) {
    return std::string("unexpected ") + GST_MESSAGE_TYPE_NAME(message);
  }
  GError* raw_error = nullptr;
  gchar* raw_debug = nullptr;
  gst_message_parse_error(message, &raw_error, &raw_debug);
  const base::GErrorPtr error(raw_error);
  const base::GCharPtr debug(raw_debug);
  std::string text = error != nullptr ? error->message : "error";
  if (debug != nullptr) {
    text += std::string(" (") + debug.get() + ")";
  }
  return text;
}

bool is_error(const base::MessagePtr& message) {
  return message != nullptr && GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR;
}

}  // namespace vek::media
