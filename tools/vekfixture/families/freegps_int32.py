"""freeGPS atoms with an int32 DDMM fix, appended after the movie, a few per
second as the cameras repeat them with every frame: 'A' at A+30, signed
DDMM x 1e5 latitude and longitude at A+31/A+35, course in degrees at A+39,
km/h at A+43, "VV" at A+51, the u16 at A+12 repeated at A+18, a zero u16 at
A+14, and one clock value (unix seconds 8 h behind UTC) at A+0x16D."""
import calendar
import struct

from . import common

ATOM_SIZE = 512
REPEATS = 3  # atoms per second, identical within the second
CLOCK_AT = 0x16D
CLOCK_BEHIND_UTC_S = 8 * 3600
TAG = 0x0102


def ddmm_e5(degrees):
    minutes_e5 = round(abs(degrees) * 60 * 100000)
    whole, rest = divmod(minutes_e5, 60 * 100000)
    value = whole + rest / 100000 / 60
    raw = whole * 10000000 + rest
    return (-raw, -value) if degrees < 0 else (raw, value)


def atom(point, clock):
    data = bytearray(ATOM_SIZE)
    struct.pack_into(">I4s4s", data, 0, ATOM_SIZE, b"free", b"GPS ")
    struct.pack_into("<HH", data, 12, TAG, 0)
    struct.pack_into("<H", data, 18, TAG)
    lat_raw, lat = ddmm_e5(point.latitude)
    lon_raw, lon = ddmm_e5(point.longitude)
    course, speed = round(point.heading_deg) % 360, round(point.speed_kmh)
    data[30:31] = b"A"
    struct.pack_into("<iiii", data, 31, lat_raw, lon_raw, course, speed)
    data[51:53] = b"VV"
    struct.pack_into("<I", data, CLOCK_AT, clock)
    return bytes(data), lat, lon, course, speed


def build(movie, options, points, drive_mod):
    clock = calendar.timegm(options.clip_start.timetuple()) - CLOCK_BEHIND_UTC_S
    atoms, fixes, payloads = [], [], []
    base = movie.serialized()
    for when, point in common.second_points(points, drive_mod, options.clip_start, options.seconds):
        data, lat, lon, course, speed = atom(point, clock)
        for _ in range(REPEATS):
            payloads.append({"offset": len(base) + len(atoms) * ATOM_SIZE, "size": ATOM_SIZE})
            atoms.append(data)
        fixes.append(common.fix(when, lat, lon, float(speed), float(course)))
    readings = ["repeated atoms collapsed, one fix a second from the first atom's clock",
                "the clock at A+0x16D is 8 h behind UTC, like the CSV log's"]
    description = common.description(4, "freeGPS int32 DDMM block", payloads, fixes, (), readings)
    return base + b"".join(atoms), description, {}
