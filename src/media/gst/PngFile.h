#pragma once
// Writes a decoded picture as a PNG file.

#include <gst/gst.h>

#include <filesystem>
#include <string>

namespace vek::media {

struct PictureSize {
  int width = 0;
  int height = 0;
};

// The pixel size of a raw video sample; zeros when its caps do not say.
PictureSize picture_size(GstSample* raw);

// Encodes the raw RGB `sample` as PNG and writes it to `path` atomically,
// replacing a file of that name. An empty text on success, else the reason;
// on failure nothing is left at `path` that was not there before.
std::string write_png(GstSample* raw, const std::filesystem::path& path);

}  // namespace vek::media
