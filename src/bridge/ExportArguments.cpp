#include "bridge/ExportArguments.h"

#include <charconv>
#include <cmath>

#include "bridge/CommandArguments.h"

namespace vek::bridge {
namespace {

constexpr std::size_t kFieldsBeforePaths = 4;
constexpr double kLongestClip = 24 * 3600.0;  // no camera clip runs a day

std::optional<ExportKind> kind_of(std::string_view text) {
  if (text == "reencode") return ExportKind::Reencode;
  if (text == "overlay") return ExportKind::Overlay;
  if (text == "copy") return ExportKind::Copy;
  return std::nullopt;
}

bool set_element(OverlayChoice& choice, std::string_view name) {
  if (name == "clock")
    choice.clock = true;
  else if (name == "speed")
    choice.speed = true;
  else if (name == "position")
    choice.position = true;
  else if (name == "gforce")
    choice.gforce = true;
  else if (name == "route")
    choice.route = true;
  else if (name == "decimal")
    choice.decimal = true;
  else
    return name.empty();
  return true;
}

std::optional<OverlayChoice> overlay_of(std::string_view text) {
  OverlayChoice choice;
  std::size_t start = 0;
  for (std::size_t plus = text.find('+');; plus = text.find('+', start)) {
    if (!set_element(choice,
                     text.substr(start, plus == std::string_view::npos ? std::string_view::npos : plus - start))) {
      return std::nullopt;
    }
    if (plus == std::string_view::npos) {
      return choice;
    }
    start = plus + 1;
  }
}

// Empty: no point (ok, nullopt inside); otherwise "CLIP@SECONDS".
bool point_of(std::string_view text, std::optional<ExportPoint>& point) {
  if (text.empty()) {
    return true;
  }
  const std::size_t at = text.find('@');
  ExportPoint parsed;
  if (at == std::string_view::npos) {
    return false;
  }
  const auto clip = std::from_chars(text.data(), text.data() + at, parsed.clip);
  const auto seconds = std::from_chars(text.data() + at + 1, text.data() + text.size(), parsed.seconds);
  if (clip.ec != std::errc() || clip.ptr != text.data() + at || seconds.ec != std::errc() ||
      seconds.ptr != text.data() + text.size() || !(parsed.seconds >= 0 && parsed.seconds <= kLongestClip)) {
    return false;
  }
  point = parsed;
  return true;
}

}  // namespace

std::optional<ExportCommand> export_command(std::string_view url_text) {
  const std::string argument = argument_text(url_text, Command::ExportClips);
  const std::string_view text = argument;
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  while (fields.size() < kFieldsBeforePaths) {
    const std::size_t semicolon = text.find(';', start);
    if (semicolon == std::string_view::npos) {
      return std::nullopt;
    }
    fields.push_back(text.substr(start, semicolon - start));
    start = semicolon + 1;
  }
  ExportCommand command;
  const std::optional<ExportKind> kind = kind_of(fields[0]);
  const std::optional<OverlayChoice> overlay = overlay_of(fields[1]);
  if (!kind || !overlay || !point_of(fields[2], command.in) || !point_of(fields[3], command.out)) {
    return std::nullopt;
  }
  command.kind = *kind;
  command.overlay = *overlay;
  command.paths = merger_pieces(text.substr(start));
  return command;
}

}  // namespace vek::bridge
