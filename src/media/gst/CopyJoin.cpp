#include "media/gst/CopyJoin.h"

#include <gst/pbutils/pbutils.h>

#include <algorithm>
#include <cmath>

#include "base/glib/CallbackGuard.h"
#include "media/gst/ExportTimeline.h"
#include "media/gst/Pipeline.h"
#include "media/gst/RenderLoop.h"
#include "media/gst/SilentFrame.h"
#include "media/gst/SoundPlacement.h"
#include "media/gst/TimeSegment.h"

namespace vek::media {
namespace {

constexpr GstClockTime kScanTimeout = 30 * GST_SECOND;  // a whole clip's index read from disk

// The first stream of a kind: its caps, or null.
base::CapsPtr first_stream_caps(GESUriClipAsset* asset, bool video) {
  GstDiscovererInfo* info = ges_uri_clip_asset_get_info(asset);
  if (info == nullptr) {
    return nullptr;
  }
  GList* streams = video ? gst_discoverer_info_get_video_streams(info) : gst_discoverer_info_get_audio_streams(info);
  base::CapsPtr caps(streams != nullptr ? gst_discoverer_stream_info_get_caps(GST_DISCOVERER_STREAM_INFO(streams->data))
                                        : nullptr);
  gst_discoverer_stream_info_list_free(streams);
  return caps;
}

std::string field_text(const GstStructure* structure, const char* field) {
  const GValue* value = gst_structure_get_value(structure, field);
  if (value == nullptr) {
    return "-";
  }
  const base::GCharPtr text(gst_value_serialize(value));
  return text ? text.get() : "-";
}

// What must match for a copy: codec, frame size and rate; audio codec, rate and channels.
std::string stream_signature(GESUriClipAsset* asset) {
  std::string signature;
  const base::CapsPtr video = first_stream_caps(asset, true);
  if (video && gst_caps_get_size(video.get()) > 0) {
    const GstStructure* s = gst_caps_get_structure(video.get(), 0);
    signature += std::string(gst_structure_get_name(s)) + " " + field_text(s, "width") + "x" + field_text(s, "height") +
                 " at " + field_text(s, "framerate") + " fps";
  } else {
    signature += "no picture";
  }
  const base::CapsPtr audio = first_stream_caps(asset, false);
  if (audio && gst_caps_get_size(audio.get()) > 0) {
    const GstStructure* s = gst_caps_get_structure(audio.get(), 0);
    signature += ", sound " + std::string(gst_structure_get_name(s)) + " " + field_text(s, "mpegversion") + " " +
                 field_text(s, "rate") + " Hz " + field_text(s, "channels") + " ch";
  } else {
    signature += ", no sound";
  }
  return signature;
}

// The stream time of a buffer time: a demuxer shifts buffer times (by the
// reorder delay of B-frames, as an edit list says) against the clip's own time.
GstClockTime stream_time_of(GstPad* pad, GstClockTime pts) {
  GstEvent* event = gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0);
  if (event == nullptr) {
    return pts;
  }
  const GstSegment* segment = nullptr;
  gst_event_parse_segment(event, &segment);
  const GstClockTime stream = segment->format == GST_FORMAT_TIME
                                  ? gst_segment_to_stream_time(segment, GST_FORMAT_TIME, pts)
                                  : GST_CLOCK_TIME_NONE;
  gst_event_unref(event);
  return stream;
}

GstPadProbeReturn collect_key_frame(GstPad* pad, GstPadProbeInfo* info, gpointer data) noexcept {
  const GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
  if (buffer != nullptr && GST_BUFFER_PTS_IS_VALID(buffer) &&
      !GST_BUFFER_FLAG_IS_SET(buffer, GST_BUFFER_FLAG_DELTA_UNIT)) {
    base::guarded("key frame scan", [&] {
      const GstClockTime at = stream_time_of(pad, GST_BUFFER_PTS(buffer));
      if (GST_CLOCK_TIME_IS_VALID(at)) {
        static_cast<std::vector<double>*>(data)->push_back(static_cast<double>(at) / GST_SECOND);
      }
    });
  }
  return GST_PAD_PROBE_OK;
}

// A trimmed segment's stretch of one stream: the clip's stream time from
// `start` to `end` (the time key frames and the page count in), and the
// same stretch in buffer times once the stream's segment tells the shift.
struct Cut {
  GstClockTime start;
  GstClockTime end;
  GstClockTime first_pts = 0;
  GstClockTime end_pts = GST_CLOCK_TIME_NONE;
};

// The buffer time of stream time `stream` in `segment` (rate 1, as a demuxer's).
GstClockTime buffer_time(const GstSegment& segment, GstClockTime stream) {
  if (stream >= segment.time) {
    return segment.start + (stream - segment.time);
  }
  return segment.start > segment.time - stream ? segment.start - (segment.time - stream) : 0;
}

GstEvent* moved_segment(const GstSegment& original, Cut& cut) {
  cut.first_pts = buffer_time(original, cut.start);
  cut.end_pts = buffer_time(original, cut.end);
  GstSegment moved;
  gst_segment_copy_into(&original, &moved);
  moved.start = std::max(moved.start, cut.first_pts);
  moved.time = original.time + (moved.start - original.start);
  moved.position = moved.start;
  moved.stop = cut.end_pts;
  return gst_event_new_segment(&moved);
}

GstPadProbeReturn cut_stream(GstPad* /*pad*/, GstPadProbeInfo* info, gpointer data) noexcept {
  auto& cut = *static_cast<Cut*>(data);
  if ((GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) != 0) {
    const GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    const bool outside = GST_BUFFER_PTS_IS_VALID(buffer) &&
                         (GST_BUFFER_PTS(buffer) < cut.first_pts || GST_BUFFER_PTS(buffer) >= cut.end_pts);
    return outside ? GST_PAD_PROBE_DROP : GST_PAD_PROBE_OK;
  }
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  const GstSegment* original = time_segment(event);
  if (original == nullptr) {
    return GST_PAD_PROBE_OK;
  }
  GST_PAD_PROBE_INFO_DATA(info) = moved_segment(*original, cut);
  gst_event_unref(event);
  return GST_PAD_PROBE_OK;
}

void free_cut(gpointer data) noexcept {
  delete static_cast<Cut*>(data);
}

// One segment's branch: its file, demuxer and parsers, fed into the concats.
struct Branch {
  GstElement* video_parser = nullptr;
  GstElement* audio_parser = nullptr;
};

void link_demuxed(GstElement* /*demux*/, GstPad* pad, gpointer data) noexcept {
  base::guarded("copy join", [pad, data] {
    const auto* branch = static_cast<const Branch*>(data);
    const base::CapsPtr caps(gst_pad_get_current_caps(pad));
    const char* name =
        caps && gst_caps_get_size(caps.get()) > 0 ? gst_structure_get_name(gst_caps_get_structure(caps.get(), 0)) : "";
    GstElement* parser = g_str_has_prefix(name, "video/")   ? branch->video_parser
                         : g_str_has_prefix(name, "audio/") ? branch->audio_parser
                                                            : nullptr;
    if (parser != nullptr) {
      const base::PadPtr sink(gst_element_get_static_pad(parser, "sink"));
      gst_pad_link(pad, sink.get());
    }
  });
}

void free_branch(gpointer data, GClosure* /*closure*/) noexcept {
  delete static_cast<Branch*>(data);
}

GstElement* make(const char* factory) {
  return gst_element_factory_make(factory, nullptr);
}

// parser ! queue ! the next sink pad of `concat`; the parser, or null.
GstElement* add_stream(GstElement* pipeline, GstElement* concat, const char* parser_factory) {
  GstElement* parser = make(parser_factory);
  GstElement* queue = make("queue");
  if (parser == nullptr || queue == nullptr) {
    return nullptr;
  }
  gst_bin_add_many(GST_BIN(pipeline), parser, queue, nullptr);
  const base::PadPtr concat_pad(gst_element_request_pad_simple(concat, "sink_%u"));
  const base::PadPtr queue_src(gst_element_get_static_pad(queue, "src"));
  if (!gst_element_link(parser, queue) || gst_pad_link(queue_src.get(), concat_pad.get()) != GST_PAD_LINK_OK) {
    return nullptr;
  }
  return parser;
}

// The segment's picture, trimmed by `cut` unless it is the whole clip.
GstElement* add_picture(GstElement* pipeline, GstElement* concat, std::optional<Cut> cut) {
  GstElement* parser = add_stream(pipeline, concat, "h264parse");
  if (parser != nullptr && cut) {
    const base::PadPtr parsed(gst_element_get_static_pad(parser, "src"));
    gst_pad_add_probe(parsed.get(),
                      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                      cut_stream, new Cut(*cut), free_cut);
  }
  return parser;
}

// The segment's sound, laid where its picture lies in the export.
GstElement* add_sound(GstElement* pipeline, GstElement* concat, const SoundSpan& span) {
  GstElement* parser = add_stream(pipeline, concat, "aacparse");
  if (parser != nullptr) {
    const base::PadPtr parsed(gst_element_get_static_pad(parser, "src"));
    place_sound(parsed.get(), span);
  }
  return parser;
}

}  // namespace

std::vector<double> key_frame_times(const std::filesystem::path& clip, const std::atomic<bool>& cancelled) {
  std::string error;
  const Pipeline scan =
      Pipeline::parse("filesrc name=src ! qtdemux name=demux demux.video_0 ! fakesink name=sink sync=false", error);
  std::vector<double> keys;
  if (!scan || cancelled.load()) {
    return keys;
  }
  g_object_set(scan.child("src").get(), "location", clip.c_str(), nullptr);
  const base::PadPtr sink(gst_element_get_static_pad(scan.child("sink").get(), "sink"));
  gst_pad_add_probe(sink.get(), GST_PAD_PROBE_TYPE_BUFFER, collect_key_frame, &keys, nullptr);
  gst_element_set_state(scan.get(), GST_STATE_PLAYING);
  const base::MessagePtr end = scan.wait(GST_MESSAGE_EOS, kScanTimeout);
  gst_element_set_state(scan.get(), GST_STATE_NULL);
  if (!end || is_error(end)) {
    keys.clear();
  }
  std::sort(keys.begin(), keys.end());
  return keys;
}

std::optional<std::string> copy_mismatch(const std::vector<AssetPtr>& assets,
                                         const std::vector<drive::Segment>& segments) {
  std::optional<std::string> first;
  for (const drive::Segment& segment : segments) {
    const std::string signature = stream_signature(assets[segment.clip].get());
    if (signature.rfind("video/x-h264", 0) != 0) {
      return "not H.264: " + signature;
    }
    if (!first) {
      first = signature;
    } else if (*first != signature) {
      return *first + " against " + signature;
    }
  }
  return std::nullopt;
}

}  // namespace vek::media

namespace vek::media {
namespace {

std::optional<Cut> cut_of(const drive::Segment& segment, double clip_duration) {
  const GstClockTime start = to_clock_time(segment.inpoint);
  const GstClockTime end = to_clock_time(segment.inpoint + segment.duration);
  if (start == 0 && segment.inpoint + segment.duration >= clip_duration) {
    return std::nullopt;
  }
  return Cut{start, end};
}

// Where the segment's sound goes: its picture's stretch of the export.
SoundSpan sound_span(const std::vector<drive::Segment>& segments, std::size_t index, GstBuffer* silence) {
  const drive::Segment& segment = segments[index];
  const double end = index + 1 < segments.size() ? segments[index + 1].offset : segment.offset + segment.duration;
  return {to_clock_time(segment.inpoint), to_clock_time(segment.offset), to_clock_time(end), silence};
}

struct BranchPlan {
  std::string clip;
  std::optional<Cut> cut;
  SoundSpan sound;
};

// filesrc ! qtdemux, its streams to the concats; false when an element is missing.
bool add_branch(GstElement* pipeline, GstElement* video_concat, GstElement* audio_concat, const BranchPlan& plan) {
  GstElement* source = make("filesrc");
  GstElement* demux = make("qtdemux");
  if (source == nullptr || demux == nullptr) {
    return false;
  }
  g_object_set(source, "location", plan.clip.c_str(), nullptr);
  gst_bin_add_many(GST_BIN(pipeline), source, demux, nullptr);
  auto* branch = new Branch{add_picture(pipeline, video_concat, plan.cut), nullptr};
  g_signal_connect_data(demux, "pad-added", G_CALLBACK(link_demuxed), branch, free_branch, GConnectFlags{});
  if (audio_concat != nullptr) {
    branch->audio_parser = add_sound(pipeline, audio_concat, plan.sound);
  }
  return gst_element_link(source, demux) && branch->video_parser != nullptr &&
         (audio_concat == nullptr || branch->audio_parser != nullptr);
}

// Every segment's branch; false when one cannot be set up.
bool add_branches(GstElement* pipeline, GstElement* video_concat, GstElement* audio_concat,
                  const std::vector<AssetPtr>& assets, const std::vector<drive::Segment>& segments,
                  GstBuffer* silence) {
  const std::vector<double> durations = asset_durations(assets);
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const drive::Segment& segment = segments[i];
    const base::GCharPtr path(
        g_filename_from_uri(ges_asset_get_id(GES_ASSET(assets[segment.clip].get())), nullptr, nullptr));
    if (path == nullptr ||
        !add_branch(pipeline, video_concat, audio_concat,
                    {path.get(), cut_of(segment, durations[segment.clip]), sound_span(segments, i, silence)})) {
      return false;
    }
  }
  return true;
}

// concat (video) and, with sound, concat (audio) ! qtmux ! filesink
Pipeline make_copy_pipeline(const std::vector<AssetPtr>& assets, const std::vector<drive::Segment>& segments,
                            const std::filesystem::path& file, const GstCaps* sound) {
  const bool with_audio = sound != nullptr;
  Pipeline pipeline = Pipeline::adopt(gst_pipeline_new("copy-join"));
  GstElement* video_concat = make("concat");
  GstElement* audio_concat = with_audio ? make("concat") : nullptr;
  GstElement* mux = make("qtmux");
  GstElement* sink = make("filesink");
  if (video_concat == nullptr || (with_audio && audio_concat == nullptr) || mux == nullptr || sink == nullptr) {
    return Pipeline();
  }
  g_object_set(sink, "location", file.c_str(), nullptr);
  gst_bin_add_many(GST_BIN(pipeline.get()), video_concat, mux, sink, nullptr);
  bool linked = gst_element_link(mux, sink) && gst_element_link_pads(video_concat, "src", mux, "video_%u");
  if (audio_concat != nullptr) {
    gst_bin_add(GST_BIN(pipeline.get()), audio_concat);
    linked = linked && gst_element_link_pads(audio_concat, "src", mux, "audio_%u");
  }
  const base::BufferPtr silence = with_audio ? silent_aac_frame(sound) : nullptr;
  linked = linked && add_branches(pipeline.get(), video_concat, audio_concat, assets, segments, silence.get());
  return linked ? std::move(pipeline) : Pipeline();
}

}  // namespace

ExportStatus render_copy(const std::vector<AssetPtr>& assets, const std::vector<drive::Segment>& segments,
                         const std::filesystem::path& file, GMainContext* context, const std::atomic<bool>& cancelled,
                         const ProgressRelay& progress) {
  const base::CapsPtr sound = first_stream_caps(assets[segments.front().clip].get(), false);
  Pipeline pipeline = make_copy_pipeline(assets, segments, file, sound.get());
  if (!pipeline) {
    g_warning("export: the join cannot be set up (qtdemux, h264parse, aacparse, concat, qtmux)");
    return ExportStatus::Failed;
  }
  const ExportStatus status =
      run_render(pipeline, context, to_clock_time(drive::total_duration(segments)), cancelled, progress);
  pipeline.shut_down();
  return status;
}

}  // namespace vek::media
