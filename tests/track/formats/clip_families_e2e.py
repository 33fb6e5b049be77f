#!/usr/bin/env python3
"""Each camera family's fixture clip (tools/vek-fixture.py) through vek-track:
`extract` writes its fixes in the freeGPS form, `export --format csv` gives the
fixture's values within the family's precision (and the CSV's own rounding),
`probe` names the family; and every registry detector over every other
family's clip, and over a clip without telemetry, takes nothing.
Environment: VEK_TRACK, VEK_FIXTURE, VEK_FAMILY_DUMP. Needs ffmpeg and node
(exit 77, skipped, without them)."""
import csv
import datetime
import io
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from sidecar_families_e2e import assert_gpx_matches  # noqa: E402  (the gpx text's checks)

SKIP = 77
VEK_TRACK = os.environ.get("VEK_TRACK", "")
FIXTURE = os.environ.get("VEK_FIXTURE", "")
DUMP = os.environ.get("VEK_FAMILY_DUMP", "")
SECONDS = 3
FAMILIES = {"gpmd": 2, "freegps-text": 3, "free-children": 5, "subtitle-nmea": 6, "subtitle-binary": 7,
            "xor-text": 10, "camm": 11}
PLAIN = "nmea-sidecar"  # its clip holds no telemetry: the sidecar beside it is removed
# What the CSV's fields keep: 7 decimals of degrees, 3 of km/h and g, 2 of course, tenths of seconds.
CSV_ROUNDING = {"degrees": 5e-8, "speed_kmh": 5e-4, "course": 5e-3, "seconds": 0.05, "g": 5e-4}


def make(folder, kind):
    clip = os.path.join(folder, kind, "FILE0001.MOV")
    subprocess.run([sys.executable, FIXTURE, "--kind", kind, "--seconds", str(SECONDS), "--out", clip,
                    "--json", clip[:-4] + ".json", "--size", "160x96"], check=True, capture_output=True)
    with open(clip[:-4] + ".json", encoding="utf-8") as f:
        description = json.load(f)
    for suffix in description.get("sidecars", []):
        os.remove(clip[:-4] + suffix)  # the clip's own data, not its sidecars, is under test
    return clip, description


def utc_seconds(text):
    when = datetime.datetime.strptime(text.rstrip("Z"), "%Y-%m-%dT%H:%M:%S.%f")
    return (when - datetime.datetime(1970, 1, 1)).total_seconds()


def evaluate(track_file):
    script = ("var data={};eval(require('fs').readFileSync(process.argv[1],'utf8'));var out={};"
              "for(var k in data){out[k]=Object.assign({},data[k]);}process.stdout.write(JSON.stringify(out))")
    out = subprocess.run(["node", "-e", script, track_file], check=True, capture_output=True, text=True)
    return json.loads(out.stdout)


def shown_key(fix):
    """The freeGPS form's time key: the UTC time shown one hour on, seconds to a tenth."""
    when = datetime.datetime.strptime(fix["utc"].rstrip("Z"), "%Y-%m-%dT%H:%M:%S.%f")
    return "%d/%02d/%02d %02d:%02d:%.1f" % (when.year, when.month, when.day, when.hour + 1, when.minute,
                                            when.second + when.microsecond / 1e6)


class ClipFamilies(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="vek-clip-families-")
        cls.home = os.path.join(cls.folder, "home")
        os.makedirs(cls.home)
        cls.clips = {kind: make(cls.folder, kind) for kind in list(FAMILIES) + [PLAIN]}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    def vek_track(self, *args):
        result = subprocess.run([VEK_TRACK, *args], capture_output=True, text=True, env=dict(os.environ, HOME=self.home))
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout

    def test_extract_writes_each_familys_fixes_in_the_freegps_form(self):
        for kind in FAMILIES:
            clip, described = self.clips[kind]
            self.vek_track("extract", "--force", "--quiet", clip)
            track_file = os.path.join(self.home, "VEK", "data", "FILE0001.data")
            samples = evaluate(track_file)["FILE0001.MOV"]
            want = {shown_key(f): f for f in described["fixes"]}
            self.assertEqual(set(samples), set(want), kind)
            tolerance = described["precision"]["degrees"] + 5e-8
            for key, fix in want.items():
                self.assertAlmostEqual(float(samples[key]["lat"]), fix["lat"], delta=tolerance, msg=kind)
                self.assertAlmostEqual(float(samples[key]["lon"]), fix["lon"], delta=tolerance, msg=kind)
                self.assertEqual(samples[key]["stat"], "65", kind)

    def check_row(self, kind, row, fix, precision):
        def near(field, value, want, unit):
            self.assertAlmostEqual(value, want, delta=precision[unit] + CSV_ROUNDING[unit], msg="%s %s" % (kind, field))
        near("time", utc_seconds(row["time_utc"]), utc_seconds(fix["utc"]), "seconds")
        near("latitude", float(row["latitude"]), fix["lat"], "degrees")
        near("longitude", float(row["longitude"]), fix["lon"], "degrees")
        near("speed", float(row["speed_kmh"]), fix["speed_kmh"], "speed_kmh")
        near("course", float(row["degrees"]), fix["course"] or 0.0, "course")
        for axis, want in zip(("g_x", "g_y", "g_z"), fix.get("accel", [])):
            near(axis, float(row[axis]), want, "g")
        self.assertEqual((row["status"], row["fix"], row["on_route"]), ("A", "1", "1"), kind)

    def test_csv_export_gives_the_fixtures_values(self):
        for kind in FAMILIES:
            clip, described = self.clips[kind]
            rows = list(csv.DictReader(io.StringIO(self.vek_track("export", "--format", "csv", clip))))
            self.assertEqual(len(rows), len(described["fixes"]), kind)
            for row, fix in zip(rows, described["fixes"]):
                self.check_row(kind, row, fix, described["precision"])

    def test_gpx_gives_each_familys_points(self):
        for kind in FAMILIES:
            clip, described = self.clips[kind]
            assert_gpx_matches(self, kind, self.vek_track("gpx", clip), described)
        empty = self.vek_track("gpx", self.clips[PLAIN][0])
        self.assertEqual(empty.count("<trkpt"), 0)
        self.assertIn("<trkseg>\n</trkseg>", empty)

    def test_probe_names_every_family_and_its_samples(self):
        out = self.vek_track("probe", *(self.clips[kind][0] for kind in list(FAMILIES) + [PLAIN]))
        named = re.findall(r"^(\S+): (.*)$", out, re.MULTILINE)
        counts = re.findall(r"^  samples: (\d+),", out, re.MULTILINE)
        self.assertEqual(len(named), len(FAMILIES) + 1, out)
        for (path, family), kind in zip(named, list(FAMILIES) + [PLAIN]):
            self.assertEqual(path, self.clips[kind][0])
            expected = "(family %d)" % FAMILIES[kind] if kind in FAMILIES else "no GPS data found"
            self.assertIn(expected, family, kind)
        self.assertEqual([int(c) for c in counts], [len(self.clips[k][1]["fixes"]) for k in FAMILIES])

    def test_every_detector_takes_only_its_own_familys_clip(self):
        for kind in list(FAMILIES) + [PLAIN]:
            clip, _ = self.clips[kind]
            out = subprocess.run([DUMP, "registry", clip], check=True, capture_output=True, text=True).stdout
            own = "(family %d)" % FAMILIES[kind] if kind in FAMILIES else None
            taken = [d["family"] for d in json.loads(out) if d["taken"]]
            self.assertEqual(len(taken), 1 if own else 0, "%s taken by %s" % (kind, taken))
            for detection in json.loads(out):
                if own is None or own not in detection["family"]:
                    self.assertFalse(detection["recognised"] or detection["fixes"], (kind, detection))


class PageNames(unittest.TestCase):
    def test_the_page_has_a_text_for_every_family_name_a_record_can_hold(self):
        names = subprocess.run([DUMP, "names", "-"], check=True, capture_output=True, text=True).stdout.splitlines()
        self.assertGreaterEqual(len(names), 17)
        i18n = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "resources", "www", "js",
                            "i18n.js")
        with open(i18n, encoding="utf-8") as f:
            page = f.read()
        for name in names:
            self.assertEqual(len(re.findall(r"\bfam\w+: '%s'" % re.escape(name), page)), 1, name)


def main():
    missing = [tool for tool in ("ffmpeg", "node") if not shutil.which(tool)]
    if missing:
        print("skipped: %s not installed" % ", ".join(missing))
        return SKIP
    result = unittest.main(argv=[sys.argv[0]], exit=False, verbosity=2).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
