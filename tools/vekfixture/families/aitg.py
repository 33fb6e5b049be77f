"""A RIFF-style trailer after the last atom: a "gps0" chunk (4cc, u32 LE
length) of 40-byte "AITG" records (f64 LE DDMM latitude and longitude at +8
and +16 without sign, u16 knots at +0x18, year-1900, month, day, hour, minute,
second at +0x1A, course/2 at +0x20, hemisphere bytes at +0x21/+0x22, u32 ms
since the start at +0x24), then a "gsen" chunk of 12-byte "AITS" records
(i8 x3 at 1/24 g, u32 ms at +8) ten a second."""
import struct

from . import common

ACCEL_PER_G = 24
ACCEL_HZ = 10
NORTH_EAST, SOUTH_WEST = 1, 2


def ddmm(degrees):
    minutes = abs(degrees) * 60
    whole = int(minutes // 60)
    ddmm_value = whole * 100 + (minutes - whole * 60)
    read_back = int(ddmm_value // 100) + (ddmm_value - int(ddmm_value // 100) * 100) / 60
    return ddmm_value, -read_back if degrees < 0 else read_back


def fix_record(k, point, when):
    lat_ddmm, lat = ddmm(point.latitude)
    lon_ddmm, lon = ddmm(point.longitude)
    knots = round(point.speed_kmh / common.KMH_PER_KNOT)
    half_course = int(point.heading_deg // 2)
    data = b"AITG" + bytes(4) + struct.pack("<ddH6BBBBBI", lat_ddmm, lon_ddmm, knots, when.year - 1900, when.month,
                                            when.day, when.hour, when.minute, when.second, half_course,
                                            SOUTH_WEST if point.latitude < 0 else NORTH_EAST,
                                            SOUTH_WEST if point.longitude < 0 else NORTH_EAST, 0, k * 1000)
    return data, common.fix(when, lat, lon, knots * common.KMH_PER_KNOT, half_course * 2.0)


def accel_records(points, drive_mod, options):
    records, accel = [], []
    for k in range(options.seconds * ACCEL_HZ):
        p = drive_mod.point_at(points, k / ACCEL_HZ)
        raw = [max(-127, min(127, round(g * ACCEL_PER_G))) for g in (p.lateral_g, p.longitudinal_g, p.vertical_g)]
        records.append(b"AITS" + struct.pack("<3bxI", *raw, k * 1000 // ACCEL_HZ))
        accel.append([v / ACCEL_PER_G for v in raw])
    return records, accel


def chunk(kind, payload):
    return kind + struct.pack("<I", len(payload)) + payload


def build(movie, options, points, drive_mod):
    records, fixes = [], []
    for k, (when, point) in enumerate(common.second_points(points, drive_mod, options.clip_start, options.seconds)):
        data, fix = fix_record(k, point, when)
        records.append(data)
        fixes.append(fix)
    accel_bytes, accel = accel_records(points, drive_mod, options)
    for k, fix in enumerate(fixes):
        fix["accel"] = accel[k * ACCEL_HZ]  # the first AITS sample at or after the fix's time
    base = movie.serialized()
    gps0 = chunk(b"gps0", b"".join(records))
    trailer = gps0 + chunk(b"gsen", b"".join(accel_bytes))
    readings = ["records start with AITG and 4 unknown bytes; positions at +8 and +16",
                "hemisphere bytes 1 = north or east, 2 = south or west (guessed upstream)",
                "record times taken as UTC", "AITS acceleration at 1/24 g (guessed upstream)"]
    # the acceleration a reader keeps is the samples on the fixes
    description = common.description(8, "AITG gps0 trailer", [{"offset": len(base), "size": len(trailer)}],
                                     fixes, (), readings)
    return base + trailer, description, {}
