#pragma once
// Text placed in XML element content or a double-quoted attribute.

#include <string>
#include <string_view>

namespace vek::track::route {

// Escapes & < > " and drops control characters XML 1.0 does not allow.
void append_xml_escaped(std::string& out, std::string_view text);

} // namespace vek::track::route
