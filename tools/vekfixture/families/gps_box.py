"""A top-level "GPS " atom after the movie: 36-byte LE records (u32 1, u32
has-fix, u32 seconds since the start, u32 m/h, 'N'/'S' + u32 DDMM.mmm x 1000,
'E'/'W' + u32 DDDMM.mmm x 1000, ten zero bytes), then an all-zero record. The
records carry no date: the movie header's creation time is the start."""
import calendar
import struct

from . import common

RECORD = 36
SECONDS_1904_TO_1970 = 2082844800
MVHD_CREATION_AT = {0: 4, 1: 4}


def ddmm_e3(degrees):
    minutes_e3 = round(abs(degrees) * 60 * 1000)
    whole, rest = divmod(minutes_e3, 60 * 1000)
    value = whole + rest / 1000 / 60
    return whole * 100000 + rest, -value if degrees < 0 else value


def set_creation(movie, when):
    mvhd = movie.moov.child(b"mvhd")
    created = calendar.timegm(when.timetuple()) + SECONDS_1904_TO_1970
    if mvhd.payload[0] == 1:
        mvhd.payload = mvhd.payload[:4] + struct.pack(">Q", created) + mvhd.payload[12:]
    else:
        mvhd.payload = mvhd.payload[:4] + struct.pack(">I", created) + mvhd.payload[8:]


def record(k, point, when):
    lat_raw, lat = ddmm_e3(point.latitude)
    lon_raw, lon = ddmm_e3(point.longitude)
    speed = round(point.speed_kmh * 1000)
    data = struct.pack("<IIII", 1, 1, k, speed) + b"NS"[point.latitude < 0:][:1] + struct.pack("<I", lat_raw) + \
        b"EW"[point.longitude < 0:][:1] + struct.pack("<I", lon_raw)
    return data + bytes(RECORD - len(data)), common.fix(when, lat, lon, speed / 1000)


def build(movie, options, points, drive_mod):
    set_creation(movie, options.clip_start)
    records, fixes = [], []
    for k, (when, point) in enumerate(common.second_points(points, drive_mod, options.clip_start, options.seconds)):
        data, fix = record(k, point, when)
        records.append(data)
        fixes.append(fix)
    payload = b"".join(records) + bytes(RECORD)
    base = movie.serialized()
    readings = ["the movie header's creation time is the start, taken as UTC",
                "records little-endian like the family's other forms"]
    description = common.description(4, "top-level GPS box", [{"offset": len(base) + 8, "size": len(payload)}],
                                     fixes, (), readings)
    return base + struct.pack(">I4s", 8 + len(payload), b"GPS ") + payload, description, {}
