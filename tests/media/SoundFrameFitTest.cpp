#include "media/core/SoundFrameFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace vek::media {
namespace {

constexpr int kRate = 48000;
constexpr int kAac = 1024;                       // samples in an AAC-LC frame
constexpr double kFrameNs = kAac * 1e9 / kRate;  // 21.33 ms
constexpr std::int64_t kSecond = 1'000'000'000;

// A clip's sound as an encoder writes it: a priming frame before the clip's
// start, then frames until its sound runs out, `frames` in all.
std::vector<std::int64_t> frame_times(std::int64_t export_start, int frames) {
  std::vector<std::int64_t> times;
  times.reserve(static_cast<std::size_t>(frames));
  for (int j = 0; j < frames; ++j) {
    times.push_back(export_start + std::llround((j - 1) * kFrameNs));
  }
  return times;
}

struct Placed {
  std::vector<SoundFrameFit::Slot> slots;
  int first_kept = -1;  // index of the first frame kept
};

Placed place_all(SoundFrameFit& fit, const std::vector<std::int64_t>& times) {
  Placed placed;
  for (std::size_t j = 0; j < times.size(); ++j) {
    if (const auto slot = fit.place(times[j])) {
      placed.first_kept = placed.first_kept < 0 ? static_cast<int>(j) : placed.first_kept;
      placed.slots.push_back(*slot);
    }
  }
  return placed;
}

TEST(SoundFrameFitTest, AClipTakesTheSlotsNearestItsPictureAndDropsPrimingAndOverhang) {
  // 3 s of picture is 140.6 frames: the first clip of a join gets 141 slots.
  SoundFrameFit fit(0, 3 * kSecond, kAac, kRate);
  const Placed placed = place_all(fit, frame_times(0, 143));
  EXPECT_EQ(placed.first_kept, 1) << "the priming frame belongs before the export";
  ASSERT_EQ(placed.slots.size(), 141U) << "the two frames past the picture's end are dropped";
  EXPECT_EQ(fit.empty_slots(), 0U);
  for (std::size_t i = 0; i < placed.slots.size(); ++i) {
    EXPECT_EQ(placed.slots[i].pts, static_cast<std::uint64_t>(std::llround(static_cast<double>(i) * kFrameNs)));
    EXPECT_EQ(i == 0 ? 0 : placed.slots[i - 1].pts + placed.slots[i - 1].duration, placed.slots[i].pts)
        << "back to back";
  }
  EXPECT_EQ(fit.span(), static_cast<std::uint64_t>(std::llround(141 * kFrameNs)));
}

TEST(SoundFrameFitTest, SoundStaysWithinHalfAFrameOfThePictureAfterAnyNumberOfJoints) {
  // 100 clips of 3 s, each with a little more sound than picture: the sum of
  // what each lays is where the next clip's first sound plays.
  std::uint64_t laid = 0;
  for (int k = 0; k < 100; ++k) {
    const std::int64_t start = static_cast<std::int64_t>(k) * 3 * kSecond;
    SoundFrameFit fit(static_cast<std::uint64_t>(start), static_cast<std::uint64_t>(start + 3 * kSecond), kAac, kRate);
    const Placed placed = place_all(fit, frame_times(start, 143));
    ASSERT_FALSE(placed.slots.empty());
    const std::int64_t first_sound = std::llround((placed.first_kept - 1) * kFrameNs);  // clip time of its sound
    const std::int64_t plays_at = static_cast<std::int64_t>(laid) - first_sound;        // where clip time 0 plays
    EXPECT_LE(std::llabs(plays_at - start), std::llround(kFrameNs / 2) + 1) << "clip " << k;
    EXPECT_EQ(placed.slots.back().pts + placed.slots.back().duration, fit.span());
    laid += fit.span();
  }
  EXPECT_LE(std::llabs(static_cast<std::int64_t>(laid) - 300 * kSecond), std::llround(kFrameNs / 2) + 1)
      << "the sound ends with the picture";
}

TEST(SoundFrameFitTest, ATrimmedSegmentStartsWithTheFrameNearestItsInPoint) {
  // A segment from 1 s into its clip, at 4 s of the export: the clip's frames
  // up to about 1 s belong before the segment.
  const std::int64_t start = 4 * kSecond;
  SoundFrameFit fit(static_cast<std::uint64_t>(start), static_cast<std::uint64_t>(start + 2 * kSecond), kAac, kRate);
  const Placed placed = place_all(fit, frame_times(start - kSecond, 143));
  ASSERT_FALSE(placed.slots.empty());
  const double kept_clip_time = (placed.first_kept - 1) * kFrameNs;
  EXPECT_NEAR(kept_clip_time, 1e9, kFrameNs / 2 + 1);
  EXPECT_EQ(placed.slots.front().pts, 0U);
  EXPECT_EQ(fit.empty_slots(), 0U);
}

TEST(SoundFrameFitTest, SlotsThatSoundStartingLateOrEndingEarlyLeavesAreHandedOutForSilence) {
  // The sound starts 50 ms into the picture: two and a bit frames late, so
  // slots 0 and 1 stay empty and it goes to slot 2.
  SoundFrameFit late(0, kSecond, kAac, kRate);
  std::vector<std::uint64_t> empty_before;
  while (const auto slot = late.empty_slot_before(50'000'000)) {
    empty_before.push_back(slot->pts);
  }
  EXPECT_EQ(empty_before, (std::vector<std::uint64_t>{0, static_cast<std::uint64_t>(std::llround(kFrameNs))}));
  const auto first = late.place(50'000'000);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->pts, static_cast<std::uint64_t>(std::llround(2 * kFrameNs)));
  EXPECT_FALSE(late.empty_slot_before(50'000'000).has_value()) << "only before the first frame";
  // A second of picture is 47 slots; ten frames fill slots 2 to 11, the rest stay empty.
  for (int j = 1; j < 10; ++j) {
    ASSERT_TRUE(late.place(50'000'000 + std::llround(j * kFrameNs)).has_value());
  }
  EXPECT_EQ(late.empty_slots(), 47U - 12U);
  std::uint64_t end = static_cast<std::uint64_t>(std::llround(12 * kFrameNs));
  while (const auto slot = late.empty_slot()) {
    EXPECT_EQ(slot->pts, end) << "the empty slots follow the last frame back to back";
    end = slot->pts + slot->duration;
  }
  EXPECT_EQ(end, late.span());
  EXPECT_EQ(late.empty_slots(), 0U);
  EXPECT_FALSE(late.place(60'000'000).has_value()) << "full";

  SoundFrameFit silent(0, kSecond, kAac, kRate);
  EXPECT_EQ(silent.empty_slots(), 47U) << "no sound at all";
  EXPECT_FALSE(silent.empty_slot_before(-kSecond).has_value()) << "a frame before the segment leaves no gap";
}

TEST(SoundFrameFitTest, OddRatesAndFrameSizesKeepExactSlotTimes) {
  // 44.1 kHz frames are not a whole number of nanoseconds; slot times are
  // rounded from the sample count each time, so they never drift.
  SoundFrameFit fit(0, 60 * kSecond, kAac, 44100);
  std::uint64_t end = 0;
  for (int j = 0; j < 2584; ++j) {
    const auto slot = fit.place(std::llround(j * kAac * 1e9 / 44100));
    ASSERT_TRUE(slot.has_value()) << j;
    EXPECT_EQ(slot->pts, end);
    end = slot->pts + slot->duration;
  }
  EXPECT_EQ(end, static_cast<std::uint64_t>(std::llround(2584.0 * kAac * 1e9 / 44100)));
  EXPECT_FALSE(fit.place(std::llround(2584.0 * kAac * 1e9 / 44100)).has_value()) << "60 s is 2584 frames";
}

}  // namespace
}  // namespace vek::media
