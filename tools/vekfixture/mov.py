"""Just enough QuickTime to insert atoms between media samples and keep the
clip playable: read the sample tables, shift the samples behind every
insertion, rebuild chunk tables around the gaps, and set the display matrix.
"""
import bisect
import itertools
import struct
from dataclasses import dataclass, field

CONTAINERS = {b"moov", b"trak", b"mdia", b"minf", b"stbl"}
HEADER_SIZE = 8
LARGE_HEADER_SIZE = 16  # size field 1: a 64-bit size follows the type
UINT32_MAX = 0xFFFFFFFF
FIXED_16_16 = 1 << 16
FIXED_2_30 = 1 << 30


class MovError(Exception):
    pass


@dataclass
class Atom:
    kind: bytes
    payload: bytes = b""
    children: list = field(default_factory=list)

    def child(self, kind):
        for atom in self.children:
            if atom.kind == kind:
                return atom
        return None

    def serialize(self):
        body = b"".join(c.serialize() for c in self.children) if self.kind in CONTAINERS else self.payload
        return struct.pack(">I4s", HEADER_SIZE + len(body), self.kind) + body


@dataclass(frozen=True)
class Span:
    kind: bytes
    offset: int
    header: int
    size: int

    @property
    def end(self):
        return self.offset + self.size


def top_level_spans(data):
    spans, offset = [], 0
    while offset < len(data):
        if offset + HEADER_SIZE > len(data):
            raise MovError("truncated atom header at %d" % offset)
        size, kind = struct.unpack_from(">I4s", data, offset)
        header = HEADER_SIZE
        if size == 1:
            size = struct.unpack_from(">Q", data, offset + HEADER_SIZE)[0]
            header = LARGE_HEADER_SIZE
        elif size == 0:
            size = len(data) - offset
        if size < header or offset + size > len(data):
            raise MovError("bad size of atom %r at %d" % (kind, offset))
        spans.append(Span(kind, offset, header, size))
        offset += size
    return spans


def parse_tree(kind, body):
    if kind not in CONTAINERS:
        return Atom(kind, body)
    children = [parse_tree(s.kind, body[s.offset + s.header:s.end]) for s in top_level_spans(body)]
    return Atom(kind, children=children)


def only_span(spans, kind):
    found = [s for s in spans if s.kind == kind]
    if len(found) != 1:
        raise MovError("expected one %r atom, found %d" % (kind, len(found)))
    return found[0]


@dataclass
class Track:
    stbl: Atom
    timescale: int
    handler: bytes
    offsets: list  # file offset of every sample
    sizes: list
    description_index: list  # sample description of every sample
    decode_times: list


def full_box_entries(atom, entry_format):
    count = struct.unpack_from(">I", atom.payload, 4)[0]
    size = struct.calcsize(entry_format)
    return [struct.unpack_from(entry_format, atom.payload, 8 + i * size) for i in range(count)]


def sample_sizes(stbl):
    payload = stbl.child(b"stsz").payload
    fixed, count = struct.unpack_from(">II", payload, 4)
    if fixed:
        return [fixed] * count
    return list(struct.unpack_from(">%dI" % count, payload, 12))


def chunk_offsets(stbl):
    if stbl.child(b"co64"):
        return [e[0] for e in full_box_entries(stbl.child(b"co64"), ">Q")]
    return [e[0] for e in full_box_entries(stbl.child(b"stco"), ">I")]


def sample_positions(stbl, sizes):
    chunks = chunk_offsets(stbl)
    runs = full_box_entries(stbl.child(b"stsc"), ">III")
    offsets, indexes = [], []
    for r, (first, per_chunk, description) in enumerate(runs):
        last = runs[r + 1][0] - 1 if r + 1 < len(runs) else len(chunks)
        for chunk in range(first - 1, last):
            position = chunks[chunk]
            for _ in range(per_chunk):
                offsets.append(position)
                indexes.append(description)
                position += sizes[len(offsets) - 1]
    if len(offsets) != len(sizes):
        raise MovError("sample tables disagree: %d positions, %d sizes" % (len(offsets), len(sizes)))
    return offsets, indexes


def decode_times(stbl):
    times, now = [], 0
    for count, delta in full_box_entries(stbl.child(b"stts"), ">II"):
        for _ in range(count):
            times.append(now)
            now += delta
    return times


def media_timescale(mdia):
    payload = mdia.child(b"mdhd").payload
    return struct.unpack_from(">I", payload, 20 if payload[0] == 1 else 12)[0]


def read_track(trak):
    mdia = trak.child(b"mdia")
    stbl = mdia.child(b"minf").child(b"stbl")
    sizes = sample_sizes(stbl)
    offsets, indexes = sample_positions(stbl, sizes)
    handler = mdia.child(b"hdlr").payload[8:12]
    return Track(stbl, media_timescale(mdia), handler, offsets, sizes, indexes, decode_times(stbl))


def build_chunks(track):
    """Chunks of contiguous samples with one sample description each."""
    chunks = []  # [offset, samples, description]
    for i, offset in enumerate(track.offsets):
        last = chunks[-1] if chunks else None
        if last and last[2] == track.description_index[i] and offset == track.offsets[i - 1] + track.sizes[i - 1]:
            last[1] += 1
        else:
            chunks.append([offset, 1, track.description_index[i]])
    return chunks


def full_box(entries_format, entries):
    body = b"".join(struct.pack(entries_format, *e) for e in entries)
    return struct.pack(">II", 0, len(entries)) + body


def rewrite_chunk_tables(track):
    chunks = build_chunks(track)
    runs = []
    for number, (_, samples, description) in enumerate(chunks, start=1):
        if not runs or runs[-1][1:] != (samples, description):
            runs.append((number, samples, description))
    wide = any(c[0] > UINT32_MAX for c in chunks)
    offsets_atom = Atom(b"co64" if wide else b"stco", full_box(">Q" if wide else ">I", [(c[0],) for c in chunks]))
    replacements = {b"stsc": Atom(b"stsc", full_box(">III", runs)), b"stco": offsets_atom, b"co64": offsets_atom}
    track.stbl.children = [replacements.get(a.kind, a) for a in track.stbl.children]


def rotation_matrix(degrees, width, height):
    """Display matrix (a, b, c, d, tx, ty) that shows the picture turned clockwise."""
    matrices = {0: (1, 0, 0, 1, 0, 0), 90: (0, 1, -1, 0, height, 0),
                180: (-1, 0, 0, -1, width, height), 270: (0, -1, 1, 0, 0, width)}
    if degrees not in matrices:
        raise MovError("rotation must be 0, 90, 180 or 270 degrees")
    return matrices[degrees]


def set_rotation(trak, degrees):
    tkhd = trak.child(b"tkhd")
    payload = bytearray(tkhd.payload)
    matrix_at = 52 if payload[0] == 1 else 40
    width, height = (v // FIXED_16_16 for v in struct.unpack_from(">II", payload, matrix_at + 36))
    a, b, c, d, tx, ty = rotation_matrix(degrees, width, height)
    struct.pack_into(">9i", payload, matrix_at, a * FIXED_16_16, b * FIXED_16_16, 0, c * FIXED_16_16,
                     d * FIXED_16_16, 0, tx * FIXED_16_16, ty * FIXED_16_16, FIXED_2_30)
    tkhd.payload = bytes(payload)


class Movie:
    """A whole clip in memory: top-level atoms plus the parsed moov."""

    def __init__(self, data):
        self.data = data
        self.spans = top_level_spans(data)
        self.mdat = only_span(self.spans, b"mdat")
        self.moov_span = only_span(self.spans, b"moov")
        if self.moov_span.offset < self.mdat.offset:
            raise MovError("the movie index must follow the media data")
        self.moov = parse_tree(b"moov", data[self.moov_span.offset + self.moov_span.header:self.moov_span.end])
        self.tracks = [read_track(t) for t in self.moov.children if t.kind == b"trak"]

    def video(self):
        for trak, track in zip((t for t in self.moov.children if t.kind == b"trak"), self.tracks):
            if track.handler == b"vide":
                return trak, track
        raise MovError("no video track")

    def second_starts(self, seconds):
        """File offset of the first video sample of seconds 1 .. seconds-1, then the end of the media:
        the places at which a camera finishes writing each second."""
        _, track = self.video()
        starts = []
        for second in range(1, seconds):
            first = bisect.bisect_left(track.decode_times, second * track.timescale)
            starts.append(track.offsets[first] if first < len(track.offsets) else self.media_end())
        return starts + [self.media_end()]

    def media_end(self):
        return max(o + s for t in self.tracks for o, s in zip(t.offsets, t.sizes))

    def insert_in_media(self, insertions):
        """Insert (position, bytes) pairs, in ascending position order, inside mdat; a piece goes before
        the sample that starts at its position. Returns the new file and each piece's new offset.
        The movie's sample tables are rewritten in place, so insert once per Movie."""
        positions = [position for position, _ in insertions]
        if positions != sorted(positions):
            raise MovError("insertions must be in ascending position order")
        for position in positions:
            if not self.mdat.offset + self.mdat.header <= position <= self.mdat.end:
                raise MovError("insertion at %d lies outside the media data" % position)
        growth = list(itertools.accumulate((len(piece) for _, piece in insertions), initial=0))
        for track in self.tracks:
            track.offsets = [o + growth[bisect.bisect_right(positions, o)] for o in track.offsets]
            rewrite_chunk_tables(track)
        out, placed, cursor = bytearray(), [], self.mdat.offset
        out += self.data[:self.mdat.offset] + self.mdat_header(sum(len(b) for _, b in insertions))
        cursor += self.mdat.header
        for position, piece in insertions:
            out += self.data[cursor:position]
            placed.append(len(out))
            out += piece
            cursor = position
        out += self.data[cursor:self.mdat.end]
        out += self.rest_after_mdat()
        return bytes(out), placed

    def mdat_header(self, growth):
        size = self.mdat.size + growth
        if self.mdat.header == LARGE_HEADER_SIZE:
            return struct.pack(">I4sQ", 1, b"mdat", size)
        if size > UINT32_MAX:
            raise MovError("media data too large for a 32-bit atom")
        return struct.pack(">I4s", size, b"mdat")

    def rest_after_mdat(self):
        out = bytearray()
        for span in self.spans:
            if span.offset < self.mdat.end:
                continue
            out += self.moov.serialize() if span.kind == b"moov" else self.data[span.offset:span.end]
        return bytes(out)

    def rotate(self, degrees):
        trak, _ = self.video()
        set_rotation(trak, degrees)

    def serialized(self):
        """The clip with the (possibly edited) movie index and unchanged media."""
        return self.data[:self.moov_span.offset] + self.moov.serialize() + self.data[self.moov_span.end:]


# Metadata and subtitle tracks: a `trak` whose samples are placed at the end of
# the media data, with its own handler (meta, text, sbtl, camm) and sample entry.

NULL_MEDIA_HEADER = b"nmhd"
TRACK_ENABLED = 0x1
MVHD_NEXT_TRACK_AT = {0: 96, 1: 108}
MVHD_TIMESCALE_AT = {0: 12, 1: 20}
IDENTITY_MATRIX = (FIXED_16_16, 0, 0, 0, FIXED_16_16, 0, 0, 0, FIXED_2_30)


def full_atom(kind, body, version=0, flags=0):
    return Atom(kind, struct.pack(">I", (version << 24) | flags) + body)


def sample_entry(format_code, extra=b""):
    """A sample description entry: six reserved bytes, data reference 1, then the format's own fields."""
    body = b"\0" * 6 + struct.pack(">H", 1) + extra
    return struct.pack(">I4s", HEADER_SIZE + len(body), format_code) + body


def tx3g_entry():
    """A 3GPP timed-text entry: display flags, justification, colours, text box, one style, a font table."""
    style = struct.pack(">HHHBB4B", 0, 0, 1, 0, 18, 255, 255, 255, 255)
    font_name = b"Sans"
    ftab = struct.pack(">I4sHHB", HEADER_SIZE + 5 + len(font_name), b"ftab", 1, 1, len(font_name)) + font_name
    fields = struct.pack(">IbB4B4h", 0, 1, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0) + style + ftab
    return sample_entry(b"tx3g", fields)


def handler_atom(handler, name):
    return full_atom(b"hdlr", struct.pack(">I4s12s", 0, handler, b"") + name.encode() + b"\0")


def data_reference():
    url = struct.pack(">I4sI", 12, b"url ", 1)  # flag 1: the media is in this file
    dref = struct.pack(">I4sII", HEADER_SIZE + 8 + len(url), b"dref", 0, 1) + url
    return Atom(b"dinf", dref)


def sample_table(entry, sizes, durations, offsets):
    runs = []
    for delta in durations:
        if runs and runs[-1][1] == delta:
            runs[-1][0] += 1
        else:
            runs.append([1, delta])
    return Atom(b"stbl", children=[
        full_atom(b"stsd", struct.pack(">I", 1) + entry),
        Atom(b"stts", full_box(">II", [tuple(r) for r in runs])),
        Atom(b"stsc", full_box(">III", [(1, 1, 1)])),  # one sample per chunk
        full_atom(b"stsz", struct.pack(">II", 0, len(sizes)) + b"".join(struct.pack(">I", s) for s in sizes)),
        Atom(b"stco", full_box(">I", [(o,) for o in offsets])),
    ])


def movie_header_fields(moov):
    payload = moov.child(b"mvhd").payload
    version = payload[0]
    return version, struct.unpack_from(">I", payload, MVHD_TIMESCALE_AT[version])[0]


def take_track_id(moov):
    mvhd = moov.child(b"mvhd")
    version = mvhd.payload[0]
    at = MVHD_NEXT_TRACK_AT[version]
    track_id = struct.unpack_from(">I", mvhd.payload, at)[0]
    mvhd.payload = mvhd.payload[:at] + struct.pack(">I", track_id + 1) + mvhd.payload[at + 4:]
    return track_id


def data_track(moov, handler, entry, sizes, durations, offsets, timescale):
    _, movie_timescale = movie_header_fields(moov)
    track_id = take_track_id(moov)
    seconds = sum(durations) / timescale
    tkhd = full_atom(b"tkhd", struct.pack(">IIIII8xhhhh9iII", 0, 0, track_id, 0, round(seconds * movie_timescale),
                                          0, 0, 0, 0, *IDENTITY_MATRIX, 0, 0), flags=TRACK_ENABLED)
    mdhd = full_atom(b"mdhd", struct.pack(">IIIIHH", 0, 0, timescale, sum(durations), 0x55C4, 0))  # language "und"
    minf = Atom(b"minf", children=[full_atom(NULL_MEDIA_HEADER, b""), data_reference(),
                                   sample_table(entry, sizes, durations, offsets)])
    mdia = Atom(b"mdia", children=[mdhd, handler_atom(handler, "VEK telemetry"), minf])
    return Atom(b"trak", children=[tkhd, mdia])


def add_data_track(movie, handler, entry, samples, durations, timescale=1000):
    """A new track of `samples` (bytes) lasting `durations` (in `timescale` units each), its samples
    appended to the media data. Returns the new file and each sample's offset. Once per Movie."""
    if len(samples) != len(durations) or not samples:
        raise MovError("a data track needs one duration per sample, and samples")
    offsets, at = [], movie.mdat.end
    for sample in samples:
        offsets.append(at)
        at += len(sample)
    movie.moov.children.append(data_track(movie.moov, handler, entry, [len(s) for s in samples], durations,
                                          offsets, timescale))
    data, placed = movie.insert_in_media([(movie.mdat.end, b"".join(samples))])
    if placed != offsets[:1]:
        raise MovError("samples placed at %s, expected %d" % (placed, offsets[0]))
    return data, offsets
