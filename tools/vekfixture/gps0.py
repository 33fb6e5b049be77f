"""gps0 records and gsen G-sensor slots, appended as two top-level atoms.

gps0 atom: [32-bit size] then 32-byte records; record 0 begins with the
atom type "gps0". gsen atom: [32-bit size] then 12-byte slots; slot 0 begins
with the atom type "gsen", so its x field is the bytes "gs".
"""
import struct

from . import drive as drive_mod
from . import readers

GPS0_MARKER = b"gps0"
GSEN_MARKER = b"gsen"
RECORD_SIZE = 32
MIN_RECORDS = 15  # the reader always decodes fifteen records behind the marker
READER_CHUNK_STRIDE = 36  # the reader sizes its chunk in steps of 36 bytes
READER_GSENSOR_TAIL = (12, 8, 4)  # G bytes sit this far before the chunk's end
SLOT_SIZE = 12
SLOT_FIELD_OFFSETS = (0, 4, 8)  # x, y, z, two bytes each
SLOTS_PER_SECOND = 10
GSEN_UNIT = (1 << 16) / 1e9  # g per unit of a top-aligned 2-byte field read as /1e9
ARC_MS_PER_DEGREE = 3600 * 1000
INT16_LIMIT = 32767
YEAR_BASE = 2000


def record_count(seconds):
    return max(seconds, MIN_RECORDS)


def dms_x100(degrees):
    """Decimal degrees to the stored degrees*100 + minutes + seconds/100 form."""
    sign = -1 if degrees < 0 else 1
    arc_ms = round(abs(degrees) * ARC_MS_PER_DEGREE)
    whole, rest = divmod(arc_ms, ARC_MS_PER_DEGREE)
    minutes, seconds_ms = divmod(rest, 60 * 1000)
    return sign * (whole * 100 + minutes + seconds_ms / 100000)


def encode_record(buffer, base, point):
    when = point.time
    struct.pack_into("<dd", buffer, base + 4, dms_x100(point.latitude), dms_x100(point.longitude))
    buffer[base + 24] = min(255, round(point.speed_kmh))
    struct.pack_into("BBBBBB", buffer, base + 26, when.year - YEAR_BASE, when.month, when.day,
                     when.hour, when.minute, when.second)


def encode_gps0_atom(points, records):
    atom = bytearray(4 + RECORD_SIZE * records)
    for k in range(records):
        encode_record(atom, 4 + RECORD_SIZE * k, drive_mod.point_at(points, k))
    struct.pack_into(">I4s", atom, 0, len(atom), GPS0_MARKER)
    return bytes(atom)


def gsen_field(g):
    return max(-INT16_LIMIT, min(INT16_LIMIT, round(g / GSEN_UNIT)))


def encode_gsen_atom(points, slots):
    atom = bytearray(4 + SLOT_SIZE * slots)
    for i in range(slots):
        point = drive_mod.point_at(points, i / SLOTS_PER_SECOND)
        values = (point.lateral_g, point.longitudinal_g, point.vertical_g)
        for offset, g in zip(SLOT_FIELD_OFFSETS, values):
            struct.pack_into(">h", atom, 4 + SLOT_SIZE * i + offset, gsen_field(g))
    struct.pack_into(">I4s", atom, 0, len(atom), GSEN_MARKER)
    return bytes(atom)


def encode_atoms(points, seconds):
    records = record_count(seconds)
    return encode_gps0_atom(points, records) + encode_gsen_atom(points, SLOTS_PER_SECOND * records)


def describe_record(data, offset):
    lat_raw, lon_raw = struct.unpack_from("<dd", data, offset + 4)
    speed = data[offset + 24]
    date_time = tuple(data[offset + 26:offset + 32])
    lat = readers.gps0_position(lat_raw, readers.GPS0_LAT_CORRECTIONS)
    lon = readers.gps0_position(lon_raw, readers.GPS0_LON_CORRECTIONS)
    return {
        "offset": offset,
        "raw": {"lat_dms_x100": lat_raw, "lon_dms_x100": lon_raw, "speed": speed,
                **dict(zip(("year", "month", "day", "hour", "minute", "second"), date_time))},
        "decoded": {"speed": speed, "lat": lat, "lat_text": "%.7f" % lat, "lon": lon, "lon_text": "%.7f" % lon,
                    "label": readers.position_label(lat, lon),
                    "time_base": readers.gps0_time_base(*date_time)},
    }


def describe_slot(data, offset):
    fields = [data[offset + o:offset + o + 2] for o in SLOT_FIELD_OFFSETS]
    values, texts = readers.gsensor_triplet(fields)
    return {"offset": offset, "raw": [struct.unpack(">h", f)[0] for f in fields],
            "decoded": values, "text": texts}


def describe_reader_chunk(data, marker_offset):
    """The G bytes the gps0 reader takes from the end of its chunk."""
    length = len(data)
    n = (length - marker_offset) // READER_CHUNK_STRIDE
    offsets = [marker_offset + READER_CHUNK_STRIDE * n - back for back in READER_GSENSOR_TAIL]
    fields = [data[o:o + 1] for o in offsets]
    values, texts = readers.gsensor_triplet(fields)
    return {"marker_offset": marker_offset, "file_length": length, "n": n,
            "gsensor": {"offsets": offsets, "raw": [f[0] for f in fields], "decoded": values, "text": texts}}


def describe_atoms(data, gps0_atom_offset):
    gps0_marker = gps0_atom_offset + 4
    records = (struct.unpack_from(">I", data, gps0_atom_offset)[0] - 4) // RECORD_SIZE
    gsen_atom_offset = gps0_atom_offset + struct.unpack_from(">I", data, gps0_atom_offset)[0]
    gsen_marker = gsen_atom_offset + 4
    slots = (struct.unpack_from(">I", data, gsen_atom_offset)[0] - 4) // SLOT_SIZE
    for offset, marker in ((gps0_marker, GPS0_MARKER), (gsen_marker, GSEN_MARKER)):
        if data[offset:offset + 4] != marker:
            raise AssertionError("no %s marker at %d" % (marker.decode(), offset))
    return {
        "gps0": {"atom_offset": gps0_atom_offset, "marker_offset": gps0_marker,
                 "records": [describe_record(data, gps0_marker + RECORD_SIZE * k) for k in range(records)]},
        "gsen": {"atom_offset": gsen_atom_offset, "marker_offset": gsen_marker,
                 "slots": [describe_slot(data, gsen_marker + SLOT_SIZE * i) for i in range(slots)]},
        "gps0_chunk": describe_reader_chunk(data, gps0_marker),
    }
