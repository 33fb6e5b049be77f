#include "media/gst/SoundPlacement.h"

#include <cmath>
#include <optional>

#include "base/glib/CallbackGuard.h"
#include "base/glib/GstHandles.h"
#include "media/core/SoundFrameFit.h"
#include "media/gst/TimeSegment.h"

namespace vek::media {
namespace {

struct SoundState {
  explicit SoundState(const SoundSpan& placed)
      : span(placed), silence(placed.silence != nullptr ? gst_buffer_ref(placed.silence) : nullptr) {}
  SoundSpan span;
  base::BufferPtr silence;
  bool filling = false;   // the probe's own frames of silence pass through it
  GstSegment original{};  // the demuxer's, to read the clip's stream times
  bool have_segment = false;
  int rate = 0;
  std::optional<SoundFrameFit> fit;  // from the first frame on, which tells the frame length
};

int caps_rate(GstEvent* event) {
  GstCaps* caps = nullptr;
  gst_event_parse_caps(event, &caps);
  int rate = 0;
  if (caps != nullptr && gst_caps_get_size(caps) > 0) {
    gst_structure_get_int(gst_caps_get_structure(caps, 0), "rate", &rate);
  }
  return rate;
}

// The segment's own timeline: buffers are timed from 0 at its first slot.
GstEvent* slot_segment(const GstSegment& original) {
  GstSegment segment;
  gst_segment_init(&segment, GST_FORMAT_TIME);
  segment.rate = original.rate;
  segment.applied_rate = original.applied_rate;
  return gst_event_new_segment(&segment);
}

GstBuffer* stamped(GstBuffer* buffer, const SoundFrameFit::Slot& slot) {
  buffer = gst_buffer_make_writable(buffer);
  GST_BUFFER_PTS(buffer) = slot.pts;
  GST_BUFFER_DTS(buffer) = slot.pts;
  GST_BUFFER_DURATION(buffer) = slot.duration;
  return buffer;
}

// Hands silence for each slot `next` gives to the pad's peer, ahead of what
// the pad carries now. Straight to the peer: at the end of stream the pad
// itself already refuses buffers.
template <typename NextSlot>
void push_silence(GstPad* pad, SoundState& state, NextSlot next) {
  const base::PadPtr peer(gst_pad_get_peer(pad));
  if (state.silence == nullptr || !state.fit || peer == nullptr) {
    return;
  }
  while (const std::optional<SoundFrameFit::Slot> slot = next(*state.fit)) {
    if (gst_pad_chain(peer.get(), stamped(gst_buffer_copy(state.silence.get()), *slot)) != GST_FLOW_OK) {
      break;
    }
  }
}

GstPadProbeReturn on_event(GstPad* pad, GstPadProbeInfo* info, SoundState& state) {
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (event != nullptr && GST_EVENT_TYPE(event) == GST_EVENT_CAPS) {
    state.rate = caps_rate(event);
  }
  if (event != nullptr && GST_EVENT_TYPE(event) == GST_EVENT_EOS) {
    push_silence(pad, state, [](SoundFrameFit& fit) { return fit.empty_slot(); });
  }
  const GstSegment* original = time_segment(event);
  if (original == nullptr) {
    return GST_PAD_PROBE_OK;
  }
  gst_segment_copy_into(original, &state.original);
  state.have_segment = true;
  GST_PAD_PROBE_INFO_DATA(info) = slot_segment(*original);
  gst_event_unref(event);
  return GST_PAD_PROBE_OK;
}

// Where the buffer's sound belongs in the export, in nanoseconds (negative before its start).
std::int64_t desired_time(const SoundState& state, GstClockTime pts) {
  guint64 stream = 0;
  const int sign = gst_segment_to_stream_time_full(&state.original, GST_FORMAT_TIME, pts, &stream);
  const auto clip_time = sign < 0 ? -static_cast<std::int64_t>(stream) : static_cast<std::int64_t>(stream);
  return static_cast<std::int64_t>(state.span.export_start) + clip_time -
         static_cast<std::int64_t>(state.span.clip_start);
}

GstPadProbeReturn on_buffer(GstPad* pad, GstPadProbeInfo* info, SoundState& state) {
  GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (!state.have_segment || state.rate <= 0 || !GST_BUFFER_PTS_IS_VALID(buffer) ||
      !GST_BUFFER_DURATION_IS_VALID(buffer)) {
    return GST_PAD_PROBE_DROP;  // untimed sound cannot be placed; the rest of the stream still is
  }
  if (!state.fit) {
    const double samples = static_cast<double>(GST_BUFFER_DURATION(buffer)) * state.rate / GST_SECOND;
    state.fit.emplace(state.span.export_start, state.span.export_end, static_cast<int>(std::lround(samples)),
                      state.rate);
  }
  const std::int64_t desired = desired_time(state, GST_BUFFER_PTS(buffer));
  push_silence(pad, state, [desired](SoundFrameFit& fit) { return fit.empty_slot_before(desired); });
  const std::optional<SoundFrameFit::Slot> slot = state.fit->place(desired);
  if (!slot) {
    return GST_PAD_PROBE_DROP;
  }
  GST_PAD_PROBE_INFO_DATA(info) = stamped(buffer, *slot);
  return GST_PAD_PROBE_OK;
}

GstPadProbeReturn on_sound(GstPad* pad, GstPadProbeInfo* info, gpointer data) noexcept {
  GstPadProbeReturn result = GST_PAD_PROBE_OK;
  base::guarded("sound placement", [&] {
    auto& state = *static_cast<SoundState*>(data);
    result = (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) != 0 ? on_buffer(pad, info, state)
                                                                              : on_event(pad, info, state);
  });
  return result;
}

void free_state(gpointer data) noexcept {
  delete static_cast<SoundState*>(data);
}

}  // namespace

void place_sound(GstPad* parsed, const SoundSpan& span) {
  gst_pad_add_probe(parsed,
                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                    on_sound, new SoundState(span), free_state);
}

}  // namespace vek::media
