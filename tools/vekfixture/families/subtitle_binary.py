"""Binary subtitle samples of 290 bytes at 10 Hz: u16 BE 288, four zero bytes,
the camera clock "%Y%m%d%H%M%S" (local, +8 h) in 16 bytes, i32 LE y, x, z at
1/1280 g with y negated, a 128-byte "$GPRMC" and a 128-byte "$GPGGA" with the
checksums these cameras get wrong ("*00")."""
import datetime
import struct

from .. import mov
from . import common

RATE_HZ = 10
PER_G = 1280
SAMPLE_SIZE = 290
CAMERA_ZONE = datetime.timedelta(hours=8)


def sample(point, when, second_point, second_start):
    sentence, fix = common.rmc(second_point, second_start, good_checksum=False)
    y, x, z = -round(point.longitudinal_g * PER_G), round(point.lateral_g * PER_G), round(point.vertical_g * PER_G)
    body = bytearray(SAMPLE_SIZE)
    struct.pack_into(">HI", body, 0, SAMPLE_SIZE - 2, 0)
    body[6:20] = (when + CAMERA_ZONE).strftime("%Y%m%d%H%M%S").encode()
    struct.pack_into("<3i", body, 22, y, x, z)
    body[34:34 + len(sentence)] = sentence.encode()
    gga = "$GPGGA,%s,,,,,1,08,1.0,15.0,M,,M,,*00" % second_start.strftime("%H%M%S.00")
    body[162:162 + len(gga)] = gga.encode()
    return bytes(body), fix, [x / PER_G, -y / PER_G, z / PER_G]


def build(movie, options, points, drive_mod):
    samples, fixes, accel = [], [], []
    for when, point in common.second_points(points, drive_mod, options.clip_start, options.seconds, RATE_HZ):
        second_start = when.replace(microsecond=0)
        second_point = drive_mod.point_at(points, (second_start - options.clip_start).total_seconds())
        data, fix, g = sample(point, when, second_point, second_start)
        samples.append(data)
        accel.append(g)
        if not fixes or fixes[-1]["utc"] != fix["utc"]:
            fixes.append(fix)
    data, offsets = mov.add_data_track(movie, b"sbtl", mov.tx3g_entry(), samples, [100] * len(samples))
    payloads = [{"offset": o, "size": len(s)} for o, s in zip(offsets, samples)]
    readings = ["the RMC repeats in the ten samples of its second: one fix per second",
                "RMC checksums written wrong, as the cameras do; readers must not check them"]
    return data, common.description(7, "binary subtitle struct 0x0120", payloads, fixes, accel, readings), {}
