#pragma once
// Where one segment's compressed sound frames go in a joined movie whose
// sound is laid frame after frame, without gaps or overlaps, as every player
// plays it right. A frame cannot be cut, and a clip's sound is rarely exactly
// as long as its picture, so summing each clip's sound on its own drifts at
// every joint. Instead each segment takes the run of frame slots nearest to
// its own picture: its sound starts within half a frame of its first picture,
// however many joints come before.

#include <cstdint>
#include <optional>

namespace vek::media {

class SoundFrameFit {
 public:
  // The segment's picture spans [start, end) nanoseconds of the export; each
  // of its frames holds `frame_samples` samples at `rate` per second.
  SoundFrameFit(std::uint64_t start, std::uint64_t end, int frame_samples, int rate);

  struct Slot {
    std::uint64_t pts;       // nanoseconds from the segment's first slot
    std::uint64_t duration;  // nanoseconds
  };

  // The slot for the segment's next frame, whose sound belongs at `desired`
  // nanoseconds of the export (negative: before it starts); nullopt drops the
  // frame: it belongs before the segment's first slot, or its slots are full.
  // A first frame that belongs later than the first slot leaves the slots
  // before its own empty: take them with empty_slot_before first.
  std::optional<Slot> place(std::int64_t desired);

  // The next of the slots left empty before the first frame, which belongs
  // at `desired`; nullopt once there are none (or a frame was placed).
  std::optional<Slot> empty_slot_before(std::int64_t desired);

  // The next slot no frame filled, once the segment's sound has run out; nullopt when all are full.
  std::optional<Slot> empty_slot();

  // Slots not filled so far.
  std::uint64_t empty_slots() const;

  // Nanoseconds from the segment's first slot to the end of its last.
  std::uint64_t span() const;

 private:
  std::int64_t samples_at(std::int64_t nanoseconds) const;
  std::uint64_t slot_time(std::uint64_t slot) const;
  std::uint64_t nearest_slot(std::int64_t nanoseconds) const;
  bool before_first_slot(std::int64_t nanoseconds) const;
  Slot take(std::uint64_t slot);

  std::int64_t frame_samples_;
  std::int64_t rate_;
  std::uint64_t first_;  // the segment's slots: [first_, end_)
  std::uint64_t end_;
  std::uint64_t next_;   // the next slot to fill
  bool placed_ = false;  // a frame of the segment's own has been placed
};

}  // namespace vek::media
