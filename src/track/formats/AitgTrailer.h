#pragma once
// A RIFF-style trailer after a clip's last atom: chunks of a four-letter type
// and a little-endian u32 length ("gpsa", "gps0", "gsea", "gsen"). Read as an
// atom header it looks like a gigabyte atom named by the letters after it,
// which is how it passes for today's gps0 atom. Its gps0 chunk holds 40-byte
// "AITG" records, its gsen chunk 12-byte "AITS" records.

#include "track/ByteReader.h"
#include "track/formats/Fix.h"

#include <optional>
#include <string>

namespace vek::track::formats {

// The offset where the clip's atoms stop tiling the file and a trailer chunk starts.
std::optional<std::uint64_t> aitg_trailer_start(Bytes clip);

// The fixes of the trailer's AITG records, each with the AITS acceleration
// sampled nearest after it.
Decoded decode_aitg_trailer(Bytes trailer);

// The clip's trailer decoded; `declined` says why not when nothing was.
Decoded read_aitg_clip(Bytes clip, std::string& declined);

}  // namespace vek::track::formats
