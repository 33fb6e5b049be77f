"""Fixture clips (and sidecars) of the camera families beyond freeGPS and gps0.
Each module's build(movie, options, points, drive) returns the clip bytes, the
JSON description (payload locations, the fixes and acceleration a reader must
decode, and which reading of an uncertain fact it took) and the sidecar files
as {suffix: bytes}, written beside the clip as NAME + suffix."""
from . import (aitg, camm, free_children, freegps_int32, freegps_text, gpmd, gps0_xor, gps_box, gps_sidecar, map_sidecar,
               srt, subtitle_binary, subtitle_nmea, text_sidecar, v02_log, xor_text)

BUILDERS = {
    "gpmd": gpmd.build,
    "freegps-text": freegps_text.build,
    "free-children": free_children.build,
    "subtitle-nmea": subtitle_nmea.build,
    "subtitle-binary": subtitle_binary.build,
    "xor-text": xor_text.build,
    "camm": camm.build,
    "nmea-sidecar": text_sidecar.build,
    "map-sidecar": map_sidecar.build,
    "srt-sidecar": srt.build,
    "v02-log": v02_log.build,
    "gps-box": gps_box.build,
    "freegps-int32": freegps_int32.build,
    "aitg-trailer": aitg.build,
    "gps0-xor": gps0_xor.build,
    "gps-sidecar": gps_sidecar.build,
}
KINDS = tuple(BUILDERS)


def make(options):
    """(clip bytes, JSON description, {suffix: sidecar bytes}) of a family kind."""
    from .. import drive as drive_mod
    from .. import fixture
    origin = drive_mod.BUENOS_AIRES if options.southwest else drive_mod.TAIPEI
    points = drive_mod.drive(options.seed, options.start, origin, options.drive_offset + options.seconds)
    points = points[drive_mod.steps(options.drive_offset):]
    data, description, sidecars = BUILDERS[options.kind](fixture.encoded_movie(options), options, points, drive_mod)
    header = {"format": fixture.JSON_FORMAT, "kind": options.kind, "file_length": len(data),
              "seconds": options.seconds, "size": list(options.size), "fps": options.fps, "seed": options.seed,
              "clip_start": options.clip_start.isoformat(), "origin": list(origin),
              "drive": fixture.drive_summary(points, options.seconds)}
    return data, {**header, **description}, sidecars
