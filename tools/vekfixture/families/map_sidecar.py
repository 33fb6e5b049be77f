"""CSV sidecar NAME.map beside the clip: per second a row
"A,DDMMYY,HHMMSS,DDMM.MMMM,N,DDDMM.MMMM,E,km/h,ax,ay,az;" (raw accelerometer
counts with a bias, not read as g)."""
from . import common

RAW_BIAS = 2048
RAW_PER_G = 1024


def row(point, when):
    lat_text, lat_h, lat = common.ddmm(point.latitude, 2)
    lon_text, lon_h, lon = common.ddmm(point.longitude, 3)
    speed = round(point.speed_kmh, 1)
    raw = [RAW_BIAS + round(g * RAW_PER_G) for g in (point.lateral_g, point.longitudinal_g, point.vertical_g)]
    text = "A,%s,%s,%s,%s,%s,%s,%.1f,%d,%d,%d;" % (when.strftime("%d%m%y"), when.strftime("%H%M%S"), lat_text,
                                                 "NS"[lat_h], lon_text, "EW"[lon_h], speed, *raw)
    return text, common.fix(when, lat, lon, speed)


def build(movie, options, points, drive_mod):
    rows, fixes = [], []
    for when, point in common.second_points(points, drive_mod, options.clip_start, options.seconds):
        text, fix = row(point, when)
        rows.append(text)
        fixes.append(fix)
    readings = ["speed in km/h", "the raw, biased acceleration counts are not converted to g"]
    description = common.description(13, "CSV .map sidecar", [{"sidecar": ".map"}], fixes, (), readings,
                                     sidecars=[".map"])
    return movie.serialized(), description, {".map": ("\r\n".join(rows) + "\r\n").encode()}
