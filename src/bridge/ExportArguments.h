#pragma once
// The argument of the export command: "MODE;ELEMENTS;IN;OUT;PATH,PATH,...".
//   MODE      reencode | overlay | copy
//   ELEMENTS  "+"-joined names of the overlay's elements: clock, speed,
//             position, gforce, route, and decimal (position in decimal degrees)
//   IN, OUT   "CLIP@SECONDS" (CLIP counts the listed paths from 0) or empty
//   PATHs     as for the merge: each piece between commas percent-decoded

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vek::bridge {

enum class ExportKind { Reencode, Overlay, Copy };

struct ExportPoint {
  std::size_t clip = 0;
  double seconds = 0;
};

struct OverlayChoice {
  bool clock = false;
  bool speed = false;
  bool position = false;
  bool gforce = false;
  bool route = false;
  bool decimal = false;
};

struct ExportCommand {
  ExportKind kind = ExportKind::Reencode;
  OverlayChoice overlay;
  std::optional<ExportPoint> in;
  std::optional<ExportPoint> out;
  std::vector<std::string> paths;
};

// Reads the argument out of the command's URL text; nullopt when it lacks a
// field, names an unknown mode or element, or has a point that does not parse.
std::optional<ExportCommand> export_command(std::string_view url_text);

}  // namespace vek::bridge
