#include "media/gst/GstScreenRecorder.h"

namespace vek::media {
namespace {

// The queue hands frames to the encoder's thread and drops the oldest when the
// encoder falls behind, so a slow machine loses frames rather than memory.
constexpr const char* kRecordPipeline =
    "ximagesrc use-damage=false show-pointer=true ! video/x-raw,framerate=30/1 ! "
    "queue leaky=downstream max-size-buffers=8 max-size-bytes=0 max-size-time=0 ! videoconvert ! "
    "video/x-raw,format=I420 ! x264enc name=encoder tune=zerolatency speed-preset=ultrafast ! qtmux ! "
    "filesink name=sink";
// End of stream passes the zero-latency encoder and the index is written in
// well under a second; past this the file is given up.
constexpr GstClockTime kFinishTimeout = 5 * GST_SECOND;

GstPadProbeReturn note_frame(GstPad* /*pad*/, GstPadProbeInfo* /*info*/, gpointer data) noexcept {
  static_cast<std::atomic<bool>*>(data)->store(true);
  return GST_PAD_PROBE_OK;
}

}  // namespace

GstScreenRecorder::GstScreenRecorder() {
  std::string error;
  pipeline_ = Pipeline::parse(kRecordPipeline, error);
  if (!pipeline_) {
    g_warning("screen recording unavailable: %s", error.c_str());
    return;
  }
  const base::PadPtr encoded(gst_element_get_static_pad(pipeline_.child("encoder").get(), "src"));
  gst_pad_add_probe(encoded.get(), GST_PAD_PROBE_TYPE_BUFFER, note_frame, &frame_encoded_, nullptr);
}

GstScreenRecorder::~GstScreenRecorder() {
  stop();
}

void GstScreenRecorder::start(const std::filesystem::path& file) {
  stop();
  std::error_code exists_error;
  if (!pipeline_ || std::filesystem::exists(file, exists_error)) {
    g_warning("screen recording: cannot record into %s", file.c_str());
    return;
  }
  base::FileError error;
  pending_ = base::PendingFile::create(file, base::PublishMode::NoReplace, error);
  if (!pending_) {
    g_warning("screen recording: %s (%s)", error.message.c_str(), error.detail.c_str());
    return;
  }
  g_object_set(pipeline_.child("sink").get(), "location", pending_->temp_path().c_str(), nullptr);
  frame_encoded_.store(false);
  if (gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    g_warning("screen recording: %s", failure_text(pipeline_.wait(GST_MESSAGE_ERROR, 0).get()).c_str());
    gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
    pending_.reset();
    return;
  }
  state_ = State::Recording;
}

void GstScreenRecorder::stop() {
  if (state_ != State::Idle) {
    finish();
  }
}

bool GstScreenRecorder::toggle() {
  if (state_ == State::Paused) {
    gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
    state_ = State::Recording;
    return true;
  }
  if (state_ == State::Recording) {
    gst_element_set_state(pipeline_.get(), GST_STATE_PAUSED);
    state_ = State::Paused;
  }
  return false;
}

// Without end of stream the muxer never writes its index and the file does
// not play; the state must be PLAYING for the end of stream to flow. Stopped
// before its first frame, a recording is an empty movie that does not play
// either, and is dropped.
void GstScreenRecorder::finish() {
  gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
  gst_element_send_event(pipeline_.get(), gst_event_new_eos());
  const base::MessagePtr message = pipeline_.wait(GST_MESSAGE_EOS, kFinishTimeout);
  gst_element_set_state(pipeline_.get(), GST_STATE_NULL);
  state_ = State::Idle;
  base::FileError error;
  if (message == nullptr || is_error(message)) {
    g_warning("screen recording failed: %s", failure_text(message.get()).c_str());
  } else if (!frame_encoded_.load()) {
    g_warning("screen recording: stopped before its first frame, nothing kept");
  } else if (!pending_->publish(error)) {
    g_warning("screen recording: %s (%s)", error.message.c_str(), error.detail.c_str());
  }
  pending_.reset();
}

}  // namespace vek::media
