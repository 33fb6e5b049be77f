"""The card-wide "$V02" CSV log GPSDataNNNNNN.txt at the card's root (one
folder above the clip): rows of unix seconds (the camera's clock, 8 h behind
UTC), A/V, degrees, course x 100, m/s x 100, g x 100, the clip's file name,
three zeros. The log also holds rows of another clip, a void row, a (0, 0)
row, a repeated $V02 header and a last line cut off mid-row, none of which a
reader may take."""
import calendar

from . import common

CLOCK_BEHIND_UTC_S = 8 * 3600
OTHER_CLIP = "OTHER.MOV"


def unix(when):
    return calendar.timegm(when.timetuple()) + when.microsecond / 1e6


def row(seconds, status, lat, lon, course, speed_ms, g, name):
    return "%d,%s,%.6f,%.6f,%d,%d,%d,%d,%d,%s,0,0,0" % (seconds, status, lat, lon, course, speed_ms, *g, name)


def clip_rows(points, drive_mod, options):
    rows, fixes = [], []
    for when, point in common.second_points(points, drive_mod, options.clip_start, options.seconds):
        seconds = int(unix(when)) - CLOCK_BEHIND_UTC_S
        lat, lon = round(point.latitude, 6), round(point.longitude, 6)
        course, speed = round(point.heading_deg * 100) % 36000, round(point.speed_kmh / 3.6 * 100)
        g = [round(v * 100) for v in (point.lateral_g, point.longitudinal_g, point.vertical_g)]
        rows.append(row(seconds, "A", lat, lon, course, speed, g, options.clip_name))
        fix = common.fix(when, lat, lon, speed / 100 * 3.6, course / 100)
        fix["accel"] = [v / 100 for v in g]
        fixes.append(fix)
    return rows, fixes


def build(movie, options, points, drive_mod):
    rows, fixes = clip_rows(points, drive_mod, options)
    first = int(unix(options.clip_start)) - CLOCK_BEHIND_UTC_S
    noise = [row(first, "V", 25.1, 121.5, 0, 0, (0, 0, 100), options.clip_name),
             row(first, "A", 0, 0, 0, 0, (0, 0, 100), options.clip_name),
             row(first + 1, "A", 25.2, 121.6, 0, 500, (0, 0, 100), OTHER_CLIP)]
    lines = ["$V02"] + rows[:1] + noise + ["$V02"] + rows[1:] + ["%d,A,25.3" % (first + 99)]
    name = "../GPSData%06d.txt" % (options.clip_start.hour * 10000 + options.clip_start.minute * 100 +
                                   options.clip_start.second)
    readings = ["row times are the camera's clock 8 h behind UTC (one reader takes them as UTC)",
                "rows are picked by the clip's file name in field 9"]
    precision = {"degrees": 1e-9, "speed_kmh": 1e-9, "course": 1e-9, "seconds": 1e-3, "g": 1e-6}
    description = common.description(4, "$V02 CSV log", [{"sidecar": name}], fixes, (), readings, precision,
                                     sidecars=[name])
    return movie.serialized(), description, {name: ("\n".join(lines)).encode()}
