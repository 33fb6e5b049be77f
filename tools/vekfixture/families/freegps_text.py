"""freeGPS atoms carrying text: the camera clock (local, +8 h) as 14 digits at
A+52, acceleration 3 x i32 LE /256 g at A+68, then " $GPRMC...". One 1 KiB atom
per second, appended after the top-level atoms."""
import datetime
import struct

from . import common

ATOM_SIZE = 0x400
CLOCK_AT = 52
ACCEL_AT = 68
TEXT_AT = 80
ACCEL_PER_G = 256
CAMERA_ZONE = datetime.timedelta(hours=8)


def atom(point, when):
    body = bytearray(ATOM_SIZE)
    struct.pack_into(">I4s4s", body, 0, ATOM_SIZE, b"free", b"GPS ")
    body[CLOCK_AT:CLOCK_AT + 14] = (when + CAMERA_ZONE).strftime("%Y%m%d%H%M%S").encode()
    raw = [round(g * ACCEL_PER_G) for g in (point.lateral_g, point.longitudinal_g, point.vertical_g)]
    struct.pack_into("<3i", body, ACCEL_AT, *raw)
    sentence, fix = common.rmc(point, when)
    text = (" " + sentence + "\r\n").encode()
    body[TEXT_AT:TEXT_AT + len(text)] = text
    return bytes(body), fix, [v / ACCEL_PER_G for v in raw]


def build(movie, options, points, drive_mod):
    base = movie.serialized()
    atoms, fixes, payloads = [], [], []
    for when, point in common.second_points(points, drive_mod, options.clip_start, options.seconds):
        data, fix, accel = atom(point, when)
        fix["accel"] = accel
        payloads.append({"offset": len(base) + len(atoms) * ATOM_SIZE, "size": ATOM_SIZE})
        atoms.append(data)
        fixes.append(fix)
    readings = ["time from the RMC sentence (UTC); the 14-digit camera clock is local time, 8 h ahead"]
    return base + b"".join(atoms), common.description(3, "freeGPS with NMEA text", payloads, fixes, (), readings), {}
