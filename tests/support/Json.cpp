#include "support/Json.h"

#include <charconv>
#include <cstdint>
#include <memory>

namespace vek::test {
namespace {

// Deep enough for any fixture; bounded so hostile text cannot exhaust the stack.
constexpr int kMaxDepth = 64;

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::optional<Json> whole() {
    std::optional<Json> value = parse_value(0);
    skip_space();
    if (!value || at_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  void skip_space() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }
  bool take(char c) {
    skip_space();
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  bool take_word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  std::optional<Json> parse_value(int depth) {
    skip_space();
    if (depth > kMaxDepth || at_ >= text_.size()) return std::nullopt;
    switch (text_[at_]) {
      case '{':
        return parse_object(depth);
      case '[':
        return parse_array(depth);
      case '"': {
        auto text = parse_string();
        return text ? std::optional<Json>(Json(std::move(*text))) : std::nullopt;
      }
      case 't':
        return take_word("true") ? std::optional<Json>(Json(true)) : std::nullopt;
      case 'f':
        return take_word("false") ? std::optional<Json>(Json(false)) : std::nullopt;
      case 'n':
        return take_word("null") ? std::optional<Json>(Json(nullptr)) : std::nullopt;
      default:
        return parse_number();
    }
  }

  std::optional<Json> parse_number() {
    const std::size_t start = at_;
    while (at_ < text_.size() && std::string_view("+-0123456789.eE").find(text_[at_]) != std::string_view::npos)
      ++at_;
    const std::string_view digits = text_.substr(start, at_ - start);
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), std::to_address(digits.end()), value);
    if (digits.empty() || digits[0] == '+' || error != std::errc() || end != std::to_address(digits.end()))
      return std::nullopt;
    return Json(value);
  }

  std::optional<Json> parse_array(int depth) {
    ++at_;
    Json::Array items;
    if (take(']')) return Json(std::move(items));
    do {
      auto item = parse_value(depth + 1);
      if (!item) return std::nullopt;
      items.push_back(std::move(*item));
    } while (take(','));
    return take(']') ? std::optional<Json>(Json(std::move(items))) : std::nullopt;
  }

  std::optional<Json> parse_object(int depth) {
    ++at_;
    Json::Object members;
    if (take('}')) return Json(std::move(members));
    do {
      skip_space();
      auto key = at_ < text_.size() && text_[at_] == '"' ? parse_string() : std::nullopt;
      if (!key || !take(':')) return std::nullopt;
      auto value = parse_value(depth + 1);
      if (!value) return std::nullopt;
      members.insert_or_assign(std::move(*key), std::move(*value));
    } while (take(','));
    return take('}') ? std::optional<Json>(Json(std::move(members))) : std::nullopt;
  }

  std::optional<std::uint32_t> hex4() {
    std::uint32_t value = 0;
    const std::string_view digits = text_.substr(at_, 4);
    const auto [end, error] = std::from_chars(digits.data(), std::to_address(digits.end()), value, 16);
    if (digits.size() != 4 || error != std::errc() || end != std::to_address(digits.end())) return std::nullopt;
    at_ += 4;
    return value;
  }

  // After "\u": one code point, joining a surrogate pair when one follows.
  std::optional<std::uint32_t> escaped_code_point() {
    const auto first = hex4();
    if (!first || *first < 0xD800 || *first > 0xDBFF || text_.substr(at_, 2) != "\\u") return first;
    const std::size_t saved = at_;
    at_ += 2;
    const auto second = hex4();
    if (second && *second >= 0xDC00 && *second <= 0xDFFF)
      return 0x10000 + ((*first - 0xD800) << 10U) + (*second - 0xDC00);
    at_ = saved;
    return first;
  }

  static void append_utf8(std::string& out, std::uint32_t cp) {
    const auto byte = [&out](std::uint32_t b) { out.push_back(static_cast<char>(b)); };
    if (cp < 0x80) {
      byte(cp);
    } else if (cp < 0x800) {
      byte(0xC0 | (cp >> 6U)), byte(0x80 | (cp & 0x3FU));
    } else if (cp < 0x10000) {
      byte(0xE0 | (cp >> 12U)), byte(0x80 | ((cp >> 6U) & 0x3FU)), byte(0x80 | (cp & 0x3FU));
    } else {
      byte(0xF0 | (cp >> 18U)), byte(0x80 | ((cp >> 12U) & 0x3FU)), byte(0x80 | ((cp >> 6U) & 0x3FU));
      byte(0x80 | (cp & 0x3FU));
    }
  }

  bool take_escape(std::string& out) {
    if (at_ >= text_.size()) return false;
    const char kind = text_[at_++];
    static constexpr std::string_view kFrom = "\"\\/bfnrt";
    static constexpr std::string_view kTo = "\"\\/\b\f\n\r\t";
    if (const std::size_t i = kFrom.find(kind); i != std::string_view::npos) {
      out.push_back(kTo[i]);
      return true;
    }
    if (kind != 'u') return false;
    const auto cp = escaped_code_point();
    if (cp) append_utf8(out, *cp);
    return cp.has_value();
  }

  std::optional<std::string> parse_string() {
    ++at_;
    std::string out;
    while (at_ < text_.size() && text_[at_] != '"') {
      const char c = text_[at_++];
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
      if (c != '\\')
        out.push_back(c);
      else if (!take_escape(out))
        return std::nullopt;
    }
    if (at_ >= text_.size()) return std::nullopt;
    ++at_;
    return out;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

const Json kNull;

}  // namespace

std::optional<Json> Json::parse(std::string_view text) {
  return Parser(text).whole();
}

bool Json::boolean() const noexcept {
  return is_bool() && std::get<bool>(value_);
}

double Json::number() const noexcept {
  return is_number() ? std::get<double>(value_) : 0.0;
}

const std::string& Json::string() const noexcept {
  static const std::string empty;
  return is_string() ? std::get<std::string>(value_) : empty;
}

const Json::Array& Json::array() const noexcept {
  static const Array empty;
  return is_array() ? std::get<Array>(value_) : empty;
}

const Json::Object& Json::object() const noexcept {
  static const Object empty;
  return is_object() ? std::get<Object>(value_) : empty;
}

const Json& Json::operator[](std::string_view key) const noexcept {
  const Object& members = object();
  const auto found = members.find(key);
  return found == members.end() ? kNull : found->second;
}

const Json& Json::operator[](std::size_t index) const noexcept {
  const Array& items = array();
  return index < items.size() ? items[index] : kNull;
}

std::size_t Json::size() const noexcept {
  return is_array() ? array().size() : object().size();
}

// As JSON.stringify writes it, so that texts compare equal to the page's.
std::string json_quote(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  static constexpr std::string_view kShort = "\b\f\n\r\t";
  static constexpr std::string_view kLetters = "bfnrt";
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (const std::size_t i = kShort.find(c); i != std::string_view::npos) {
      out += '\\';
      out += kLetters[i];
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4U];
      out += kHex[byte & 0xFU];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace vek::test
