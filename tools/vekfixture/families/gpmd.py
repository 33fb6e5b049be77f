"""gpmd metadata track (GPMF key-length-value, big-endian): per one-second
sample a GPS stream (GPSF, GPSU, GPSP, SCAL, GPS5 at 5 Hz) and an ACCL stream
(10 Hz, SCAL 418 per m/s2)."""
import datetime
import struct

from .. import mov
from . import common

GPS_HZ = 5
ACCEL_HZ = 10
GPS5_SCALE = (10000000, 10000000, 1000, 1000, 100)
ACCEL_SCALE = 418
FIX_3D = 3
DOP_X100 = 150


def klv(key, type_char, size, values_bytes, repeat):
    padding = (-len(values_bytes)) % 4
    return struct.pack(">4scBH", key, type_char, size, repeat) + values_bytes + b"\0" * padding


def nest(key, children):
    return struct.pack(">4sBBH", key, 0, 1, len(children)) + children


def gps_stream(rows, start):
    gps5 = b"".join(struct.pack(">5i", *r) for r in rows)
    return nest(b"STRM", b"".join([
        klv(b"GPSF", b"L", 4, struct.pack(">I", FIX_3D), 1),
        klv(b"GPSU", b"U", 16, start.strftime("%y%m%d%H%M%S").encode() + b".%03d" % (start.microsecond // 1000), 1),
        klv(b"GPSP", b"S", 2, struct.pack(">H", DOP_X100), 1),
        klv(b"SCAL", b"l", 4, struct.pack(">5i", *GPS5_SCALE), 5),
        klv(b"GPS5", b"l", 20, gps5, len(rows)),
    ]))


def accel_stream(rows):
    return nest(b"STRM", klv(b"SCAL", b"s", 2, struct.pack(">h", ACCEL_SCALE), 1) +
                klv(b"ACCL", b"s", 6, b"".join(struct.pack(">3h", *r) for r in rows), len(rows)))


def second_sample(points, drive_mod, start, second):
    rows, fixes = [], []
    for i in range(GPS_HZ):
        t = second + i / GPS_HZ
        p = drive_mod.point_at(points, t)
        row = (round(p.latitude * 1e7), round(p.longitude * 1e7), 15000, round(p.speed_kmh / 3.6 * 1000),
               round(p.speed_kmh / 3.6 * 100))
        rows.append(row)
        fixes.append(common.fix(start + datetime.timedelta(seconds=t), row[0] / 1e7, row[1] / 1e7,
                                row[3] / 1000 * 3.6))
    accel_rows, accel = [], []
    for i in range(ACCEL_HZ):
        p = drive_mod.point_at(points, second + i / ACCEL_HZ)
        raw = [round(g * common.STANDARD_GRAVITY * ACCEL_SCALE) for g in (p.lateral_g, p.longitudinal_g, p.vertical_g)]
        accel_rows.append(raw)
        accel.append([v / ACCEL_SCALE / common.STANDARD_GRAVITY for v in raw])
    sample = nest(b"DEVC", gps_stream(rows, start + datetime.timedelta(seconds=second)) + accel_stream(accel_rows))
    return sample, fixes, accel


def build(movie, options, points, drive_mod):
    samples, fixes, accel = [], [], []
    for second in range(options.seconds):
        sample, f, a = second_sample(points, drive_mod, options.clip_start, second)
        samples.append(sample)
        fixes += f
        accel += a
    data, offsets = mov.add_data_track(movie, b"meta", mov.sample_entry(b"gpmd"), samples, [1000] * len(samples))
    payloads = [{"offset": o, "size": len(s), "start": i, "duration": 1.0} for i, (o, s) in enumerate(zip(offsets, samples))]
    readings = ["GPSU is the time of the sample's first GPS5 point; the points are spread evenly over the 1 s sample",
                "ACCL axes stored in the order x (lateral), y (longitudinal), z (vertical)"]
    return data, common.description(2, "gpmd GPMF", payloads, fixes, accel, readings), {}
