#include "library/CardContents.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "library/FolderClips.h"

namespace vek::library {
namespace {

constexpr double kGigabyte = 1e9;
constexpr double kMegabyte = 1e6;
// A label is shown in one line of the offer; names beyond this are cut.
constexpr std::size_t kLongestLabel = 64;
constexpr std::string_view kUnnamedCard = "card";

// Control characters would break the offer's line; they become spaces.
std::string one_line(std::string_view text) {
  std::string line(text.substr(0, kLongestLabel));
  std::replace_if(
      line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
  const auto first = line.find_first_not_of(' ');
  if (first == std::string::npos) {
    return {};
  }
  return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::optional<CardContents> read_card_contents(const std::string& root, const std::function<bool()>& stop) {
  CardContents contents;
  contents.clips = clips_in_folder(root, stop);
  if (stop()) {
    return std::nullopt;
  }
  for (const std::string& clip : contents.clips) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(clip, error);
    contents.bytes += error ? 0 : size;
  }
  return contents;
}

std::string card_label(std::string_view mount_name, const std::string& root) {
  std::string label = one_line(mount_name);
  if (label.empty()) {
    std::filesystem::path folder = std::filesystem::path(root).lexically_normal();
    if (!folder.has_filename()) {
      folder = folder.parent_path();
    }
    label = one_line(folder.filename().string());
  }
  return label.empty() ? std::string(kUnnamedCard) : label;
}

std::string size_text(std::uintmax_t bytes) {
  const double value = static_cast<double>(bytes);
  const bool gigabytes = value >= kGigabyte;
  const double shown = gigabytes ? value / kGigabyte : (bytes == 0 ? 0.0 : std::max(1.0, value / kMegabyte));
  // to_chars: a point whatever the user's locale.
  std::array<char, 32> text{};
  const auto written =
      std::to_chars(text.data(), text.data() + text.size(), shown, std::chars_format::fixed, gigabytes ? 1 : 0);
  return std::string(text.data(), written.ptr) + (gigabytes ? " GB" : " MB");
}

}  // namespace vek::library
