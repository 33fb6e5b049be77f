#pragma once
// The argument each command handler reads out of the URL text it is given.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/CommandDispatch.h"

namespace vek::bridge {

// Clip lookup examines at most this many candidates: the page sends the
// places a clip may be found in, and never more than this.
constexpr std::size_t kMaxCandidates = 8;

// The URL text with every occurrence of the command's marker removed.
std::string argument_text(std::string_view text, Command command);

// Removal: the clip paths as the page received them, "%20" read as a space.
// Empty elements are kept; each one still reloads the page.
std::vector<std::string> removal_elements(std::string_view decoded_text);

// Clip lookup: up to eight candidate paths, each fully percent-decoded.
std::vector<std::string> check_candidates(std::string_view text);

// Merge: every piece between commas, each fully percent-decoded.
std::vector<std::string> merger_pieces(std::string_view text);

// A path the page sent inside a URL: "%20" and every other escape decoded to
// its byte, so a path that is not UTF-8 comes back as the same bytes.
std::string decode_path_element(std::string_view piece);

// Card import: the offer's number, or none when the text is anything else.
std::optional<int> card_offer_id(std::string_view text);

// Settings are stored exactly as they arrive, escapes included.
std::string settings_text(std::string_view text);

// Frames are looked up one second after the named position, in thirtieths.
constexpr std::int32_t kFrameTimescale = 30;

struct PhotoRequest {
  std::string clip_url;
  std::int32_t minutes = 0;
  std::int32_t seconds = 0;
  // (minutes * 60 + seconds) * 30 + 30, in 32-bit arithmetic, then widened.
  std::int64_t value = 0;
};

// Empty when the text has fewer than three ";"-separated fields.
std::optional<PhotoRequest> photo_request(std::string_view text);

}  // namespace vek::bridge
