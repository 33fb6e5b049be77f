#!/usr/bin/env python3
"""Makes a playable dash-camera QuickTime clip with embedded GPS and G-sensor
data, and a JSON file stating exactly what a reader of that data must get.

Kinds:
  freegps           one "free" atom with a freeGPS box per second, inside the
                    media data between samples (chunk offsets rewritten)
  freegps-appended  the same atoms appended after the top-level atoms
  gps0              one "gps0" atom (a record per second, at least 15) and one
                    "gsen" atom (ten G-sensor slots per second) at the end

The JSON gives, for every box, record and slot, its file offset, the raw
stored integers and the decoded values and texts a reader must produce:
single-precision division by 1e7 (freeGPS lat/lon, degrees) or 1e9 (G-sensor),
speed = cm/s x 0.036 in double, C printf rounding for "%f", "%.2f", "%.7f".
Its "rounding" object states every rule; tools/README.md lists the fields.
"""
import argparse
import datetime
import json
import os
import sys
import tempfile

from vekfixture import encode, families, fixture, freegps, mov
from vekfixture.encode import EncodeError

MAX_SECONDS = 600  # fixtures are short; keeps a typo from encoding for an hour
MAX_DIMENSION = 3840  # 4K UHD, the largest frame dash cameras record
FPS_RANGE = (1, 120)  # from time-lapse to the fastest camera modes
MAX_ATOM_SIZE = 1 << 20  # 32 times what cameras use; bounds the memory a typo can take
MAX_CLIPS_PER_DRIVE = 100  # bounds --drive-offset; a card rarely holds a longer trip
DEFAULT_START = "2016-03-01T09:05:07"
KINDS = ("freegps", "freegps-appended", "gps0") + families.KINDS
PUBLISHED_MODE = 0o666  # like any file created by open(); mkstemp would leave 0600


def current_umask():
    mask = os.umask(0)
    os.umask(mask)
    return mask


def frame_size(text):
    try:
        width, height = (int(v) for v in text.lower().split("x"))
    except ValueError as error:
        raise argparse.ArgumentTypeError("size must look like 640x360") from error
    if not (2 <= width <= MAX_DIMENSION and 2 <= height <= MAX_DIMENSION) or width % 2 or height % 2:
        raise argparse.ArgumentTypeError("width and height must be even, 2..%d" % MAX_DIMENSION)
    return width, height


def seconds_count(text):
    value = int(text)
    if not 1 <= value <= MAX_SECONDS:
        raise argparse.ArgumentTypeError("seconds must be 1..%d" % MAX_SECONDS)
    return value


def positive_fps(text):
    value = float(text)
    if not FPS_RANGE[0] <= value <= FPS_RANGE[1]:
        raise argparse.ArgumentTypeError("fps must be %d..%d" % FPS_RANGE)
    return value


def atom_size(text):
    """A freeGPS atom size in bytes, decimal or 0x-prefixed."""
    value = int(text, 0)
    if not freegps.MIN_ATOM_SIZE <= value <= MAX_ATOM_SIZE:
        raise argparse.ArgumentTypeError("atom size must be %d..%d bytes" % (freegps.MIN_ATOM_SIZE, MAX_ATOM_SIZE))
    return value


def start_time(text):
    try:
        return datetime.datetime.strptime(text, "%Y-%m-%dT%H:%M:%S")
    except ValueError as error:
        raise argparse.ArgumentTypeError("start must look like " + DEFAULT_START) from error


def parse_arguments(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--kind", required=True, choices=KINDS)
    parser.add_argument("--seconds", required=True, type=seconds_count, help="clip length in seconds")
    parser.add_argument("--out", required=True, help="clip to write (.MOV)")
    parser.add_argument("--json", required=True, help="description of the embedded values to write")
    parser.add_argument("--size", type=frame_size, default=(640, 360), help="WxH, default 640x360")
    parser.add_argument("--fps", type=positive_fps, default=30.0, help="default 30")
    parser.add_argument("--rotate", type=int, default=0, choices=(0, 90, 180, 270),
                        help="display rotation, clockwise, written into the track's matrix")
    parser.add_argument("--audio", action="store_true", help="add an AAC sine tone track")
    parser.add_argument("--audio-mark", type=int, metavar="FRAME",
                        help="instead of the tone, silence but for a short burst starting with video frame FRAME "
                             "(implies --audio)")
    parser.add_argument("--seed", type=int, default=1, help="selects the drive (default 1)")
    parser.add_argument("--start", type=start_time, default=start_time(DEFAULT_START),
                        help="local date and time of the first second, default " + DEFAULT_START)
    parser.add_argument("--southwest", action="store_true",
                        help="drive in the southern and western hemispheres (negative coordinates)")
    parser.add_argument("--atom-size", type=atom_size, default=freegps.DEFAULT_ATOM_SIZE,
                        help="bytes per freeGPS atom, default 0x8000 (%d..%d)" % (freegps.MIN_ATOM_SIZE, MAX_ATOM_SIZE))
    parser.add_argument("--gps-index", choices=("none", "camera", "broken"), default="none",
                        help="freeGPS kinds: add the movie header's `gps ` index of the boxes as the cameras "
                             "write it (camera), or with its middle entry pointing 16 bytes into its box (broken)")
    parser.add_argument("--drive-offset", type=int, default=0, metavar="SECONDS",
                        help="begin the clip SECONDS into the drive of --seed and --start, so that "
                             "consecutive clips continue one route")
    args = parser.parse_args(argv)
    if args.gps_index != "none" and args.kind == "gps0":
        parser.error("--gps-index is for the freeGPS kinds")
    if not 0 <= args.drive_offset <= MAX_SECONDS * MAX_CLIPS_PER_DRIVE:
        parser.error("--drive-offset must be 0..%d" % (MAX_SECONDS * MAX_CLIPS_PER_DRIVE))
    if args.audio_mark is not None:
        if not 0 <= args.audio_mark < args.seconds * args.fps - args.fps * encode.MARK_SECONDS:
            parser.error("--audio-mark must be a frame of the clip, its burst ending before the clip does")
        args.audio = True
    return args


def write_atomically(path, content):
    """Write to a temporary file beside the target and rename it into place."""
    directory = os.path.dirname(os.path.abspath(path))
    os.makedirs(directory, exist_ok=True)
    handle, temporary = tempfile.mkstemp(prefix=".vek-fixture-", dir=directory)
    try:
        with os.fdopen(handle, "wb") as out:
            out.write(content)
        os.chmod(temporary, PUBLISHED_MODE & ~current_umask())
        os.replace(temporary, path)
    except BaseException:
        os.unlink(temporary)
        raise


def main(argv):
    args = parse_arguments(argv)
    options = fixture.Options(args.kind, args.seconds, args.size, args.fps, args.rotate, args.audio,
                              args.seed, args.start, args.southwest, args.atom_size, args.drive_offset,
                              args.gps_index, os.path.basename(args.out), args.audio_mark)
    try:
        if args.kind in families.KINDS:
            data, description, sidecars = families.make(options)
        else:
            (data, description), sidecars = fixture.make(options), {}
    except (EncodeError, mov.MovError, ValueError) as error:
        print("vek-fixture: %s" % error, file=sys.stderr)
        return 1
    description = {"clip": os.path.basename(args.out), **description}
    for name, content in sidecars.items():
        # ".gps" goes beside the clip as NAME.gps; a name with a folder part is relative to the clip's folder
        in_folder = "/" in name
        write_atomically(os.path.normpath(os.path.join(os.path.dirname(args.out), name)) if in_folder
                         else os.path.splitext(args.out)[0] + name, content)
    write_atomically(args.out, data)
    write_atomically(args.json, (json.dumps(description, indent=1) + "\n").encode())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
