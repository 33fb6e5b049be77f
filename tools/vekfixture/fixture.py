"""Assemble a fixture clip: encode, embed the camera data, describe the result."""
import datetime
import os
import tempfile
from dataclasses import dataclass

from . import drive as drive_mod
from . import encode, freegps, gps0, mov

JSON_FORMAT = "vek-fixture/1"
MARKERS = (freegps.MARKER, gps0.GPS0_MARKER, gps0.GSEN_MARKER)

ROUNDING = {
    "single_precision": "freeGPS lat, lon and degrees and every G-sensor value are computed as the readers do: "
                        "the integer converted to single precision, divided by a single-precision constant (1e7 "
                        "or 1e9); the JSON number is that single-precision value, exactly",
    "freegps_speed": "speed_kmh = stored cm/s * 0.036 in double precision; speed_text is printf %f",
    "freegps_degrees": "degrees = top-aligned 2-byte field / 1e7 (f32), text %.2f; headings of 214.75 deg and "
                       "more do not fit the signed field and are stored as heading - 360 (decoded negative)",
    "freegps_lat_lon": "lat/lon = lat_e7 / 1e7 (f32), text %.7f; label uses lat_e7 / 1e7 in double precision",
    "gsensor": "x, y, z = top-aligned field / 1e9 (f32), text %.2f (round half even on the binary value)",
    "gps0_lat_lon": "lat/lon = DMS decoding of stored/100 in the readers' single-precision steps, applied to "
                    "the magnitude with the sign restored, then + the two fixed corrections in double; text %.7f",
    "label": "degrees[ minutes' seconds.hundredths: per axis, hundredths of an arc-second rounded half away "
             "from zero",
    "time_keys": "freeGPS: year/month/day hour+1:minute:seconds(%.1f); gps0: time_base is year+2000/month/day "
                 "hour+8:minute:second; readers append .0 to .9",
}


@dataclass(frozen=True)
class Options:
    kind: str
    seconds: int
    size: tuple
    fps: float
    rotate: int
    audio: bool
    seed: int
    start: object  # datetime.datetime
    southwest: bool
    atom_size: int
    drive_offset: int  # the clip begins this many seconds into the drive
    gps_index: str = "none"  # freeGPS kinds: none, camera (as the cameras write it) or broken
    clip_name: str = "FILE.MOV"  # the clip's file name, as card-wide logs name it
    audio_mark: object = None  # int: the sound is a tone burst from this video frame on, silence elsewhere

    @property
    def audio_mark_seconds(self):
        return None if self.audio_mark is None else self.audio_mark / self.fps

    @property
    def clip_start(self):
        return self.start + datetime.timedelta(seconds=self.drive_offset)


def find_all(data, marker):
    found, at = [], data.find(marker)
    while at != -1:
        found.append(at)
        at = data.find(marker, at + 1)
    return found


def encoded_movie(options):
    with tempfile.TemporaryDirectory(prefix="vek-fixture-") as scratch:
        path = os.path.join(scratch, "plain.mov")
        encode.encode_clip(path, options.seconds, options.size, options.fps, options.audio,
                           options.audio_mark_seconds)
        with open(path, "rb") as clip:
            movie = mov.Movie(clip.read())
    if options.rotate:
        movie.rotate(options.rotate)
    return movie


def embed_freegps(movie, options, points):
    atoms = freegps.encode_atoms(points, options.clip_start, options.seconds, options.atom_size)
    if options.kind == "freegps":
        data, placed = movie.insert_in_media(list(zip(movie.second_starts(options.seconds), atoms)))
    else:
        base = movie.serialized()
        placed = [len(base) + i * options.atom_size for i in range(len(atoms))]
        data = base + b"".join(atoms)
    index = None
    if options.gps_index != "none":
        data, placed, index = freegps.add_index(data, placed, options.atom_size, options.gps_index == "broken")
    return data, {"boxes": [freegps.describe_atom(data, at) for at in placed], "gps_index": index}


def embed_gps0(movie, options, points):
    base = movie.serialized()
    data = base + gps0.encode_atoms(points, options.seconds)
    return data, gps0.describe_atoms(data, len(base))


def placed_markers(description):
    if "boxes" in description:
        return {"freeGPS": [b["marker_offset"] for b in description["boxes"]], "gps0": [], "gsen": []}
    return {"freeGPS": [], "gps0": [description["gps0"]["marker_offset"]],
            "gsen": [description["gsen"]["marker_offset"]]}


def check_no_stray_markers(data, markers):
    """Readers search the whole file, so the media must not contain a marker by chance."""
    for marker in MARKERS:
        found = find_all(data, marker)
        if found != markers[marker.decode()]:
            raise mov.MovError("marker %s found at %s, placed at %s" % (marker.decode(), found,
                                                                        markers[marker.decode()]))


def drive_summary(points, seconds):
    rows = []
    for second in range(seconds):
        p = drive_mod.point_at(points, second)
        rows.append({"time": p.time.isoformat(), "lat": p.latitude, "lon": p.longitude,
                     "speed_kmh": p.speed_kmh, "heading_deg": p.heading_deg})
    return rows


def make(options):
    """Returns the clip bytes and the JSON-ready description of what was embedded."""
    origin = drive_mod.BUENOS_AIRES if options.southwest else drive_mod.TAIPEI
    drive_seconds = gps0.record_count(options.seconds) if options.kind == "gps0" else options.seconds
    points = drive_mod.drive(options.seed, options.start, origin, options.drive_offset + drive_seconds)
    points = points[drive_mod.steps(options.drive_offset):]
    movie = encoded_movie(options)
    embed = embed_gps0 if options.kind == "gps0" else embed_freegps
    data, description = embed(movie, options, points)
    markers = placed_markers(description)
    check_no_stray_markers(data, markers)
    header = {
        "format": JSON_FORMAT, "kind": options.kind, "file_length": len(data), "seconds": options.seconds,
        "size": list(options.size), "fps": options.fps, "rotate": options.rotate, "audio": options.audio,
        "seed": options.seed, "start": options.start.isoformat(), "drive_offset": options.drive_offset,
        "gps_index_requested": options.gps_index,
        "clip_start": options.clip_start.isoformat(), "origin": list(origin),
        "rounding": ROUNDING, "markers": markers, "drive": drive_summary(points, drive_seconds),
    }
    if options.audio_mark is not None:
        header["audio_mark"] = {"frame": options.audio_mark, "seconds": options.audio_mark_seconds,
                                "hz": encode.MARK_HZ, "burst_seconds": encode.MARK_SECONDS}
    return data, {**header, **description}
