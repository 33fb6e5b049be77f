#pragma once
// Notes on a decode, each said once however many rows it concerns.

#include "track/formats/Fix.h"

#include <algorithm>
#include <string>

namespace vek::track::formats {

inline void note_once(Decoded& decoded, const std::string& note) {
  if (std::find(decoded.notes.begin(), decoded.notes.end(), note) == decoded.notes.end()) decoded.notes.push_back(note);
}

// Everything `more` decoded, after what `into` holds.
inline void append(Decoded& into, Decoded&& more) {
  into.fixes.insert(into.fixes.end(), more.fixes.begin(), more.fixes.end());
  into.accel.insert(into.accel.end(), more.accel.begin(), more.accel.end());
  for (const auto& note : more.notes)
    note_once(into, note);
}

}  // namespace vek::track::formats
