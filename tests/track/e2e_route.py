#!/usr/bin/env python3
"""End-to-end: generated clips -> vek-track export -> third-party readers.

gpsbabel reads the GPX and KML back (every fix with its time, in order),
Python's csv module reads the CSV (a row per sample, every field).
Environment: VEK_TRACK (the vek-track binary), VEK_FIXTURE (tools/vek-fixture.py).
"""
import csv
import datetime
import io
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SKIP = 77  # ctest's skip code when a tool is missing
VEK_TRACK = os.environ.get("VEK_TRACK", "")
FIXTURE = os.environ.get("VEK_FIXTURE", "")
CLIP_SECONDS = 10


def make_clip(folder, name, kind="freegps", offset=0, start="2016-03-01T09:05:07"):
    clip = os.path.join(folder, name)
    subprocess.run([sys.executable, FIXTURE, "--kind", kind, "--seconds", str(CLIP_SECONDS), "--out", clip,
                    "--json", clip + ".json", "--size", "160x96", "--start", start, "--drive-offset", str(offset)],
                   check=True, capture_output=True)
    with open(clip + ".json", encoding="utf-8") as f:
        return clip, json.load(f)


def expected_points(described):
    """(utc, lat, lon) of every freeGPS sample a route must hold, in order: the
    stored degrees x 1e7 in full (the track file's single-precision values are
    its own rule)."""
    points = []
    for box in described["boxes"]:
        h = box["header"]
        for sample in box["samples"]:
            raw = sample["raw"]
            at = datetime.datetime(h["year"], h["month"], h["day"], h["hour"], h["minute"],
                                   tzinfo=datetime.timezone.utc) + datetime.timedelta(seconds=raw["seconds_x10"] / 10)
            points.append((at, raw["lat_e7"] / 1e7, raw["lon_e7"] / 1e7))
    return points


def export(fmt, clips, *extra):
    out = subprocess.run([VEK_TRACK, "export", "--format", fmt, *extra, *clips], check=True, capture_output=True)
    return out.stdout


def babel(fmt, text, folder):
    path = os.path.join(folder, "route." + fmt)
    with open(path, "wb") as f:
        f.write(text)
    out = subprocess.run(["gpsbabel", "-t", "-i", fmt, "-f", path, "-o", "unicsv", "-F", "-"],
                         check=True, capture_output=True, text=True)
    return list(csv.DictReader(io.StringIO(out.stdout)))


def babel_time(row):
    text = row["Date"] + " " + row["Time"]
    at = datetime.datetime.strptime(text, "%Y/%m/%d %H:%M:%S" + (".%f" if "." in row["Time"] else ""))
    return at.replace(tzinfo=datetime.timezone.utc)


class RouteExport(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="vek-route-")
        cls.trip = [make_clip(cls.folder, "T%04d.MOV" % k, offset=k * CLIP_SECONDS,
                              start="2016-03-01T09:05:07") for k in range(3)]
        cls.expected = [p for _, described in cls.trip for p in expected_points(described)]

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, ignore_errors=True)

    def clips(self):
        return [clip for clip, _ in self.trip]

    def assert_points(self, rows):
        self.assertEqual(len(rows), len(self.expected))
        for row, (at, lat, lon) in zip(rows, self.expected):
            self.assertEqual(abs(babel_time(row) - at) < datetime.timedelta(milliseconds=1), True, (row, at))
            self.assertAlmostEqual(float(row["Latitude"]), lat, places=6)
            self.assertAlmostEqual(float(row["Longitude"]), lon, places=6)

    def test_gpx_reads_back_through_gpsbabel_as_one_track_with_every_point_and_time(self):
        text = export("gpx", self.clips())
        self.assertEqual(text.count(b"<trk>"), 1)
        self.assert_points(babel("gpx", text, self.folder))

    def test_kml_reads_back_through_gpsbabel_with_every_point_and_time(self):
        self.assert_points(babel("kml", export("kml", self.clips()), self.folder))

    def test_csv_has_a_header_and_a_row_per_sample(self):
        rows = list(csv.reader(io.StringIO(export("csv", self.clips()).decode("utf-8"), newline="")))
        self.assertEqual(rows[0][:5], ["trip", "clip", "time_utc", "latitude", "longitude"])
        self.assertEqual(len(rows) - 1, len(self.expected))
        self.assertTrue(all(len(r) == len(rows[0]) for r in rows), "labels with commas are quoted")
        self.assertEqual({r[0] for r in rows[1:]}, {"1"})

    def test_a_gap_longer_than_the_setting_splits_the_trips(self):
        self.assertEqual(export("gpx", self.clips(), "--gap", "1").count(b"<trk>"), 1, "clips follow on")
        later, _ = make_clip(self.folder, "LATER.MOV", start="2016-03-01T12:00:00")
        self.assertEqual(export("gpx", [*self.clips(), later]).count(b"<trk>"), 2)

    def test_gps0_clips_export_their_written_records(self):
        clip, described = make_clip(self.folder, "G.MOV", kind="gps0")
        rows = babel("gpx", export("gpx", [clip]), self.folder)
        self.assertEqual(len(rows), min(15, len(described["gps0"]["records"])) - 3, "records 3 to 14 of the chunk")

    def test_bad_input_fails_with_a_message(self):
        for args, status in [(["export", "--format", "svg", "x"], 2), (["export", "--gap", "-1", "x"], 2),
                             (["export"], 2), (["export", os.path.join(self.folder, "none.MOV")], 1)]:
            out = subprocess.run([VEK_TRACK, *args], capture_output=True, text=True)
            self.assertEqual(out.returncode, status, args)
            self.assertTrue(out.stderr.startswith("vek-track: "), out.stderr)


if __name__ == "__main__":
    if not (VEK_TRACK and FIXTURE and shutil.which("gpsbabel") and shutil.which("ffmpeg")):
        print("skipped: needs vek-track, the fixture tool, gpsbabel and ffmpeg")
        sys.exit(SKIP)
    unittest.main()
