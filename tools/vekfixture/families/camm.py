"""camm metadata track (handler camm, entry camm): per one-second sample a
type-6 packet (f64 seconds since 1980-01-06, i32 fix, f64 lat, lon, f32 alt,
accuracies, velocity east/north/up, speed accuracy) then a type-3 packet
(f32 x3 acceleration, m/s2); all little-endian."""
import calendar
import math
import struct

from .. import mov
from . import common

GPS_EPOCH_UNIX = 315964800
FIX_3D = 3


def sample(point, when):
    seconds = calendar.timegm(when.timetuple()) + when.microsecond / 1e6 - GPS_EPOCH_UNIX
    speed = point.speed_kmh / 3.6
    east = struct.unpack("<f", struct.pack("<f", speed * math.sin(math.radians(point.heading_deg))))[0]
    north = struct.unpack("<f", struct.pack("<f", speed * math.cos(math.radians(point.heading_deg))))[0]
    gps = struct.pack("<HHdidd7f", 0, 6, seconds, FIX_3D, point.latitude, point.longitude, 15.0, 3.0, 5.0,
                      east, north, 0.0, 0.5)
    accel_f32 = [struct.unpack("<f", struct.pack("<f", g * common.STANDARD_GRAVITY))[0]
                 for g in (point.lateral_g, point.longitudinal_g, point.vertical_g)]
    accel = struct.pack("<HH3f", 0, 3, *accel_f32)
    course = math.degrees(math.atan2(east, north)) % 360
    fix = common.fix(when, point.latitude, point.longitude, math.hypot(east, north) * 3.6,
                     course if speed > 0 else None)
    return gps + accel, fix, [a / common.STANDARD_GRAVITY for a in accel_f32]


def build(movie, options, points, drive_mod):
    samples, fixes, accel = [], [], []
    for when, point in common.second_points(points, drive_mod, options.clip_start, options.seconds):
        data, fix, g = sample(point, when)
        samples.append(data)
        fixes.append(fix)
        accel.append(g)
    data, offsets = mov.add_data_track(movie, b"camm", mov.sample_entry(b"camm"), samples, [1000] * len(samples))
    payloads = [{"offset": o, "size": len(s), "start": i, "duration": 1.0} for i, (o, s) in enumerate(zip(offsets, samples))]
    readings = ["type-6 time in seconds since 1980-01-06 without leap seconds, as peers read it"]
    precision = {"degrees": 1e-9, "speed_kmh": 1e-4, "course": 1e-3, "seconds": 1e-3, "g": 1e-5}
    return data, common.description(11, "camm metadata track", payloads, fixes, accel, readings, precision), {}
