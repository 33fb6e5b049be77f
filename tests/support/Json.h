#pragma once
// Reading JSON in tests and benchmarks: fixture descriptions written by the
// fixture tool, the page's recorded calls, benchmark replies.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vek::test {

class Json {
 public:
  using Array = std::vector<Json>;
  using Object = std::map<std::string, Json, std::less<>>;

  Json() = default;
  explicit Json(std::nullptr_t) {}
  explicit Json(bool value) : value_(value) {}
  explicit Json(double value) : value_(value) {}
  explicit Json(std::string value) : value_(std::move(value)) {}
  explicit Json(Array value) : value_(std::move(value)) {}
  explicit Json(Object value) : value_(std::move(value)) {}

  // The value `text` holds (surrounding white space allowed); nullopt when
  // it is not exactly one JSON value. Strings come back as UTF-8; a lone
  // surrogate escape (the page's stand-in for a byte that is not UTF-8)
  // comes back as its three-byte generalised UTF-8 form.
  static std::optional<Json> parse(std::string_view text);

  bool is_null() const noexcept { return std::holds_alternative<std::nullptr_t>(value_); }
  bool is_bool() const noexcept { return std::holds_alternative<bool>(value_); }
  bool is_number() const noexcept { return std::holds_alternative<double>(value_); }
  bool is_string() const noexcept { return std::holds_alternative<std::string>(value_); }
  bool is_array() const noexcept { return std::holds_alternative<Array>(value_); }
  bool is_object() const noexcept { return std::holds_alternative<Object>(value_); }

  // The value as that type; a default (false, 0, "", empty) when it is another.
  bool boolean() const noexcept;
  double number() const noexcept;
  const std::string& string() const noexcept;
  const Array& array() const noexcept;
  const Object& object() const noexcept;

  // A member or element; a null value when there is none.
  const Json& operator[](std::string_view key) const noexcept;
  const Json& operator[](std::size_t index) const noexcept;
  // Elements of an array or members of an object; 0 otherwise.
  std::size_t size() const noexcept;

 private:
  std::variant<std::nullptr_t, bool, double, std::string, Array, Object> value_{nullptr};
};

// `text` as a JSON string literal, quotes included.
std::string json_quote(std::string_view text);

}  // namespace vek::test
