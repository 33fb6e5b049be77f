"""NMEA in a subtitle track (handler sbtl, tx3g entry): each one-second sample
is a u16 BE length and "gsensori,<range>,<sens>,X,Y,Z;GPRMC,...*cc;CAR,0,0"
(the RMC without its '$'; X, Y, Z are counts, g = count / sens)."""
import struct

from .. import mov
from . import common

SENSITIVITY = 512
RANGE = 2


def cue(point, when):
    sentence, fix = common.rmc(point, when)
    raw = [round(g * SENSITIVITY) for g in (point.lateral_g, point.longitudinal_g, point.vertical_g)]
    text = "gsensori,%d,%d,%d,%d,%d;%s;CAR,0,0" % (RANGE, SENSITIVITY, *raw, sentence[1:])
    return struct.pack(">H", len(text)) + text.encode(), fix, [v / SENSITIVITY for v in raw]


def build(movie, options, points, drive_mod):
    samples, fixes, accel = [], [], []
    for when, point in common.second_points(points, drive_mod, options.clip_start, options.seconds):
        sample, fix, g = cue(point, when)
        samples.append(sample)
        fixes.append(fix)
        accel.append(g)
    data, offsets = mov.add_data_track(movie, b"sbtl", mov.tx3g_entry(), samples, [1000] * len(samples))
    payloads = [{"offset": o, "size": len(s)} for o, s in zip(offsets, samples)]
    return data, common.description(6, "NMEA in a subtitle track", payloads, fixes, accel), {}
