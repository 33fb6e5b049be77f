#!/usr/bin/env python3
"""A mixed card: five clips of every family the fixture tool makes (today's
two layouts, every family inside the clip and every sidecar family), each
starting where no other does, in one folder with their sidecars and the
card-wide logs one folder up. One `vek-track extract` takes in the whole card;
each clip's track must then name its family, and its samples (through the
CSV export) match its own fixture. Needs ffmpeg; exits 77 (skipped) without it."""
import datetime
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sidecar_families_e2e as single  # noqa: E402  (the per-family checks)

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools"))
from vekfixture import families  # noqa: E402

SKIP = 77
CLIPS_PER_FAMILY = 5
SECONDS = 2
TODAY = {"freegps": "freeGPS boxes", "gps0": "gps0/gsen records"}
START = datetime.datetime(2016, 3, 1, 8, 0, 7)


def make_card(folder):
    """{clip path: (kind, description)} of every family x five clips."""
    made = {}
    kinds = tuple(TODAY) + families.KINDS
    for k, kind in enumerate(kinds):
        for n in range(CLIPS_PER_FAMILY):
            start = START + datetime.timedelta(minutes=3 * (k * CLIPS_PER_FAMILY + n))  # a card-wide log name each
            clip = os.path.join(folder, "card", "DCIM", "F%02d_%d.MOV" % (k, n))
            subprocess.run([sys.executable, single.FIXTURE, "--kind", kind, "--seconds", str(SECONDS), "--size",
                            "160x96", "--seed", str(n + 1), "--start", start.strftime("%Y-%m-%dT%H:%M:%S"),
                            "--out", clip, "--json", clip[:-4] + ".json"], check=True, capture_output=True)
            with open(clip[:-4] + ".json", encoding="utf-8") as f:
                made[clip] = (kind, json.load(f))
    return made


class MixedCard(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="vek-mixed-card-")
        cls.home = os.path.join(cls.folder, "home")
        os.makedirs(cls.home)
        cls.made = make_card(cls.folder)
        cls.extract = single.run("extract", "--quiet", *cls.made, home=cls.home, timeout=900)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    def record(self, clip):
        with open(os.path.join(self.home, "VEK", "data", os.path.basename(clip)[:-4] + ".data.family")) as f:
            return f.read().rstrip("\n")

    def test_one_extract_takes_in_the_whole_card(self):
        self.assertEqual(self.extract.returncode, 0, self.extract.stderr)
        self.assertEqual(self.extract.stdout.count(": wrote "), len(self.made))

    def test_each_clip_names_its_family(self):
        for clip, (kind, described) in self.made.items():
            with self.subTest(clip=clip, kind=kind):
                want = TODAY.get(kind) or single.FAMILIES.get(kind, (None,))[0]
                if want:
                    self.assertEqual(self.record(clip), want)
                else:
                    self.assertIn("(family %d)" % described["family"], self.record(clip))

    def test_each_family_clip_matches_its_own_fixture(self):
        for clip, (kind, described) in self.made.items():
            if kind in TODAY:
                continue
            with self.subTest(clip=clip, kind=kind):
                case = single.FamilyCase.__new__(single.FamilyCase)
                case.test, case.kind, case.home, case.clip, case.described = self, kind, self.home, clip, described
                case.check_csv()


if __name__ == "__main__":
    if not shutil.which("ffmpeg"):
        print("skipped: ffmpeg is not installed")
        sys.exit(SKIP)
    sys.exit(0 if unittest.main(exit=False).result.wasSuccessful() else 1)
