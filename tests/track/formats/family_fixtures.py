#!/usr/bin/env python3
"""Each camera family's fixture clip (and sidecars), made by the fixture tool,
is playable, and its decoder reads from the fixture's payloads exactly the
values its JSON states, within the family's precision; every decoder over every
other family's payloads, and over a clip without telemetry, finds nothing.
Needs ffmpeg; exits 77 (skipped) without it."""
import datetime
import json
import os
import shutil
import subprocess
import sys
import tempfile

FIXTURE = os.environ["VEK_FIXTURE"]
DUMP = os.environ["VEK_FAMILY_DUMP"]
SECONDS = 3
KINDS = ("gpmd", "freegps-text", "free-children", "subtitle-nmea", "subtitle-binary", "xor-text", "camm",
         "nmea-sidecar", "map-sidecar", "srt-sidecar", "v02-log", "gps-box", "freegps-int32", "aitg-trailer", "gps0-xor")
SKIP = 77
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def make(kind, folder):
    clip = os.path.join(folder, kind, "FILE.MOV")
    subprocess.run([sys.executable, FIXTURE, "--kind", kind, "--seconds", str(SECONDS), "--out", clip,
                    "--json", clip[:-4] + ".json"], check=True)
    with open(clip[:-4] + ".json") as f:
        return clip, json.load(f)


def playable(clip):
    result = subprocess.run(["ffmpeg", "-v", "error", "-i", clip, "-map", "0:v", "-f", "null", "-"],
                            capture_output=True, text=True)
    return result.returncode == 0 and not result.stderr.strip()


def dump(kind, path, payloads):
    args = [DUMP, kind, path]
    for p in payloads:
        args += [str(p["offset"]), str(p["size"])]
        if kind in ("gpmd", "camm"):
            args += [str(p.get("start", 0)), str(p.get("duration", 1.0))]
    return json.loads(subprocess.run(args, check=True, capture_output=True, text=True).stdout)


def inputs(kind, clip, description):
    """(decoder kind, file, payloads) for each thing the family's reader reads."""
    if kind == "free-children":
        stem = clip[:-4]
        return [(kind, clip, description["payloads"]), ("gps-log", stem + ".gps", []), ("3gf-log", stem + ".3gf", [])]
    if description["payloads"] and "sidecar" in description["payloads"][0]:
        name = description["payloads"][0]["sidecar"]
        path = os.path.join(os.path.dirname(clip), name) if "/" in name else clip[:-4] + name
        return [(kind, path, [])]
    return [(kind, clip, description["payloads"])]


def utc_seconds(fields):
    y, mo, d, h, mi, s = fields
    return (datetime.datetime(y, mo, d, h, mi) - datetime.datetime(1970, 1, 1)).total_seconds() + s


def expected_seconds(text):
    when = datetime.datetime.strptime(text, "%Y-%m-%dT%H:%M:%S.%fZ")
    return (when - datetime.datetime(1970, 1, 1)).total_seconds()


def close(a, b, tolerance):
    return abs(a - b) <= tolerance


def compare_fix(label, got, want, precision):
    check(close(utc_seconds(got["utc"]), expected_seconds(want["utc"]), precision["seconds"]), label + " time")
    check(close(got["lat"], want["lat"], precision["degrees"]), "%s lat %r != %r" % (label, got["lat"], want["lat"]))
    check(close(got["lon"], want["lon"], precision["degrees"]), "%s lon" % label)
    check(close(got["speed_kmh"], want["speed_kmh"], precision["speed_kmh"]),
          "%s speed %r != %r" % (label, got["speed_kmh"], want["speed_kmh"]))
    check(got["valid"] == want["valid"], label + " fix flag")
    if want["course"] is None:
        check(got["course"] is None, label + " course present")
    else:
        check(got["course"] is not None and close(got["course"], want["course"], precision["course"]), label + " course")
    if "accel" in want:
        check(got["accel"] is not None and all(close(a, b, precision["g"]) for a, b in zip(got["accel"], want["accel"])),
              label + " accel on the fix")


def compare(kind, description, results):
    fixes = [f for r in results for f in r["fixes"]]
    accel = [a for r in results for a in r["accel"]]
    want_fixes = description["fixes"] * (2 if kind == "free-children" else 1)  # the box and the .gps sidecar
    want_accel = description["accel"] * (2 if kind == "free-children" else 1)
    check(len(fixes) == len(want_fixes), "%s: %d fixes, want %d" % (kind, len(fixes), len(want_fixes)))
    for i, (got, want) in enumerate(zip(fixes, want_fixes)):
        compare_fix("%s fix %d" % (kind, i), got, want, description["precision"])
    check(len(accel) == len(want_accel), "%s: %d accel, want %d" % (kind, len(accel), len(want_accel)))
    for i, (got, want) in enumerate(zip(accel, want_accel)):
        check(all(close(a, b, description["precision"]["g"]) for a, b in zip(got, want)), "%s accel %d" % (kind, i))
    if description["readings"]:
        check(any(r["notes"] for r in results), kind + ": the decoder says which readings it took")


def negative_matrix(made, plain):
    for owner, (clip, description) in made.items():
        for _, path, payloads in inputs(owner, clip, description):
            for kind in KINDS + ("gps-log", "3gf-log"):
                if kind == owner or (owner == "free-children" and kind in ("gps-log", "3gf-log")) or \
                        (owner == "nmea-sidecar" and kind == "gps-log"):
                    continue
                result = dump(kind, path, payloads or [{"offset": 0, "size": os.path.getsize(path)}])
                check(not result["fixes"] and not result["accel"], "%s over %s found data" % (kind, path))
    size = os.path.getsize(plain)
    for kind in KINDS + ("gps-log", "3gf-log"):
        result = dump(kind, plain, [{"offset": 0, "size": size}])
        check(not result["fixes"] and not result["accel"], "%s over a clip without telemetry found data" % kind)


def main():
    if not shutil.which("ffmpeg"):
        print("skipped: ffmpeg is not installed")
        return SKIP
    with tempfile.TemporaryDirectory(prefix="vek-families-") as folder:
        made = {kind: make(kind, folder) for kind in KINDS}
        for kind, (clip, description) in made.items():
            check(playable(clip), kind + ": the clip does not decode cleanly")
            results = [dump(k, path, payloads) for k, path, payloads in inputs(kind, clip, description)]
            compare(kind, description, results)
        negative_matrix(made, made["nmea-sidecar"][0])  # the sidecar family's clip has no telemetry inside
    for failure in failures:
        print("FAIL:", failure)
    print("%d families, %d failures" % (len(KINDS), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
