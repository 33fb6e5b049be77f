#include "JsString.h"

#include "Format.h"

#include <cstdint>

namespace vek::track {
namespace {

// Length of the valid UTF-8 sequence starting at `at`, or 0 when it is invalid.
std::size_t utf8_length(std::string_view s, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(s[at]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) { length = 2; min = 0x80; }
    else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; min = 0x800; }
    else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; min = 0x10000; }
    else return 0;
    if (length > s.size() - at) return 0;
    std::uint32_t cp = lead & (0x7FU >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(s[at + i]);
        if ((c & 0xC0U) != 0x80U) return 0;
        cp = (cp << 6U) | (c & 0x3FU);
    }
    const bool surrogate = cp >= 0xD800 && cp <= 0xDFFF;
    return (cp < min || cp > 0x10FFFF || surrogate) ? 0 : length;
}

bool is_line_separator(std::string_view s, std::size_t at, std::size_t length)
{
    // U+2028 and U+2029 end a string literal in older script engines.
    return length == 3 && s.substr(at, 2) == "\xE2\x80" && (s[at + 2] == '\xA8' || s[at + 2] == '\xA9');
}

void append_ascii(std::string& out, char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '\'' || c == '"') {
        out += '\\';
        out += c;
    } else if (u < 0x20 || u == 0x7F || c == '<') {
        appendf(out, "\\x%02X", u); // "<" too: no "</script>" if a page embeds it
    } else {
        out += c;
    }
}

} // namespace

std::string js_string_content(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8_length(text, at);
        if (length == 0) {
            out += "\\uFFFD";
            ++at;
        } else if (length == 1) {
            append_ascii(out, text[at++]);
        } else if (is_line_separator(text, at, length)) {
            out += text[at + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            at += length;
        } else {
            out.append(text.substr(at, length));
            at += length;
        }
    }
    return out;
}

} // namespace vek::track
