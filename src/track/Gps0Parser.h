#pragma once
// Walks the "gps0" chunks of a clip and decodes their records.

#include "track/ByteReader.h"
#include "track/Log.h"
#include "track/Samples.h"

#include <cstdint>
#include <functional>

namespace vek::track {

inline constexpr std::uint64_t kGps0RecordSize = 32;
inline constexpr std::uint64_t kGps0Stride = 36;           // the chunk is the marker's remainder in 36-byte units
inline constexpr std::uint64_t kGps0SkippedRecords = 3;    // the first three records of a chunk are never written
inline constexpr std::uint64_t kGps0RecordsPerChunk = 15;  // the records of a chunk in the standard gps0 form

// One chunk: the marker and the n x 36 bytes from it (n >= 1).
struct Gps0Chunk {
  ByteReader bytes;
  std::uint64_t units;  // n
};

// Searches "gps0" from the clip's start, logging "影片長度:%i" after every
// search, and calls `visit` per non-empty chunk. An empty chunk (the marker
// within the last 35 bytes) ends the walk: searching on from it would find it again.
// `skipped` is how many bytes of the file precede `clip` when only its tail was
// read; the logged lengths are those of the whole file.
void for_each_gps0_chunk(Bytes clip, const LogSink& log, const std::function<void(Gps0Chunk&)>& visit,
                         std::uint64_t skipped = 0);

// Whether record k of the standard form lies inside the chunk; a chunk too
// short for fifteen records is decoded as far as it reaches.
inline bool gps0_record_fits(const Gps0Chunk& chunk, std::uint64_t k) noexcept {
  return k < kGps0RecordsPerChunk && chunk.bytes.fits(k * kGps0RecordSize, kGps0RecordSize);
}

// Decodes the record at `offset` of the chunk (the caller checks it fits);
// the two position conversions log eight lines.
Gps0Record decode_gps0_record(ByteReader& chunk, std::uint64_t offset, const LogSink& log);

// The G-sensor values in the last twelve bytes of the chunk.
GSensor decode_gps0_gsensor(Gps0Chunk& chunk);

// "%i" of a 64-bit count as the camera's log prints it: its low 32 bits.
int log_int(std::uint64_t value) noexcept;

}  // namespace vek::track
