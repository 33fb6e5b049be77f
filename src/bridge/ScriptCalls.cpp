#include "bridge/ScriptCalls.h"

#include "base/text/JsLiteral.h"

namespace vek::bridge {

using base::js_string_literal;

std::string file_list_call(std::string_view file_data_path, std::string_view file_mv_path,
                           std::string_view current_clip, std::string_view library_folder) {
  return "file_list_fun(" + js_string_literal(file_data_path) + "," + js_string_literal(file_mv_path) + "," +
         js_string_literal(current_clip) + ");user_path=" + js_string_literal(library_folder);
}

std::string clip_facts_call(std::string_view file_mv_path, std::string_view facts) {
  return "if(window.clip_facts)clip_facts(" + js_string_literal(file_mv_path) + "," + js_string_literal(facts) + ")";
}

std::string video1_show_call(std::string_view path) {
  return "video1_show(" + js_string_literal(path) + ")";
}

std::string page_restarted_call(std::string_view reason) {
  return "if(window.page_restarted)page_restarted(" + js_string_literal(reason) + ")";
}

std::string get_act_call() {
  return "get_act()";
}

std::string snapshot_failed_call(std::string_view reason) {
  return "if(window.snapshot_failed)snapshot_failed(" + js_string_literal(reason) + ")";
}

std::string export_completed_call() {
  return "exp('Export Completed');";
}

std::string export_failed_call() {
  return "exp('Export Failed');";
}

std::string export_saved_call(std::string_view movie_path) {
  return "if(window.exp_saved)exp_saved(" + js_string_literal(movie_path) + ")";
}

std::string export_incompatible_call() {
  return "if(window.exp_incompatible)exp_incompatible()";
}

std::string export_cancelled_call() {
  return "if(window.exp_cancelled)exp_cancelled()";
}

std::string route_out_call(bool written, std::string_view text) {
  return std::string("if(window.route_out_done)route_out_done(") + (written ? "true," : "false,") +
         js_string_literal(text) + ")";
}

std::string export_progress_call(int percent) {
  return "if(window.exp_progress)exp_progress(" + js_string_literal(std::to_string(percent)) + ")";
}

std::string intake_progress_call(const IntakeFigures& figures) {
  const std::string seconds_left = figures.seconds_left ? std::to_string(*figures.seconds_left) : "";
  return "if(window.intake_progress)intake_progress(" + js_string_literal(figures.state) + "," +
         js_string_literal(std::to_string(figures.clips_done)) + "," +
         js_string_literal(std::to_string(figures.clips_total)) + "," +
         js_string_literal(std::to_string(figures.bytes_done)) + "," +
         js_string_literal(std::to_string(figures.bytes_total)) + "," + js_string_literal(seconds_left) + ")";
}

std::string intake_failed_call(std::string_view clip, std::string_view reason) {
  return "if(window.intake_failed)intake_failed(" + js_string_literal(clip) + "," + js_string_literal(reason) + ")";
}

std::string card_offer_call(const CardFigures& figures) {
  return "if(window.card_offer)card_offer(" + js_string_literal(std::to_string(figures.id)) + "," +
         js_string_literal(figures.label) + "," + js_string_literal(std::to_string(figures.clips)) + "," +
         js_string_literal(figures.size) + ")";
}

std::string card_withdrawn_call(int id) {
  return "if(window.card_withdrawn)card_withdrawn(" + js_string_literal(std::to_string(id)) + ")";
}

}  // namespace vek::bridge
