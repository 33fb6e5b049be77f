"""SubRip sidecar NAME.srt in the newer telemetry dialect: one cue per second,
"YYYY-MM-DD hh:mm:ss.mmm" and "[latitude: x] [longitude: y] [rel_alt: a abs_alt: b]"."""
import datetime
import math

from . import common

EARTH_RADIUS_M = 6371008.8


def cue_time(seconds):
    return "%02d:%02d:%02d,000" % (seconds // 3600, seconds // 60 % 60, seconds % 60)


def derived(fixes):
    """Speed and course from successive positions, as a reader of this dialect must derive them."""
    for a, b in zip(fixes, fixes[1:]):
        la1, la2, dlon = math.radians(a["lat"]), math.radians(b["lat"]), math.radians(b["lon"] - a["lon"])
        h = math.sin((la2 - la1) / 2) ** 2 + math.cos(la1) * math.cos(la2) * math.sin(dlon / 2) ** 2
        b["speed_kmh"] = 2 * EARTH_RADIUS_M * math.asin(math.sqrt(min(1.0, h))) * 3.6
        y = math.sin(dlon) * math.cos(la2)
        x = math.cos(la1) * math.sin(la2) - math.sin(la1) * math.cos(la2) * math.cos(dlon)
        b["course"] = math.degrees(math.atan2(y, x)) % 360
    if len(fixes) > 1:
        fixes[0]["speed_kmh"], fixes[0]["course"] = fixes[1]["speed_kmh"], fixes[1]["course"]


def build(movie, options, points, drive_mod):
    cues, fixes = [], []
    for k, (when, point) in enumerate(common.second_points(points, drive_mod, options.clip_start, options.seconds)):
        lat, lon = round(point.latitude, 6), round(point.longitude, 6)
        cues.append("%d\n%s --> %s\n%s\n[latitude: %.6f] [longitude: %.6f] [rel_alt: 1.200 abs_alt: 15.300]\n" % (
            k + 1, cue_time(k), cue_time(k + 1), when.strftime("%Y-%m-%d %H:%M:%S.") + "%03d" % (when.microsecond // 1000),
            lat, lon))
        fixes.append(common.fix(when, lat, lon, 0.0))
    derived(fixes)
    readings = ["cue times taken as UTC (the dialect states no zone)",
                "speed and course derived from successive positions (the dialect has none)"]
    precision = {"degrees": 1e-9, "speed_kmh": 1e-3, "course": 1e-3, "seconds": 1e-3, "g": 1e-4}
    description = common.description(15, "SubRip telemetry sidecar", [{"sidecar": ".srt"}], fixes, (), readings,
                                     precision, sidecars=[".srt"])
    return movie.serialized(), description, {".srt": "\n".join(cues).encode()}
