"""XOR-0xAA ASCII records in a text track: 282-byte samples whose plain text is
"\\0\\0XKZD\\xfe\\xfe", YYYYMMDDhhmmss at 8, N/S + DD + minutes x 1e4 at 38,
E/W + DDD + minutes x 1e4 at 47, altitude [-+]dddd at 0x39, km/h ddd at 0x3E,
acceleration [-+]ddd x3 /100 g from 0x41; every byte XOR 0xAA."""
from .. import mov
from . import common

SAMPLE_SIZE = 282
KEY = 0xAA


def coordinate(degrees, degree_digits, letters):
    minutes_e4 = round(abs(degrees) * 60 * 10000)
    whole, rest = divmod(minutes_e4, 60 * 10000)
    text = "%s%0*d%06d" % (letters[degrees < 0], degree_digits, whole, rest)
    value = whole + rest / 10000 / 60
    return text, -value if degrees < 0 else value


def record(point, when):
    plain = bytearray(SAMPLE_SIZE)
    lat_text, lat = coordinate(point.latitude, 2, "NS")
    lon_text, lon = coordinate(point.longitude, 3, "EW")
    speed = min(999, round(point.speed_kmh))
    raw = [max(-999, min(999, round(g * 100))) for g in (point.lateral_g, point.longitudinal_g, point.vertical_g)]
    fields = {2: b"XKZD\xfe\xfe", 8: when.strftime("%Y%m%d%H%M%S").encode(), 38: lat_text.encode(),
              47: lon_text.encode(), 0x39: b"+0015", 0x3E: b"%03d" % speed,
              0x41: b"".join(b"%+04d" % v for v in raw)}
    for at, text in fields.items():
        plain[at:at + len(text)] = text
    fix = common.fix(when, lat, lon, float(speed))
    fix["accel"] = [v / 100 for v in raw]
    return bytes(b ^ KEY for b in plain), fix


def build(movie, options, points, drive_mod):
    samples, fixes = [], []
    for when, point in common.second_points(points, drive_mod, options.clip_start, options.seconds):
        data, fix = record(point, when)
        samples.append(data)
        fixes.append(fix)
    data, offsets = mov.add_data_track(movie, b"text", mov.tx3g_entry(), samples, [1000] * len(samples))
    payloads = [{"offset": o, "size": len(s)} for o, s in zip(offsets, samples)]
    readings = ["clock taken as UTC", "speed from the 3 digits at 0x3E of the decrypted text"]
    return data, common.description(10, "XOR-0xAA text records", payloads, fixes, (), readings), {}
