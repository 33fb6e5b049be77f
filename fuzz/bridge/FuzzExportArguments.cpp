// Fuzz target: the export command's argument, "MODE;ELEMENTS;IN;OUT;PATHS".
// The page builds it from clip paths and player times, so any bytes reach the
// reader. Whatever it accepts must be bounded (known mode, finite points
// within a day), and must read back the same when written out again.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bridge/ExportArguments.h"

namespace {

using vek::bridge::ExportCommand;
using vek::bridge::ExportPoint;

constexpr double kLongestClip = 24 * 3600.0;
constexpr std::string_view kMarker = "http://export_clips/";

std::string mode_text(vek::bridge::ExportKind kind) {
  switch (kind) {
    case vek::bridge::ExportKind::Reencode:
      return "reencode";
    case vek::bridge::ExportKind::Overlay:
      return "overlay";
    case vek::bridge::ExportKind::Copy:
      return "copy";
  }
  std::abort();
}

std::string elements_text(const vek::bridge::OverlayChoice& choice) {
  std::string text;
  const std::array<std::pair<bool, const char*>, 6> names = {{{choice.clock, "clock"},
                                                              {choice.speed, "speed"},
                                                              {choice.position, "position"},
                                                              {choice.gforce, "gforce"},
                                                              {choice.route, "route"},
                                                              {choice.decimal, "decimal"}}};
  for (const auto& [on, name] : names) {
    if (on) {
      text += text.empty() ? "" : "+";
      text += name;
    }
  }
  return text;
}

std::string point_text(const std::optional<ExportPoint>& point) {
  if (!point) {
    return "";
  }
  if (!(point->seconds >= 0 && point->seconds <= kLongestClip)) {
    std::abort();
  }
  std::array<char, 64> seconds{};
  std::snprintf(seconds.data(), seconds.size(), "%.17g", point->seconds);
  return std::to_string(point->clip) + "@" + seconds.data();
}

// Every byte escaped, so no separator or marker inside a path survives as one.
std::string escaped_path(std::string_view path) {
  std::string text;
  for (const char c : path) {
    std::array<char, 4> escape{};
    std::snprintf(escape.data(), escape.size(), "%%%02X", static_cast<unsigned char>(c));
    text += escape.data();
  }
  return text;
}

std::string written_out(const ExportCommand& command) {
  std::string text = std::string(kMarker) + mode_text(command.kind) + ";" + elements_text(command.overlay) + ";" +
                     point_text(command.in) + ";" + point_text(command.out) + ";";
  for (std::size_t i = 0; i < command.paths.size(); ++i) {
    text += (i == 0 ? "" : ",") + escaped_path(command.paths[i]);
  }
  return text;
}

bool same_point(const std::optional<ExportPoint>& a, const std::optional<ExportPoint>& b) {
  return a.has_value() == b.has_value() && (!a || (a->clip == b->clip && a->seconds == b->seconds));
}

bool same(const ExportCommand& a, const ExportCommand& b) {
  return a.kind == b.kind && elements_text(a.overlay) == elements_text(b.overlay) && same_point(a.in, b.in) &&
         same_point(a.out, b.out) && a.paths == b.paths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string url = std::string(kMarker) + std::string(reinterpret_cast<const char*>(data), size);
  const std::optional<ExportCommand> command = vek::bridge::export_command(url);
  if (!command) {
    return 0;
  }
  const std::optional<ExportCommand> again = vek::bridge::export_command(written_out(*command));
  if (!again || !same(*command, *again)) {
    std::abort();
  }
  return 0;
}
