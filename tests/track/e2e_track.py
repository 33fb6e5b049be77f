#!/usr/bin/env python3
"""End-to-end: generated clips -> vek-track -> track file text and its evaluation.

The expected text is composed here from the values the fixture tool states in
its JSON (its own decoding of what it encoded), with the track file's rules;
node evaluates each file after `var data={}` as the viewer's page does.
Environment: VEK_TRACK (the vek-track binary), VEK_FIXTURE (tools/vek-fixture.py).
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree

SKIP = 77  # ctest's skip code when a tool is missing
VEK_TRACK = os.environ.get("VEK_TRACK", "")
FIXTURE = os.environ.get("VEK_FIXTURE", "")


def make_clip(folder, kind, seconds, name, *options):
    clip = os.path.join(folder, name)
    description = clip + ".json"
    subprocess.run([sys.executable, FIXTURE, "--kind", kind, "--seconds", str(seconds), "--out", clip,
                    "--json", description, "--size", "160x96", *options], check=True, capture_output=True)
    with open(description, encoding="utf-8") as f:
        return clip, json.load(f)


def evaluate(track_file):
    # The samples are named properties of arrays, which JSON.stringify drops.
    script = ("var data={};eval(require('fs').readFileSync(process.argv[1],'utf8'));var out={};"
              "for(var k in data){out[k]=Object.assign({},data[k]);}process.stdout.write(JSON.stringify(out))")
    out = subprocess.run(["node", "-e", script, track_file], check=True, capture_output=True, text=True)
    return json.loads(out.stdout)


def js(name):
    return name.replace("\\", "\\\\").replace("'", "\\'").replace('"', '\\"')


def freegps_text(fns, described):
    text = "data['%s']=new Array();" % fns
    for box in described["boxes"]:
        x, y, z = box["gsensor"]["text"]
        for sample in box["samples"]:
            d = sample["decoded"]
            key = 'data["%s"]["%s"]' % (fns, d["time_key"])
            text += (key + "=new Array();" + key + "={'speed':\"%s\",'degrees':\"%s\",'lat':\"%s\",'lon':\"%s\","
                     "'x':\"%s\",'y':\"%s\",'z':\"%s\",'lbs':\"%s\",'stat':\"%d\"};\n") % (
                d["speed_text"], d["degrees_text"], d["lat_text"], d["lon_text"], x, y, z, d["label"], d["stat"])
    return text


def gps0_text(fns, described):
    text = "//C12\ndata['%s']=new Array();\n" % fns
    x, y, z = described["gps0_chunk"]["gsensor"]["text"]
    for record in described["gps0"]["records"][3:15]:
        d = record["decoded"]
        for tenth in range(10):
            key = 'data["%s"]["%s.%d"]' % (fns, d["time_base"], tenth)
            text += (key + "=new Array();\n" + key + "={'speed':\"%d\",'lat':\"%s\",'lon':\"%s\",'x':\"%s\","
                     "'y':\"%s\",'z':\"%s\",'lbs':\"%s\",'stat':\"2\",'degrees':\"0\"};\n") % (
                d["speed"], d["lat_text"], d["lon_text"], x, y, z, d["label"])
    return text


def evict(path):
    """Drops the file's pages from the page cache, as for a card's clip not read yet."""
    fd = os.open(path, os.O_RDONLY)
    try:
        os.fsync(fd)
        os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
    finally:
        os.close(fd)


class VekTrackEndToEnd(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="vek-e2e-")
        cls.home = os.path.join(cls.folder, "home")
        os.makedirs(cls.home)
        cls.clips = {kind: make_clip(cls.folder, kind, seconds, name) for kind, seconds, name in (
            ("freegps", 3, "FILE0001.MOV"), ("freegps-appended", 2, "FILE0002.mov"), ("gps0", 16, "NEW0001.MOV"))}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    def vek_track(self, *args):
        env = dict(os.environ, HOME=self.home)
        return subprocess.run([VEK_TRACK, *args], capture_output=True, text=True, env=env)

    def extract(self, clip, *options):
        result = self.vek_track("extract", "--quiet", *options, clip)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result

    def track_file(self, name):
        stem = name.replace(".MOV", ".data").replace(".mov", ".data")
        return os.path.join(self.home, "VEK", "data", stem)

    def read(self, name):
        with open(self.track_file(name), encoding="utf-8", newline="") as f:
            return f.read()

    def test_freegps_clips_give_the_exact_text(self):
        for kind in ("freegps", "freegps-appended"):
            clip, described = self.clips[kind]
            name = os.path.basename(clip)
            self.extract(clip, "--force")
            self.assertEqual(self.read(name), freegps_text(name, described), kind)
            samples = evaluate(self.track_file(name))[name]
            expected = {s["decoded"]["time_key"]: s["decoded"] for b in described["boxes"] for s in b["samples"]}
            self.assertEqual(set(samples), set(expected))
            for key, d in expected.items():
                self.assertEqual(samples[key]["lat"], d["lat_text"])
                self.assertEqual(samples[key]["lbs"], d["label"])
                self.assertEqual(float(samples[key]["speed"]), round(d["speed_kmh"], 6))

    def test_indexed_clips_give_the_text_of_the_whole_file_search(self):
        for kind, variant, name in (("freegps", "camera", "IDX0001.MOV"), ("freegps", "broken", "IDX0002.MOV"),
                                    ("freegps-appended", "camera", "IDX0003.MOV")):
            clip, described = make_clip(self.folder, kind, 3, name, "--gps-index", variant)
            self.assertEqual(described["gps_index"]["variant"], variant)
            self.extract(clip, "--force")
            located = self.read(name)
            self.assertEqual(located, freegps_text(name, described), variant)
            evict(clip)  # a cold clip's boxes come straight from the device, a cached one's from the cache
            self.extract(clip, "--force")
            self.assertEqual(self.read(name), located, variant)
            self.extract(clip, "--force", "--full-scan")
            self.assertEqual(self.read(name), located, variant)
        for kind in ("gps0", "freegps"):
            clip, _ = self.clips[kind]
            name = os.path.basename(clip)
            for form in ("standard", "close"):
                self.extract(clip, "--force", "--form", form)
                located = self.read(name)
                self.extract(clip, "--force", "--form", form, "--full-scan")
                self.assertEqual(self.read(name), located, (kind, form))
            self.extract(clip, "--force")

    def test_probe_names_the_layout_and_its_samples(self):
        expected = {"freegps": ("freeGPS boxes (today's layout)", 30), "freegps-appended": (
            "freeGPS boxes (today's layout)", 20), "gps0": ("gps0/gsen records (today's layout)", 12)}
        clips = [self.clips[kind][0] for kind in expected]
        result = self.vek_track("probe", *clips)
        self.assertEqual(result.returncode, 0, result.stderr)
        for kind, (family, samples) in expected.items():
            clip = self.clips[kind][0]
            block = result.stdout.split(clip + ": ")[1]
            self.assertTrue(block.startswith(family + "\n"), block)
            self.assertIn("samples: %d, first " % samples, block.splitlines()[1])
        missing = self.vek_track("probe", os.path.join(self.folder, "none.MOV"))
        self.assertEqual(missing.returncode, 1)
        self.assertIn("no such file", missing.stderr)

    def test_gps0_clip_gives_the_exact_text(self):
        clip, described = self.clips["gps0"]
        name = os.path.basename(clip)
        self.extract(clip, "--force")
        self.assertEqual(self.read(name), gps0_text(name, described))
        samples = evaluate(self.track_file(name))[name]
        self.assertEqual(len(samples), 120)
        record = described["gps0"]["records"][7]["decoded"]
        self.assertEqual(samples[record["time_base"] + ".4"]["lon"], record["lon_text"])

    def test_close_form_fills_each_record_from_its_gsen_slot(self):
        clip, described = self.clips["gps0"]
        name = os.path.basename(clip)
        self.assertEqual(described["markers"]["gsen"][0], described["gsen"]["marker_offset"])
        self.extract(clip, "--force", "--form", "close")
        samples = evaluate(self.track_file(name))[name]
        slots = described["gsen"]["slots"]
        records = described["gps0"]["records"]
        for number in range(4, len(records) + 1):  # records numbered from 1; the first three unwritten
            d = records[number - 1]["decoded"]
            sample = samples[d["time_base"] + ".9"]
            self.assertEqual(list(sample)[-3:], ["x", "y", "z"])
            self.assertEqual([sample["x"], sample["y"], sample["z"]], slots[number - 1]["text"], number)
            self.assertEqual(sample["lat"], d["lat_text"])
        self.extract(clip, "--force")  # leave the standard form for the other tests

    def test_existing_track_is_skipped_unless_forced(self):
        clip, _ = self.clips["freegps"]
        self.extract(clip, "--force")
        path = self.track_file(os.path.basename(clip))
        with open(path, "w", encoding="utf-8") as f:
            f.write("kept")
        self.assertIn("skipped", self.extract(clip).stdout)
        self.assertEqual(self.read(os.path.basename(clip)), "kept")
        self.extract(clip, "--force")
        self.assertNotEqual(self.read(os.path.basename(clip)), "kept")

    def test_odd_file_name_still_evaluates(self):
        clip, _ = self.clips["freegps"]
        odd = os.path.join(self.folder, "it's \"odd\" \\ [4] \u2028.MOV")
        shutil.copyfile(clip, odd)
        self.extract(odd, "--force")
        name = os.path.basename(odd)
        data = evaluate(self.track_file(name))
        self.assertEqual(list(data), [name])
        self.assertEqual(len(data[name]), 30)
        self.assertIn("data['%s']" % js(name).replace("\u2028", "\\u2028"), self.read(name))

    def test_missing_or_unreadable_clip_fails_with_a_message(self):
        result = self.vek_track("extract", os.path.join(self.folder, "none.MOV"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("none.MOV: no such file", result.stderr)
        result = self.vek_track("extract", self.folder)
        self.assertEqual(result.returncode, 1)
        self.assertIn("is a folder", result.stderr)
        self.assertEqual(self.vek_track("extract").returncode, 2)
        self.assertEqual(self.vek_track("gpx", os.path.join(self.folder, "none.MOV")).returncode, 1)
        self.assertIn("Usage: vek-track", self.vek_track("--help").stdout)

    def test_gpx_of_a_freegps_clip(self):
        clip, described = self.clips["freegps"]
        result = self.vek_track("gpx", clip)
        self.assertEqual(result.returncode, 0, result.stderr)
        ns = {"g": "http://www.topografix.com/GPX/1/1"}
        points = ElementTree.fromstring(result.stdout).findall("g:trk/g:trkseg/g:trkpt", ns)
        samples = [s for b in described["boxes"] for s in b["samples"]]
        self.assertEqual(len(points), len(samples))
        first, header = samples[0], described["boxes"][0]["header"]
        self.assertAlmostEqual(float(points[0].get("lat")), first["raw"]["lat_e7"] / 1e7, places=7)
        self.assertEqual(points[0].find("g:time", ns).text, "%04d-%02d-%02dT%02d:%02d:%04.1fZ" % (
            header["year"], header["month"], header["day"], header["hour"], header["minute"],
            first["decoded"]["seconds"]))

    def test_gpx_of_a_gps0_clip_has_one_point_per_record(self):
        clip, _ = self.clips["gps0"]
        result = self.vek_track("gpx", clip)
        self.assertEqual(result.returncode, 0, result.stderr)
        points = ElementTree.fromstring(result.stdout).findall(".//{http://www.topografix.com/GPX/1/1}trkpt")
        self.assertEqual(len(points), 12)


if __name__ == "__main__":
    missing = [tool for tool in ("node", "ffmpeg") if shutil.which(tool) is None]
    if not (VEK_TRACK and FIXTURE) or missing:
        print("skipped: needs VEK_TRACK, VEK_FIXTURE and " + ", ".join(missing or ["node", "ffmpeg"]))
        sys.exit(SKIP)
    unittest.main()
