"""A top-level `free` atom whose payload is child atoms: `sttm` (camera-local
ms since 1970), `gps ` (lines "[<unix ms>]$GPRMC,...", NUL padded) and `3gf `
(10-byte BE records: u32 ms, i16 vertical, lateral, longitudinal at 1/128 g,
10 Hz, then 0xFFFFFFFF). The same logs are written as NAME.gps and NAME.3gf."""
import calendar
import struct

from . import common

ACCEL_PER_G = 128
ACCEL_HZ = 10
END_MARK = b"\xff" * 10
GPS_PADDING = 256
CAMERA_ZONE_MS = 8 * 3600 * 1000


def unix_ms(when):
    return calendar.timegm(when.timetuple()) * 1000 + when.microsecond // 1000


def child(kind, payload):
    return struct.pack(">I4s", 8 + len(payload), kind) + payload


def gps_log(points, drive_mod, options):
    lines, fixes = [], []
    for when, point in common.second_points(points, drive_mod, options.clip_start, options.seconds):
        sentence, fix = common.rmc(point, when)
        lines.append("[%013d]%s\n" % (unix_ms(when) + CAMERA_ZONE_MS, sentence))
        fixes.append(fix)
    return "".join(lines).encode() + b"\0" * GPS_PADDING, fixes


def accel_log(points, drive_mod, options):
    records, accel = [], []
    for k in range(options.seconds * ACCEL_HZ):
        p = drive_mod.point_at(points, k / ACCEL_HZ)
        vertical, lateral, longitudinal = (round(g * ACCEL_PER_G) for g in (p.vertical_g, p.lateral_g, p.longitudinal_g))
        records.append(struct.pack(">I3h", k * 1000 // ACCEL_HZ, vertical, lateral, longitudinal))
        accel.append([lateral / ACCEL_PER_G, longitudinal / ACCEL_PER_G, vertical / ACCEL_PER_G])
    return b"".join(records) + END_MARK, accel


def build(movie, options, points, drive_mod):
    base = movie.serialized()
    gps, fixes = gps_log(points, drive_mod, options)
    accel_bytes, accel = accel_log(points, drive_mod, options)
    sttm = struct.pack(">Q", unix_ms(options.clip_start) + CAMERA_ZONE_MS)
    payload = child(b"sttm", sttm) + child(b"gps ", gps) + child(b"3gf ", accel_bytes)
    box = struct.pack(">I4s", 8 + len(payload), b"free") + payload
    payloads = [{"offset": len(base) + 8, "size": len(payload)}]
    readings = ["3gf acceleration at 1/128 g per unit (a peer checked a real file), not 1/10",
                "the bracketed clock is camera-local (8 h ahead); fixes take the RMC's UTC"]
    sidecars = {".gps": gps, ".3gf": accel_bytes}
    return base + box, common.description(5, "free box with gps/3gf children", payloads, fixes, accel, readings,
                                          sidecars=sorted(sidecars)), sidecars
