#pragma once
// Text placed in XML documents (GPX names) must keep the document well
// formed whatever bytes it came from.

#include <string>
#include <string_view>

namespace vek::base {

// `text` as XML 1.0 character data, safe in element content and in quoted
// attribute values: the five markup characters become entities; bytes that
// are not well-formed UTF-8, control characters other than tab, line feed
// and carriage return, and U+FFFE/U+FFFF (none of which XML may contain,
// not even as references) become U+FFFD.
std::string xml_escaped(std::string_view text);

}  // namespace vek::base
