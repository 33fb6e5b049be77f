#pragma once
// The statements the application evaluates in the page. Every value goes in
// as an escaped string literal; with plain values the texts are exactly
// "file_list_fun('a','b','c');user_path='d'" and so on.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vek::bridge {

// Hands the clip list to the page: track list, clip list, current clip
// ("0" after a page load, the last clip taken in or "(null)" after an
// intake), then assigns the library folder to `user_path`.
std::string file_list_call(std::string_view file_data_path, std::string_view file_mv_path,
                           std::string_view current_clip, std::string_view library_folder);

// What the native side knows of the listed clips beyond their paths, for
// the next clip-list report; an older page lacks the handler.
std::string clip_facts_call(std::string_view file_mv_path, std::string_view facts);

std::string video1_show_call(std::string_view path);

// The page was reloaded because its web process ended (`reason`).
std::string page_restarted_call(std::string_view reason);

// A snapshot has been written.
std::string get_act_call();
// A snapshot wrote no file, and why.
std::string snapshot_failed_call(std::string_view reason);

std::string export_completed_call();
std::string export_failed_call();

// After exp('Export Completed'): where the export went.
std::string export_saved_call(std::string_view movie_path);
// An original-quality join refused (the clips differ in codec, frame size,
// frame rate or sound), so the page can offer the re-encoding export.
std::string export_incompatible_call();
// An export cancelled from the page has stopped and left nothing behind.
std::string export_cancelled_call();
// A route file was written (`text` is its name) or not (`text` says why).
std::string route_out_call(bool written, std::string_view text);

// Export progress in percent; the page may not define the handler.
std::string export_progress_call(int percent);

// Intake progress: state ("running", "finished" or "cancelled"), clips done
// and in all, bytes read and to read, seconds left ("" while unknown). Pages
// without the handler ignore it.
struct IntakeFigures {
  std::string_view state;
  std::size_t clips_done = 0;
  std::size_t clips_total = 0;
  std::uintmax_t bytes_done = 0;
  std::uintmax_t bytes_total = 0;
  std::optional<std::int64_t> seconds_left;
};
std::string intake_progress_call(const IntakeFigures& figures);

// A clip the intake could not read, and why.
std::string intake_failed_call(std::string_view clip, std::string_view reason);

// A memory card to take in with one click: the offer's number, the card's
// name, how many clips and how much (for example "12.3 GB"). Pages without
// the handler ignore it.
struct CardFigures {
  int id = 0;
  std::string_view label;
  std::size_t clips = 0;
  std::string_view size;
};
std::string card_offer_call(const CardFigures& figures);
// The offer is gone: the card was pulled out or its import has started.
std::string card_withdrawn_call(int id);

}  // namespace vek::bridge
