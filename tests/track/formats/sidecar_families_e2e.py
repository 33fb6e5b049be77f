#!/usr/bin/env python3
"""End-to-end, per family read beside the clip or under markers of its own:
fixture clip (and sidecars) -> vek-track probe (family, sidecar used) ->
vek-track extract (track file and its family record) -> vek-track export
--format csv, whose rows must match the fixture's JSON within the family's
precision (and the CSV's own rounding). Sidecars must come out untouched.
Needs ffmpeg; exits 77 (skipped) without it."""
import csv
import datetime
import io
import json
import os
import re
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest
from xml.etree import ElementTree

SKIP = 77
VEK_TRACK = os.environ.get("VEK_TRACK", "")
FIXTURE = os.environ.get("VEK_FIXTURE", "")
SECONDS = 4
# kind -> (the family `probe` names, whether it is read from sidecars)
FAMILIES = {
    "v02-log": ("$V02 CSV log (family 4)", True),
    "gps-box": ("top-level GPS box (family 4)", False),
    "freegps-int32": ("freeGPS int32 DDMM block (family 4)", False),
    "aitg-trailer": ("AITG gps0 trailer (family 8)", False),
    "gps0-xor": ("XOR-0xAA text records in a gps0 atom (family 8)", False),
    "gps-sidecar": (".gps/.3gf sidecar (family 5)", True),
    "nmea-sidecar": ("NMEA sidecar (family 13)", True),
    "map-sidecar": ("CSV .map sidecar (family 13)", True),
    "srt-sidecar": ("SubRip telemetry sidecar (family 15)", True),
}
# Half a unit of the CSV's last digit, and a little more.
CSV_ROUNDING = {"degrees": 6e-8, "speed_kmh": 6e-4, "course": 6e-3, "g": 6e-4, "seconds": 0.06}


def make(folder, kind, name, *extra):
    clip = os.path.join(folder, name)
    subprocess.run([sys.executable, FIXTURE, "--kind", kind, "--seconds", str(SECONDS), "--size", "160x96",
                    "--out", clip, "--json", clip[:-4] + ".json", *extra], check=True, capture_output=True)
    with open(clip[:-4] + ".json", encoding="utf-8") as f:
        return clip, json.load(f)


def sidecar_paths(clip, described):
    folder, stem = os.path.dirname(clip), clip[:-4]
    return [os.path.normpath(os.path.join(folder, s)) if "/" in s else stem + s for s in described["sidecars"]]


def run(*args, home, timeout=120):
    return subprocess.run([VEK_TRACK, *args], capture_output=True, text=True, timeout=timeout,
                          env={**os.environ, "HOME": home})


def snapshot(paths):
    return {p: (os.stat(p).st_mtime_ns, open(p, "rb").read()) for p in paths}


def seconds_of(text):
    when = datetime.datetime.strptime(text.rstrip("Z")[:26], "%Y-%m-%dT%H:%M:%S.%f")
    return (when - datetime.datetime(1970, 1, 1)).total_seconds()


GPX = "{http://www.topografix.com/GPX/1/1}"
GPXTPX = "{http://www.garmin.com/xmlschemas/TrackPointExtension/v2}"
# What the gpx command's text keeps: 7 decimals of degrees, tenths of seconds, m/s to 2 decimals.
GPX_ROUNDING = {"degrees": 6e-8, "seconds": 0.06, "speed_kmh": 0.006 * 3.6}


def assert_gpx_matches(test, label, text, described):
    """`vek-track gpx` text: well-formed GPX 1.1 with one point per fixture fix, in order, at its values."""
    root = ElementTree.fromstring(text)  # raises on text that is not well-formed XML
    test.assertEqual(root.tag, GPX + "gpx", label)
    points = root.findall("%strk/%strkseg/%strkpt" % (GPX, GPX, GPX))
    fixes = described["fixes"]
    test.assertEqual(len(points), len(fixes), label)
    tol = {k: v + described["precision"][k] for k, v in GPX_ROUNDING.items()}
    for i, (point, want) in enumerate(zip(points, fixes)):
        where = "%s point %d" % (label, i)
        test.assertAlmostEqual(float(point.get("lat")), want["lat"], delta=tol["degrees"], msg=where)
        test.assertAlmostEqual(float(point.get("lon")), want["lon"], delta=tol["degrees"], msg=where)
        test.assertAlmostEqual(seconds_of(point.find(GPX + "time").text), seconds_of(want["utc"]),
                               delta=tol["seconds"], msg=where)
        speed = float(point.find(".//%sspeed" % GPXTPX).text) * 3.6
        test.assertAlmostEqual(speed, want["speed_kmh"], delta=tol["speed_kmh"], msg=where)


class FamilyCase:
    """What one fixture clip must give through the command line."""

    def __init__(self, test, folder, kind, name):
        self.test, self.kind, self.home = test, kind, os.path.join(folder, "home")
        self.clip, self.described = make(os.path.join(folder, "card", "DCIM"), kind, name)
        self.family, self.from_sidecars = FAMILIES[kind]

    def check_probe(self):
        out = run("probe", self.clip, home=self.home)
        self.test.assertEqual(out.returncode, 0, out.stderr)
        lines = out.stdout.splitlines()
        self.test.assertEqual(lines[0], "%s: %s" % (self.clip, self.family))
        samples = "  samples: %d, first %s" % (len(self.described["fixes"]), self.described["fixes"][0]["utc"][:19])
        self.test.assertTrue(any(line.startswith(samples) for line in lines), lines)
        used = [line[len("  sidecar: "):] for line in lines if line.startswith("  sidecar: ")]
        want = sidecar_paths(self.clip, self.described) if self.from_sidecars else []
        self.test.assertEqual(sorted(os.path.normpath(p) for p in used), sorted(want))

    def check_extract(self):
        out = run("extract", "--quiet", self.clip, home=self.home)
        self.test.assertEqual(out.returncode, 0, out.stderr)
        track = os.path.join(self.home, "VEK", "data", os.path.basename(self.clip)[:-4] + ".data")
        with open(track, encoding="utf-8") as f:
            text = f.read()
        self.test.assertTrue(text.startswith("data['%s']=new Array();" % os.path.basename(self.clip)))
        self.test.assertEqual(len(re.findall(r"'lat':\"", text)), len(self.described["fixes"]))
        with open(track + ".family", encoding="utf-8") as f:
            self.test.assertEqual(f.read(), self.family + "\n")

    def check_same_as_search(self):
        """The track and family record are byte for byte those of a search of the whole clip; probe says
        whether that search was made."""
        texts = []
        for mode in ([], ["--full-scan"]):
            home = os.path.join(self.home, "search" if mode else "located")
            out = run("extract", "--quiet", "--force", *mode, self.clip, home=home)
            self.test.assertEqual(out.returncode, 0, out.stderr)
            track = os.path.join(home, "VEK", "data", os.path.basename(self.clip)[:-4] + ".data")
            with open(track, "rb") as f, open(track + ".family", "rb") as g:
                texts.append((f.read(), g.read()))
        self.test.assertEqual(texts[0], texts[1])
        lines = run("probe", self.clip, home=self.home).stdout.splitlines()
        skipped = any(line.startswith("  declined: search of the whole clip for freeGPS and gps0 markers: not made")
                      for line in lines)
        self.test.assertEqual(skipped, self.from_sidecars, lines)

    def check_csv(self):
        out = run("export", "--format", "csv", self.clip, home=self.home)
        self.test.assertEqual(out.returncode, 0, out.stderr)
        rows = list(csv.DictReader(io.StringIO(out.stdout)))
        fixes = self.described["fixes"]
        self.test.assertEqual(len(rows), len(fixes))
        tolerance = {k: max(v, self.described["precision"][k]) for k, v in CSV_ROUNDING.items()}
        for i, (row, want) in enumerate(zip(rows, fixes)):
            self.compare(i, row, want, tolerance)

    def check_gpx(self):
        out = run("gpx", self.clip, home=self.home)
        self.test.assertEqual(out.returncode, 0, out.stderr)
        assert_gpx_matches(self.test, self.kind, out.stdout, self.described)

    def compare(self, i, row, want, tol):
        label = "%s row %d" % (self.kind, i)
        self.test.assertAlmostEqual(seconds_of(row["time_utc"]), seconds_of(want["utc"]), delta=tol["seconds"],
                                    msg=label)
        self.test.assertAlmostEqual(float(row["latitude"]), want["lat"], delta=tol["degrees"], msg=label)
        self.test.assertAlmostEqual(float(row["longitude"]), want["lon"], delta=tol["degrees"], msg=label)
        self.test.assertAlmostEqual(float(row["speed_kmh"]), want["speed_kmh"], delta=tol["speed_kmh"], msg=label)
        self.test.assertAlmostEqual(float(row["degrees"]), want["course"] or 0.0, delta=tol["course"], msg=label)
        self.test.assertEqual((row["status"], row["fix"]), ("A", "1"), label)
        if "accel" in want:
            got = [float(row[k]) for k in ("g_x", "g_y", "g_z")]
            for a, b in zip(got, want["accel"]):
                self.test.assertAlmostEqual(a, b, delta=tol["g"], msg=label + " g")


class SidecarFamilies(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="vek-sidecar-families-")
        os.makedirs(os.path.join(cls.folder, "home"))
        cls.cases = {k: FamilyCase(cls, cls.folder, k, k.upper().replace("-", "_") + ".MOV") for k in FAMILIES}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    def each_case(self, check):
        for kind, case in self.cases.items():
            with self.subTest(kind=kind):
                case.test = self
                check(case)

    def test_probe_names_the_family_and_the_sidecars_it_used(self):
        self.each_case(FamilyCase.check_probe)

    def test_extract_writes_the_track_and_its_family_leaving_sidecars_untouched(self):
        sidecars = [p for c in self.cases.values() for p in sidecar_paths(c.clip, c.described)]
        before = snapshot(sidecars)
        self.each_case(FamilyCase.check_extract)
        self.assertEqual(snapshot(sidecars), before)

    def test_tracks_are_the_whole_searchs(self):
        self.each_case(FamilyCase.check_same_as_search)

    def test_csv_export_matches_the_fixture(self):
        self.each_case(FamilyCase.check_csv)

    def test_gpx_gives_the_fixtures_points(self):
        self.each_case(FamilyCase.check_gpx)


class SidecarRefusals(unittest.TestCase):
    """A clip without GPS data of its own, and sidecars that must not be read."""

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="vek-sidecar-refusals-")
        self.home = os.path.join(self.folder, "home")
        os.makedirs(self.home)
        self.clip, _ = make(self.folder, "nmea-sidecar", "PLAIN.MOV")
        os.unlink(self.clip[:-4] + ".nmea")

    def tearDown(self):
        shutil.rmtree(self.folder)

    def probe_lines(self):
        out = run("probe", self.clip, home=self.home, timeout=30)
        self.assertEqual(out.returncode, 0, out.stderr)
        return out.stdout.splitlines()

    def test_nothing_beside_the_clip_says_what_was_looked_for(self):
        lines = self.probe_lines()
        self.assertEqual(lines[0], self.clip + ": no GPS data found")
        self.assertTrue(any(line.startswith("  declined: sidecars: no .gps/.3gf") for line in lines), lines)
        out = run("extract", "--quiet", self.clip, home=self.home)
        self.assertEqual(out.returncode, 0, out.stderr)
        with open(os.path.join(self.home, "VEK", "data", "PLAIN.data.family"), encoding="utf-8") as f:
            self.assertEqual(f.read(), "no GPS data found\n")

    def test_a_fifo_named_like_a_sidecar_is_refused_without_blocking(self):
        os.mkfifo(self.clip[:-4] + ".gps")
        lines = self.probe_lines()
        self.assertEqual(lines[0], self.clip + ": no GPS data found")
        self.assertTrue(any("PLAIN.gps: not a regular file" in line for line in lines), lines)
        self.assertTrue(stat.S_ISFIFO(os.stat(self.clip[:-4] + ".gps").st_mode))

    def test_an_oversized_sidecar_is_refused_with_its_reason(self):
        with open(self.clip[:-4] + ".nmea", "wb") as f:
            f.truncate((64 << 20) + 1)
        lines = self.probe_lines()
        self.assertTrue(any("PLAIN.nmea: too large" in line for line in lines), lines)

    def test_the_clips_own_data_wins_over_a_sidecar(self):
        clip, _ = make(self.folder, "gps0", "TODAY.MOV")
        with open(clip[:-4] + ".nmea", "w") as f:
            f.write("$GPRMC,090507.00,A,2502.0378,N,12133.8681,E,10.0,123.4,010316,,,A*69\r\n")
        out = run("probe", clip, home=self.home)
        self.assertEqual(out.stdout.splitlines()[0], clip + ": gps0/gsen records (today's layout)")
        self.assertEqual(run("extract", "--quiet", clip, home=self.home).returncode, 0)
        with open(os.path.join(self.home, "VEK", "data", "TODAY.data.family"), encoding="utf-8") as f:
            self.assertEqual(f.read(), "gps0/gsen records\n")


if __name__ == "__main__":
    if not shutil.which("ffmpeg"):
        print("skipped: ffmpeg is not installed")
        sys.exit(SKIP)
    sys.exit(0 if unittest.main(exit=False).result.wasSuccessful() else 1)
