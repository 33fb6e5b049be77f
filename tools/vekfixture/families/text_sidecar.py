"""Plain NMEA sidecar NAME.nmea beside the clip: a $GPSCAMTIME line, then per
second an RMC and a $GSENSORD line (decimal g), ending with $GPSENDTIME."""
from . import common


def build(movie, options, points, drive_mod):
    lines, fixes, accel = ["$GPSCAMTIME,%s" % options.clip_start.strftime("%Y%m%d%H%M%S")], [], []
    for when, point in common.second_points(points, drive_mod, options.clip_start, options.seconds):
        sentence, fix = common.rmc(point, when)
        g = [round(v, 3) for v in (point.lateral_g, point.longitudinal_g, point.vertical_g)]
        lines += [sentence, "$GSENSORD,%.3f,%.3f,%.3f" % tuple(g)]
        fixes.append(fix)
        accel.append(g)
    lines.append("$GPSENDTIME,%s" % options.clip_start.strftime("%Y%m%d%H%M%S"))
    text = ("\r\n".join(lines) + "\r\n").encode()
    readings = ["$GSENSORD values are g"]
    description = common.description(13, "plain NMEA sidecar", [{"sidecar": ".nmea"}], fixes, accel, readings,
                                     sidecars=[".nmea"])
    return movie.serialized(), description, {".nmea": text}
