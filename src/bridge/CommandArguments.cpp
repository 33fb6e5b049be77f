#include "bridge/CommandArguments.h"

#include <charconv>

#include "base/text/IntValue.h"
#include "base/text/Strings.h"
#include "bridge/PercentDecode.h"

namespace vek::bridge {

using base::int_value;
using base::replace_all;
using base::split;
using base::wrapping_add;
using base::wrapping_mul;
namespace {

constexpr std::string_view kEscapedSpace = "%20";
constexpr std::size_t kPhotoFields = 3;
constexpr std::int32_t kSecondsPerMinute = 60;

std::vector<std::string> decoded_pieces(std::string_view text, Command command) {
  std::vector<std::string> pieces = split(replace_all(argument_text(text, command), kEscapedSpace, " "), ',');
  for (std::string& piece : pieces) {
    piece = decode_path_element(piece);
  }
  return pieces;
}

}  // namespace

std::string argument_text(std::string_view text, Command command) {
  return replace_all(text, marker(command), "");
}

std::vector<std::string> removal_elements(std::string_view decoded_text) {
  return split(replace_all(argument_text(decoded_text, Command::FileDel), kEscapedSpace, " "), ',');
}

std::vector<std::string> check_candidates(std::string_view text) {
  std::vector<std::string> candidates = decoded_pieces(text, Command::CheckFile);
  if (candidates.size() > kMaxCandidates) {
    candidates.resize(kMaxCandidates);
  }
  return candidates;
}

std::vector<std::string> merger_pieces(std::string_view text) {
  return decoded_pieces(text, Command::Merger);
}

std::string decode_path_element(std::string_view piece) {
  std::string spaced = replace_all(piece, kEscapedSpace, " ");
  return percent_decode(spaced);
}

std::string settings_text(std::string_view text) {
  return argument_text(text, Command::SaveSet);
}

std::optional<PhotoRequest> photo_request(std::string_view text) {
  const std::vector<std::string> fields = split(argument_text(text, Command::GetPhoto), ';');
  if (fields.size() < kPhotoFields) {
    return std::nullopt;
  }
  PhotoRequest request;
  request.clip_url = fields[0];
  request.minutes = int_value(fields[1]);
  request.seconds = int_value(fields[2]);
  const std::int32_t total_seconds = wrapping_add(wrapping_mul(request.minutes, kSecondsPerMinute), request.seconds);
  request.value = wrapping_add(wrapping_mul(total_seconds, kFrameTimescale), kFrameTimescale);
  return request;
}

std::optional<int> card_offer_id(std::string_view text) {
  const std::string argument = argument_text(text, Command::CardImport);
  int id = 0;
  const char* end = argument.data() + argument.size();
  const auto [stop, error] = std::from_chars(argument.data(), end, id);
  if (argument.empty() || error != std::errc() || stop != end || id <= 0) {
    return std::nullopt;
  }
  return id;
}

}  // namespace vek::bridge
