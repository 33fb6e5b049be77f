"""freeGPS boxes: one "free" atom per second, as the cameras write them.

Atom layout: [32-bit size]["free"]["GPS "] ... so the 7-byte marker
"freeGPS" starts at the atom type; the 332-byte box starts 44 bytes after
the marker and the rest of the atom is zero.
"""
import datetime
import struct

from . import drive as drive_mod
from . import mov, readers

MARKER = b"freeGPS"
BOX_FROM_MARKER = 44  # the box starts this far behind the marker's first byte
BOX_SIZE = 332
SAMPLES_PER_BOX = 10  # ten samples a second
SAMPLE_STRIDE = 32
GSENSOR_BOX_OFFSETS = (320, 324, 328)  # one byte each: x, y, z
MIN_ATOM_SIZE = 4 + BOX_FROM_MARKER + BOX_SIZE  # size field + marker gap + box
DEFAULT_ATOM_SIZE = 0x8000  # what the cameras reserve per second
STATUS_FIX_VALID = ord("A")
CM_PER_S_PER_KMH = 1 / 0.036  # the readers multiply the stored cm/s by 0.036
SPEED_KMH_PER_UNIT = 0.036
GSENSOR_BYTE_UNIT = (1 << 24) / 1e9  # g per unit of a top-aligned byte read as /1e9
HEADING_UNIT = (1 << 16) / 1e7  # degrees per unit of a top-aligned 2-byte field read as /1e7
INT16_MAX = 32767


def clamp_byte(value):
    return max(-128, min(127, value))


def gsensor_byte(g):
    return clamp_byte(round(g / GSENSOR_BYTE_UNIT)) & 0xFF


def heading_field(heading):
    """Stored heading; beyond a signed 16-bit field it is stored as heading - 360."""
    units = round(heading / HEADING_UNIT)
    if units > INT16_MAX:
        units = round((heading - 360) / HEADING_UNIT)
    return units & 0xFFFF


def sample_time(start, second, index):
    return start + datetime.timedelta(seconds=second, milliseconds=100 * index)


def encode_box(points, start, second):
    box = bytearray(BOX_SIZE)
    for j in range(SAMPLES_PER_BOX):
        point = drive_mod.point_at(points, second + j / SAMPLES_PER_BOX)
        when = sample_time(start, second, j)
        base = SAMPLE_STRIDE * j
        struct.pack_into(">HH", box, base + 2, round(point.speed_kmh * CM_PER_S_PER_KMH),
                         heading_field(point.heading_deg))
        struct.pack_into(">HBii", box, base + 12, when.second * 10 + when.microsecond // 100000,
                         STATUS_FIX_VALID, round(point.latitude * 1e7), round(point.longitude * 1e7))
    header_time = sample_time(start, second, 0)
    struct.pack_into(">HBBBB", box, 6, header_time.year, header_time.month, header_time.day,
                     header_time.hour, header_time.minute)
    box_point = drive_mod.point_at(points, second)
    for offset, g in zip(GSENSOR_BOX_OFFSETS, (box_point.lateral_g, box_point.longitudinal_g,
                                                box_point.vertical_g)):
        box[offset] = gsensor_byte(g)
    return bytes(box)


def encode_atom(points, start, second, atom_size):
    atom = bytearray(atom_size)
    struct.pack_into(">I4s4s", atom, 0, atom_size, b"free", b"GPS ")
    atom[4 + BOX_FROM_MARKER:4 + BOX_FROM_MARKER + BOX_SIZE] = encode_box(points, start, second)
    return bytes(atom)


def encode_atoms(points, start, seconds, atom_size):
    if atom_size < MIN_ATOM_SIZE:
        raise ValueError("a freeGPS atom needs at least %d bytes" % MIN_ATOM_SIZE)
    return [encode_atom(points, start, second, atom_size) for second in range(seconds)]


def describe_sample(data, box_offset, j, header):
    offset = box_offset + SAMPLE_STRIDE * j
    speed, degrees = struct.unpack_from(">HH", data, offset + 2)
    seconds_x10, status, lat_e7, lon_e7 = struct.unpack_from(">HBii", data, offset + 12)
    heading = readers.scaled_top_aligned(data[offset + 4:offset + 6], readers.DEGREES_SCALE)
    lat = readers.f32_div(lat_e7, readers.FLOAT32_LAT_LON_SCALE)
    lon = readers.f32_div(lon_e7, readers.FLOAT32_LAT_LON_SCALE)
    return {
        "offset": offset,
        "raw": {"speed": speed, "degrees": degrees, "seconds_x10": seconds_x10, "status": status,
                "lat_e7": lat_e7, "lon_e7": lon_e7},
        "decoded": {
            "speed_kmh": speed * SPEED_KMH_PER_UNIT, "speed_text": "%f" % (speed * SPEED_KMH_PER_UNIT),
            "degrees": heading, "degrees_text": "%.2f" % heading,
            "seconds": readers.f32_div(seconds_x10, 10),
            "time_key": readers.freegps_time_key(*header, seconds_x10),
            "lat": lat, "lat_text": "%.7f" % lat, "lon": lon, "lon_text": "%.7f" % lon,
            "label": readers.position_label(lat_e7 / 1e7, lon_e7 / 1e7),
            "stat": status,
        },
    }


def describe_atom(data, atom_offset):
    """The box of the atom at `atom_offset`, read back from the final file bytes."""
    marker_offset = atom_offset + 4
    if data[marker_offset:marker_offset + len(MARKER)] != MARKER:
        raise AssertionError("no freeGPS marker at %d" % marker_offset)
    box_offset = marker_offset + BOX_FROM_MARKER
    header = struct.unpack_from(">HBBBB", data, box_offset + 6)
    fields = [data[box_offset + o:box_offset + o + 1] for o in GSENSOR_BOX_OFFSETS]
    values, texts = readers.gsensor_triplet(fields)
    return {
        "atom_offset": atom_offset,
        "atom_size": struct.unpack_from(">I", data, atom_offset)[0],
        "marker_offset": marker_offset,
        "box_offset": box_offset,
        "header": dict(zip(("year", "month", "day", "hour", "minute"), header)),
        "gsensor": {"offsets": [box_offset + o for o in GSENSOR_BOX_OFFSETS],
                    "raw": [field[0] for field in fields], "decoded": values, "text": texts},
        "samples": [describe_sample(data, box_offset, j, header) for j in range(SAMPLES_PER_BOX)],
    }


INDEX_TYPE = b"gps "
INDEX_VERSION_FLAGS = 0x00000101  # what the cameras write before the entry count
INDEX_ENTRY = ">II"  # box offset, box size: 32-bit big-endian
UINT32_MAX = 0xFFFFFFFF
BROKEN_ENTRY_SHIFT = 16  # the broken variant points one entry into its box's payload


def index_atom_size(boxes):
    return 8 + 8 + 8 * boxes


def index_atom(entries):
    payload = struct.pack(">II", INDEX_VERSION_FLAGS, len(entries))
    payload += b"".join(struct.pack(INDEX_ENTRY, offset, size) for offset, size in entries)
    return struct.pack(">I4s", 8 + len(payload), INDEX_TYPE) + payload


def add_index(data, placed, atom_size, broken):
    """Appends the `gps ` index to moov, as the cameras write it; boxes behind moov move by its size.
    Returns the new bytes, the boxes' new offsets and the index description."""
    moov = mov.only_span(mov.top_level_spans(data), b"moov")
    if moov.header != mov.HEADER_SIZE:
        raise mov.MovError("the movie index has a 64-bit size")
    grow = index_atom_size(len(placed))
    shifted = [at + grow if at >= moov.end else at for at in placed]
    if any(at > UINT32_MAX for at in shifted):
        raise mov.MovError("a box lies beyond the index's 32-bit offsets")
    entries = [(at, atom_size) for at in shifted]
    broken_entry = None
    if broken:
        broken_entry = len(entries) // 2
        entries[broken_entry] = (entries[broken_entry][0] + BROKEN_ENTRY_SHIFT, atom_size)
    header = struct.pack(">I4s", moov.size + grow, b"moov")
    out = data[:moov.offset] + header + data[moov.offset + mov.HEADER_SIZE:moov.end] + index_atom(entries)
    out += data[moov.end:]
    description = {"variant": "broken" if broken else "camera", "atom_offset": moov.end,
                   "entries": [list(e) for e in entries], "broken_entry": broken_entry}
    return out, shifted, description
