#pragma once
// A RIFF-style trailer after a clip's last atom: chunks of a four-letter type
// and a little-endian u32 length ("gpsa", "gps0", "gsea", "gsen"). Read as an
// atom header it looks like a gigabyte atom named by the letters after it,
// which is how it passes for today's gps0 atom. Its gps0 chunk holds 40-byte
// "AITG" records, its gsen chunk 12-byte "AITS" records.

#include "track/ByteReader.h"
#include "track/container/ByteSource.h"
#include "track/formats/Fix.h"

#include <optional>

namespace vek::track::formats {

// The offset where the clip's atoms stop tiling the file and a trailer chunk
// starts, found by reading the atom headers alone.
std::optional<std::uint64_t> aitg_trailer_start(container::ByteSource& source);

// The fixes of the trailer's AITG records, each with the AITS acceleration
// sampled nearest after it.
Decoded decode_aitg_trailer(Bytes trailer);

}  // namespace vek::track::formats
