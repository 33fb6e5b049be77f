#include "track/formats/XorText.h"

#include "track/formats/Notes.h"
#include "track/formats/TextFields.h"
#include "track/formats/UtcClock.h"

#include <array>
#include <string>

namespace vek::track::formats {

namespace {

constexpr std::uint8_t kKey = 0xAA;
constexpr std::array<std::uint8_t, 6> kSignature = {0xf2, 0xe1, 0xf0, 0xee, 0x54, 0x54};
constexpr std::array<std::uint8_t, 4> kShortSignature = {0xaa, 0xaa, 0x54, 0x54};  // at 4..7
constexpr std::size_t kRecordSize = 77;  // through the last acceleration field
constexpr std::size_t kClockAt = 8;
constexpr std::size_t kLatitudeAt = 38;
constexpr std::size_t kLongitudeAt = 47;
constexpr std::size_t kSpeedAt = 0x3E;
constexpr std::size_t kAccelAt = 0x41;
constexpr double kAccelPerG = 100.0;
constexpr double kMinuteDigitsPerMinute = 1e4;

bool matches(Bytes record, std::size_t at, std::span<const std::uint8_t> expected) {
  ByteReader r(record);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (!r.fits(at + i, 1) || r.u8(at + i) != expected[i]) return false;
  }
  return true;
}

std::string decrypted(Bytes record) {
  std::string text;
  for (const std::byte b : record.first(std::min(record.size(), kRecordSize)))
    text.push_back(static_cast<char>(static_cast<std::uint8_t>(b) ^ kKey));
  return text;
}

std::optional<UtcTime> clock_of(std::string_view text) {
  const auto part = [&](std::size_t at, std::size_t n) { return fixed_digits(text, kClockAt + at, n); };
  const auto y = part(0, 4), mo = part(4, 2), d = part(6, 2), h = part(8, 2), mi = part(10, 2), s = part(12, 2);
  if (!y || !mo || !d || !h || !mi || !s) return std::nullopt;
  const UtcTime time{static_cast<int>(*y), static_cast<int>(*mo), static_cast<int>(*d),
                     static_cast<int>(*h), static_cast<int>(*mi), static_cast<double>(*s)};
  return is_valid_utc(time) ? std::optional<UtcTime>(time) : std::nullopt;
}

// "N25020383": hemisphere, degrees, then minutes x 1e4.
std::optional<double> coordinate(std::string_view text, std::size_t at, std::size_t degree_digits, char positive,
                                 char negative, double max_degrees) {
  if (at >= text.size() || (text[at] != positive && text[at] != negative)) return std::nullopt;
  const auto degrees = fixed_digits(text, at + 1, degree_digits);
  const auto minutes = fixed_digits(text, at + 1 + degree_digits, 6);
  if (!degrees || !minutes || static_cast<double>(*minutes) >= 60 * kMinuteDigitsPerMinute) return std::nullopt;
  const double value = static_cast<double>(*degrees) + static_cast<double>(*minutes) / kMinuteDigitsPerMinute / 60.0;
  if (value > max_degrees) return std::nullopt;
  return text[at] == negative ? -value : value;
}

std::optional<double> signed_field(std::string_view text, std::size_t at, std::size_t digits) {
  if (at >= text.size() || (text[at] != '+' && text[at] != '-')) return std::nullopt;
  const auto value = fixed_digits(text, at + 1, digits);
  if (!value) return std::nullopt;
  return text[at] == '-' ? -static_cast<double>(*value) : static_cast<double>(*value);
}

std::optional<GSensor> accel_of(std::string_view text) {
  const auto x = signed_field(text, kAccelAt, 3);
  const auto y = signed_field(text, kAccelAt + 4, 3);
  const auto z = signed_field(text, kAccelAt + 8, 3);
  if (!x || !y || !z) return std::nullopt;
  return GSensor{static_cast<float>(*x / kAccelPerG), static_cast<float>(*y / kAccelPerG),
                 static_cast<float>(*z / kAccelPerG)};
}

void decode_record(Bytes record, Decoded& decoded) {
  const std::string text = decrypted(record);
  const auto accel = accel_of(text);
  const auto time = clock_of(text);
  const auto latitude = coordinate(text, kLatitudeAt, 2, 'N', 'S', 90.0);
  const auto longitude = coordinate(text, kLongitudeAt, 3, 'E', 'W', 180.0);
  const auto speed = fixed_digits(text, kSpeedAt, 3);
  if (!time || !latitude || !longitude || !speed) {
    if (accel) decoded.accel.push_back(*accel);
    return;
  }
  Fix fix;
  fix.time = *time;
  fix.latitude = *latitude;
  fix.longitude = *longitude;
  fix.speed_kmh = static_cast<double>(*speed);
  fix.accel = accel;
  decoded.fixes.push_back(fix);
}

}  // namespace

bool looks_like_xor_text(Bytes record) {
  if (record.size() < kRecordSize) return false;
  if (matches(record, 2, kSignature)) return true;
  // The shorter signature is weak on its own: require the clock to decode too.
  return matches(record, 4, kShortSignature) && clock_of(decrypted(record)).has_value();
}

Decoded decode_xor_text(std::span<const Bytes> records) {
  Decoded decoded;
  for (const Bytes record : records) {
    if (looks_like_xor_text(record)) decode_record(record, decoded);
  }
  note_once(decoded, "clock taken as UTC; speed from the 3 digits at 0x3E of the decrypted text");
  return decoded;
}

std::vector<Bytes> xor_records_of_gps0(Bytes payload) {
  std::vector<Bytes> records;
  for (std::size_t at = 0; payload.size() - at >= kXorRecordInGps0; at += kXorRecordInGps0) {
    const Bytes record = payload.subspan(at, kXorRecordInGps0);
    if (looks_like_xor_text(record)) records.push_back(record);
  }
  return records;
}

}  // namespace vek::track::formats
