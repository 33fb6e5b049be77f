#include "media/core/SoundFrameFit.h"

#include <algorithm>

namespace vek::media {
namespace {

constexpr std::int64_t kNanoseconds = 1'000'000'000;

// a * b / c rounded to nearest, for a >= 0, without overflowing on hours of 192 kHz sound.
std::int64_t scale_round(std::int64_t a, std::int64_t b, std::int64_t c) {
  const std::int64_t whole = a / c;
  const std::int64_t rest = a % c;
  return whole * b + (rest * b + c / 2) / c;
}

}  // namespace

SoundFrameFit::SoundFrameFit(std::uint64_t start, std::uint64_t end, int frame_samples, int rate)
    : frame_samples_(std::max(frame_samples, 1)),
      rate_(std::max(rate, 1)),
      first_(nearest_slot(static_cast<std::int64_t>(start))),
      end_(std::max(first_, nearest_slot(static_cast<std::int64_t>(end)))),
      next_(first_) {}

std::int64_t SoundFrameFit::samples_at(std::int64_t nanoseconds) const {
  return nanoseconds < 0 ? -scale_round(-nanoseconds, rate_, kNanoseconds)
                         : scale_round(nanoseconds, rate_, kNanoseconds);
}

std::uint64_t SoundFrameFit::slot_time(std::uint64_t slot) const {
  return static_cast<std::uint64_t>(scale_round(static_cast<std::int64_t>(slot) * frame_samples_, kNanoseconds, rate_));
}

std::uint64_t SoundFrameFit::nearest_slot(std::int64_t nanoseconds) const {
  const std::int64_t samples = samples_at(nanoseconds) + frame_samples_ / 2;
  return samples <= 0 ? 0 : static_cast<std::uint64_t>(samples / frame_samples_);
}

bool SoundFrameFit::before_first_slot(std::int64_t nanoseconds) const {
  const std::int64_t half_frame = static_cast<std::int64_t>(slot_time(1)) / 2;
  return nanoseconds < static_cast<std::int64_t>(slot_time(first_)) - half_frame;
}

SoundFrameFit::Slot SoundFrameFit::take(std::uint64_t slot) {
  next_ = slot + 1;
  return {slot_time(slot) - slot_time(first_), slot_time(slot + 1) - slot_time(slot)};
}

std::optional<SoundFrameFit::Slot> SoundFrameFit::place(std::int64_t desired) {
  if (!placed_) {
    if (before_first_slot(desired)) {
      return std::nullopt;
    }
    placed_ = true;
    next_ = std::max(next_, nearest_slot(desired));
  }
  return next_ < end_ ? std::optional<Slot>(take(next_)) : std::nullopt;
}

std::optional<SoundFrameFit::Slot> SoundFrameFit::empty_slot_before(std::int64_t desired) {
  if (placed_ || before_first_slot(desired) || next_ >= std::min(nearest_slot(desired), end_)) {
    return std::nullopt;
  }
  return take(next_);
}

std::optional<SoundFrameFit::Slot> SoundFrameFit::empty_slot() {
  return next_ < end_ ? std::optional<Slot>(take(next_)) : std::nullopt;
}

std::uint64_t SoundFrameFit::empty_slots() const {
  return end_ - std::min(end_, next_);
}

std::uint64_t SoundFrameFit::span() const {
  return slot_time(end_) - slot_time(first_);
}

}  // namespace vek::media
