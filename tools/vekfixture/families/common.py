"""What every family fixture shares: the fixes a reader must decode, NMEA text
as the cameras write it, and the JSON shape of a family fixture."""
import datetime
import functools

KMH_PER_KNOT = 1.852
STANDARD_GRAVITY = 9.80665


def utc_text(when):
    return when.strftime("%Y-%m-%dT%H:%M:%S.") + "%03dZ" % (when.microsecond // 1000)


def fix(when, lat, lon, speed_kmh, course=None, valid=True):
    return {"utc": utc_text(when), "lat": lat, "lon": lon, "speed_kmh": speed_kmh, "course": course, "valid": valid}


def checksum(body):
    return "%02X" % functools.reduce(lambda a, c: a ^ ord(c), body, 0)


def ddmm(degrees, degree_digits):
    """(text, hemisphere index, value read back) of |degrees| as D..DMM.MMMM."""
    minutes_e4 = round(abs(degrees) * 60 * 10000)
    whole, rest = divmod(minutes_e4, 60 * 10000)
    text = "%0*d%02d.%04d" % (degree_digits, whole, rest // 10000, rest % 10000)
    read_back = whole + rest / 10000 / 60
    return text, 0 if degrees >= 0 else 1, read_back if degrees >= 0 else -read_back


def rmc(point, when, talker="GP", good_checksum=True):
    """("$GPRMC,...*hh", the fix a reader gets from it)."""
    lat_text, lat_h, lat = ddmm(point.latitude, 2)
    lon_text, lon_h, lon = ddmm(point.longitude, 3)
    knots = round(point.speed_kmh / KMH_PER_KNOT, 2)
    course = round(point.heading_deg, 2) % 360
    body = "%sRMC,%s.%02d,A,%s,%s,%s,%s,%.2f,%.2f,%s,,,A" % (
        talker, when.strftime("%H%M%S"), when.microsecond // 10000, lat_text, "NS"[lat_h], lon_text, "EW"[lon_h],
        knots, course, when.strftime("%d%m%y"))
    sentence = "$%s*%s" % (body, checksum(body) if good_checksum else "00")
    return sentence, fix(when, lat, lon, knots * KMH_PER_KNOT, course)


def second_points(points, drive_mod, start, seconds, per_second=1):
    """(time, point) every 1/per_second seconds of the clip."""
    out = []
    for k in range(seconds * per_second):
        t = k / per_second
        out.append((start + datetime.timedelta(seconds=t), drive_mod.point_at(points, t)))
    return out


def description(family, name, payloads, fixes, accel=(), readings=(), precision=None, sidecars=()):
    return {
        "family": family, "family_name": name,
        "payloads": payloads,  # where the decoder's input lies: file offsets and sizes, or sidecar names
        "fixes": list(fixes), "accel": [list(a) for a in accel],
        "readings": list(readings),  # which reading of an uncertain fact the fixture took
        "precision": precision or {"degrees": 1e-7, "speed_kmh": 1e-6, "course": 1e-6, "seconds": 1e-3, "g": 1e-4},
        "sidecars": list(sidecars),
    }
