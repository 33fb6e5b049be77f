#!/usr/bin/env python3
"""Checks the fixture tool: its clips play, last as long as asked, keep their
media intact when atoms are inserted between samples, and carry exactly the
markers and values their JSON states.

Usage: test_vek_fixture.py TOOLS_DIR
"""
import datetime
import hashlib
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

SKIP_RETURN_CODE = 77  # ctest's SKIP_RETURN_CODE: ffmpeg is not installed
SMALL = "320x180"  # keeps every encode well under a second
DURATION_TOLERANCE_S = 0.1  # AAC priming may lengthen a track by a frame
POSITION_TOLERANCE_DEG = 1e-5  # single-precision storage near 121 degrees
MARKERS = (b"freeGPS", b"gps0", b"gsen")
GPS0_CORRECTION_LAT = -0.004475 - 0.0034
GPS0_CORRECTION_LON = 0.00117435 - 0.0176

TOOLS = None


# Well under the test's own limit, so a hung command fails naming itself.
COMMAND_TIMEOUT_S = 120


def run(command):
    return subprocess.run(command, capture_output=True, text=True, timeout=COMMAND_TIMEOUT_S)


def make(directory, name, *options):
    clip = os.path.join(directory, name + ".MOV")
    description = os.path.join(directory, name + ".json")
    result = run([sys.executable, os.path.join(TOOLS, "vek-fixture.py"), "--out", clip, "--json", description,
                  "--size", SMALL, *options])
    if result.returncode != 0:
        raise AssertionError("vek-fixture failed: " + result.stderr)
    with open(clip, "rb") as handle, open(description) as text:
        return handle.read(), json.load(text), clip


def find_all(data, marker):
    found, at = [], data.find(marker)
    while at != -1:
        found.append(at)
        at = data.find(marker, at + 1)
    return found


def top_level(data):
    atoms, offset = {}, 0
    while offset + 8 <= len(data):
        size, kind = struct.unpack_from(">I4s", data, offset)
        atoms.setdefault(kind, []).append((offset, size))
        offset += size
    return atoms


def packet_checksums(clip):
    result = run(["ffmpeg", "-v", "error", "-i", clip, "-map", "0", "-c", "copy", "-f", "framemd5", "-"])
    return [line for line in result.stdout.splitlines() if not line.startswith("#")]


# A branch's queue that may hold the whole clip: with bounded queues one
# branch can fill while the other still waits to preroll, and the pipeline stalls.
UNBOUNDED = ("max-size-buffers=0", "max-size-bytes=0", "max-size-time=0")


def gstreamer_frames(clip, raw_path):
    """Demuxes in push mode (a queue before qtdemux), as a streaming player does, decodes both tracks and
    returns the exit code, the errors and a digest of the raw video."""
    result = run(["gst-launch-1.0", "-q", "filesrc", "location=" + clip, "!", "queue", "!", "qtdemux", "name=d",
                  "d.video_0", "!", "queue", *UNBOUNDED, "!", "decodebin", "!", "videoconvert", "!", "video/x-raw,format=I420",
                  "!", "filesink", "location=" + raw_path,
                  "d.audio_0", "!", "queue", *UNBOUNDED, "!", "decodebin", "!", "fakesink"])
    if not os.path.exists(raw_path):
        return result.returncode, result.stderr, None
    with open(raw_path, "rb") as raw:
        return result.returncode, result.stderr, hashlib.sha256(raw.read()).hexdigest()


def frame_checksums(clip):
    result = run(["ffmpeg", "-v", "error", "-i", clip, "-map", "0:v", "-f", "framemd5", "-"])
    return [line for line in result.stdout.splitlines() if not line.startswith("#")]


class ClipCase(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.mkdtemp(prefix="vek-fixture-test-")

    def tearDown(self):
        shutil.rmtree(self.directory)

    def assert_plays(self, clip, seconds):
        decoded = run(["ffmpeg", "-v", "error", "-i", clip, "-f", "null", "-"])
        self.assertEqual((decoded.returncode, decoded.stdout + decoded.stderr), (0, ""))
        probe = run(["ffprobe", "-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", clip])
        self.assertAlmostEqual(float(probe.stdout), seconds, delta=DURATION_TOLERANCE_S)

    def assert_markers(self, data, description):
        for marker in MARKERS:
            self.assertEqual(find_all(data, marker), description["markers"][marker.decode()], marker)
        self.assertEqual(description["file_length"], len(data))


class FreeGpsTest(ClipCase):
    def check_boxes(self, data, description, seconds, start):
        boxes = description["boxes"]
        self.assertEqual(len(boxes), seconds)
        self.assertEqual([b["marker_offset"] for b in boxes], description["markers"]["freeGPS"])
        for k, box in enumerate(boxes):
            at, size = box["atom_offset"], box["atom_size"]
            self.assertEqual(data[at:at + 12], struct.pack(">I", size) + b"freeGPS ")
            self.assertEqual(box["box_offset"], box["marker_offset"] + 44)
            self.assertEqual(data[box["box_offset"] + 332:at + size], bytes(at + size - box["box_offset"] - 332))
            when = start + datetime.timedelta(seconds=k)
            self.assertEqual(box["header"], {"year": when.year, "month": when.month, "day": when.day,
                                             "hour": when.hour, "minute": when.minute})
            self.check_samples(data, box, when, description["drive"][k])

    def check_samples(self, data, box, when, truth):
        self.assertEqual([s["offset"] for s in box["samples"]], [box["box_offset"] + 32 * j for j in range(10)])
        first = box["samples"][0]
        self.assertEqual(first["raw"]["seconds_x10"], when.second * 10)
        self.assertEqual(first["decoded"]["time_key"], "%d/%02d/%02d %02d:%02d:%d.0" % (
            when.year, when.month, when.day, when.hour + 1, when.minute, when.second))
        self.assertEqual(struct.unpack_from(">ii", data, first["offset"] + 15),
                         (first["raw"]["lat_e7"], first["raw"]["lon_e7"]))
        self.assertAlmostEqual(first["decoded"]["lat"], truth["lat"], delta=POSITION_TOLERANCE_DEG)
        self.assertAlmostEqual(first["decoded"]["lon"], truth["lon"], delta=POSITION_TOLERANCE_DEG)
        self.assertAlmostEqual(first["decoded"]["speed_kmh"], truth["speed_kmh"], delta=0.036)
        self.assertEqual(float(first["decoded"]["lat_text"]), round(first["decoded"]["lat"], 7))
        heading = first["decoded"]["degrees"] % 360
        self.assertLess(min(abs(heading - truth["heading_deg"]), 360 - abs(heading - truth["heading_deg"])), 0.01)
        for axis, offset in enumerate(box["gsensor"]["offsets"]):
            self.assertEqual(data[offset], box["gsensor"]["raw"][axis])

    def test_interleaved_atoms_sit_between_samples_and_leave_the_media_intact(self):
        options = ["--seconds", "4", "--audio", "--seed", "3"]
        data, description, clip = make(self.directory, "inter", "--kind", "freegps", *options)
        _, _, plain = make(self.directory, "plain", "--kind", "freegps-appended", *options)
        self.assert_plays(clip, 4)
        self.assert_markers(data, description)
        self.check_boxes(data, description, 4, datetime.datetime(2016, 3, 1, 9, 5, 7))
        (mdat_at, mdat_size), = top_level(data)[b"mdat"]
        for box in description["boxes"]:
            self.assertTrue(mdat_at + 8 <= box["atom_offset"] and box["atom_offset"] + box["atom_size"] <= mdat_at + mdat_size)
        self.assertLess(description["boxes"][0]["atom_offset"], mdat_at + mdat_size - 4 * 0x8000,
                        "atoms must be spread over the media, not gathered at its end")
        self.assertEqual(packet_checksums(clip), packet_checksums(plain))
        self.assertEqual(frame_checksums(clip), frame_checksums(plain))
        self.assertEqual(len(frame_checksums(clip)), 4 * 30)

    @unittest.skipUnless(shutil.which("gst-launch-1.0"), "gst-launch-1.0 (gstreamer1.0-tools) is not installed")
    def test_interleaved_clip_streams_through_gstreamer(self):
        _, _, clip = make(self.directory, "gst", "--kind", "freegps", "--seconds", "3", "--audio")
        _, _, plain = make(self.directory, "gstplain", "--kind", "freegps-appended", "--seconds", "3", "--audio")
        interleaved = gstreamer_frames(clip, os.path.join(self.directory, "gst.yuv"))
        self.assertEqual(interleaved[:2], (0, ""))
        self.assertEqual(interleaved, gstreamer_frames(plain, os.path.join(self.directory, "gstplain.yuv")))

    def test_appended_atoms_follow_the_movie(self):
        data, description, clip = make(self.directory, "app", "--kind", "freegps-appended", "--seconds", "3",
                                       "--start", "2019-12-31T23:59:58")
        self.assert_plays(clip, 3)
        self.assert_markers(data, description)
        self.check_boxes(data, description, 3, datetime.datetime(2019, 12, 31, 23, 59, 58))
        (moov_at, moov_size), = top_level(data)[b"moov"]
        self.assertEqual(description["boxes"][0]["atom_offset"], moov_at + moov_size)
        self.assertEqual(top_level(data)[b"free"][-1][0] + 0x8000, len(data))

    def test_southwest_drive_gives_negative_coordinates(self):
        data, description, _ = make(self.directory, "sw", "--kind", "freegps-appended", "--seconds", "2",
                                    "--southwest", "--atom-size", "1024")
        self.assert_markers(data, description)
        sample = description["boxes"][1]["samples"][5]
        self.assertLess(sample["raw"]["lat_e7"], 0)
        self.assertLess(sample["raw"]["lon_e7"], 0)
        self.assertTrue(sample["decoded"]["lat_text"].startswith("-34."))
        self.assertRegex(sample["decoded"]["label"], r"^-34\[ \d+' \d+\.\d\d:,-58\[ \d+' \d+\.\d\d:$")
        self.assertEqual(description["boxes"][1]["atom_size"], 1024)

    def test_rotation_is_seen_by_players(self):
        _, _, clip = make(self.directory, "rot", "--kind", "freegps", "--seconds", "1", "--rotate", "90")
        probe = run(["ffprobe", "-v", "error", "-select_streams", "v", "-show_streams", clip])
        self.assertIn("rotation=-90", probe.stdout)  # ffmpeg counts counter-clockwise


class AudioMarkTest(ClipCase):
    def test_the_burst_starts_with_its_video_frame_and_nothing_else_sounds(self):
        _, description, clip = make(self.directory, "mark", "--kind", "freegps", "--seconds", "2",
                                    "--audio-mark", "45")
        self.assert_plays(clip, 2)
        self.assertEqual(description["audio"], True)
        self.assertEqual(description["audio_mark"]["seconds"], 1.5)
        decoded = subprocess.run(["ffmpeg", "-v", "error", "-i", clip, "-map", "0:a:0", "-f", "f32le", "-ac", "1",
                                  "-ar", "48000", "-"], capture_output=True, timeout=COMMAND_TIMEOUT_S).stdout
        samples = struct.unpack("<%df" % (len(decoded) // 4), decoded)
        loud = [i for i, value in enumerate(samples) if abs(value) > 0.2]
        self.assertTrue(loud)
        # The burst rises within a quarter of its 1 kHz period and lasts its 20 ms.
        self.assertAlmostEqual(loud[0] / 48000, 1.5, delta=0.00025 + 1 / 48000)
        self.assertAlmostEqual((loud[-1] - loud[0]) / 48000, 0.02, delta=0.001)

    def test_a_mark_past_the_clip_is_refused(self):
        clip = os.path.join(self.directory, "bad.MOV")
        result = run([sys.executable, os.path.join(TOOLS, "vek-fixture.py"), "--out", clip, "--json",
                      clip + ".json", "--kind", "freegps", "--seconds", "1", "--audio-mark", "30"])
        self.assertEqual(result.returncode, 2)
        self.assertEqual(os.listdir(self.directory), [])


class Gps0Test(ClipCase):
    def check_records(self, data, description, count, start):
        records = description["gps0"]["records"]
        self.assertEqual(len(records), count)
        marker = description["gps0"]["marker_offset"]
        self.assertEqual(data[marker - 4:marker + 4], struct.pack(">I", 4 + 32 * count) + b"gps0")
        for k, record in enumerate(records):
            when = start + datetime.timedelta(seconds=k)
            self.assertEqual(record["offset"], marker + 32 * k)
            raw = record["raw"]
            self.assertEqual((raw["year"] + 2000, raw["month"], raw["day"], raw["hour"], raw["minute"], raw["second"]),
                             (when.year, when.month, when.day, when.hour, when.minute, when.second))
            self.assertEqual(struct.unpack_from("<dd", data, record["offset"] + 4), (raw["lat_dms_x100"], raw["lon_dms_x100"]))
            truth = description["drive"][k]
            self.assertAlmostEqual(record["decoded"]["lat"], truth["lat"] + GPS0_CORRECTION_LAT, delta=POSITION_TOLERANCE_DEG)
            self.assertAlmostEqual(record["decoded"]["lon"], truth["lon"] + GPS0_CORRECTION_LON, delta=POSITION_TOLERANCE_DEG)
            self.assertEqual(raw["speed"], round(truth["speed_kmh"]))

    def check_gsen(self, data, description, records):
        gsen = description["gsen"]
        slots = gsen["slots"]
        self.assertEqual(len(slots), 10 * records)
        self.assertEqual(gsen["atom_offset"], description["gps0"]["atom_offset"] + 4 + 32 * records)
        self.assertEqual(gsen["atom_offset"] + 4 + 12 * len(slots), len(data), "gsen must end the file")
        self.assertEqual(slots[0]["raw"][0], 0x6773)  # "gs"
        self.assertEqual(slots[0]["text"][0], "1.74")
        for slot in slots:
            self.assertEqual(list(struct.unpack_from(">h2xh2xh", data, slot["offset"])), slot["raw"])

    def check_reader_chunk(self, data, description):
        chunk = description["gps0_chunk"]
        marker = description["gps0"]["marker_offset"]
        n = (len(data) - marker) // 36
        self.assertEqual(chunk["n"], n)
        self.assertEqual(chunk["gsensor"]["offsets"], [marker + 36 * n - 12, marker + 36 * n - 8, marker + 36 * n - 4])
        self.assertEqual(chunk["gsensor"]["raw"], [data[o] for o in chunk["gsensor"]["offsets"]])
        self.assertGreaterEqual(chunk["gsensor"]["offsets"][0], description["gsen"]["atom_offset"])
        for raw, text in zip(chunk["gsensor"]["raw"], chunk["gsensor"]["text"]):
            signed = raw - 256 if raw > 127 else raw
            self.assertEqual(text, "%.2f" % (signed * (1 << 24) / 1e9))

    def test_short_clip_gets_fifteen_records_at_the_end(self):
        data, description, clip = make(self.directory, "g", "--kind", "gps0", "--seconds", "3", "--audio",
                                       "--start", "2016-03-01T20:59:58")
        self.assert_plays(clip, 3)
        self.assert_markers(data, description)
        self.check_records(data, description, 15, datetime.datetime(2016, 3, 1, 20, 59, 58))
        self.assertEqual(description["gps0"]["records"][0]["decoded"]["time_base"], "2016/03/01 28:59:58")
        self.check_gsen(data, description, 15)
        self.check_reader_chunk(data, description)
        (moov_at, moov_size), = top_level(data)[b"moov"]
        self.assertEqual(description["gps0"]["atom_offset"], moov_at + moov_size)

    def test_long_clip_gets_a_record_per_second(self):
        data, description, clip = make(self.directory, "long", "--kind", "gps0", "--seconds", "17", "--fps", "5")
        self.assert_plays(clip, 17)
        self.assert_markers(data, description)
        self.check_records(data, description, 17, datetime.datetime(2016, 3, 1, 9, 5, 7))
        self.check_gsen(data, description, 17)
        self.check_reader_chunk(data, description)


class BadOptionsTest(ClipCase):
    def refuse(self, expected_code, *options, env=None):
        clip = os.path.join(self.directory, "bad.MOV")
        result = subprocess.run([sys.executable, os.path.join(TOOLS, "vek-fixture.py"), "--out", clip,
                                 "--json", clip + ".json", *options], capture_output=True, text=True, env=env,
                                timeout=COMMAND_TIMEOUT_S)
        self.assertEqual(result.returncode, expected_code, result.stderr)
        self.assertNotEqual(result.stderr, "")
        self.assertEqual(os.listdir(self.directory), [], "a refused run leaves no file")

    def test_refusals_leave_no_files(self):
        self.refuse(2, "--kind", "freegps", "--seconds", "0")
        self.refuse(2, "--kind", "freegps", "--seconds", "2", "--size", "641x360")
        self.refuse(2, "--kind", "gps0", "--seconds", "2", "--rotate", "45")
        self.refuse(2, "--kind", "gps0", "--seconds", "2", "--start", "2016-13-01T00:00:00")
        self.refuse(2, "--kind", "freegps", "--seconds", "1", "--atom-size", "379")
        self.refuse(2, "--kind", "freegps", "--seconds", "1", "--atom-size", "0x7fffffff")

    def test_missing_encoder_fails_without_files(self):
        self.refuse(1, "--kind", "gps0", "--seconds", "1", env={"PATH": self.directory})


class DemoClipsTest(unittest.TestCase):
    def test_makes_three_clips_once(self):
        directory = tempfile.mkdtemp(prefix="vek-demo-test-")
        try:
            target = os.path.join(directory, "demo")
            first = run([os.path.join(TOOLS, "make-demo-clips.sh"), target])
            self.assertEqual(first.returncode, 0, first.stderr)
            names = sorted(os.listdir(target))
            self.assertEqual(names, ["FILE0001.MOV", "FILE0002.MOV", "FILE0003.MOV"])
            stamps = [os.stat(os.path.join(target, n)).st_mtime_ns for n in names]
            again = run([os.path.join(TOOLS, "make-demo-clips.sh"), target])
            self.assertEqual((again.returncode, again.stdout), (0, ""))
            self.assertEqual([os.stat(os.path.join(target, n)).st_mtime_ns for n in names], stamps)
            with open(os.path.join(target, "FILE0003.MOV"), "rb") as clip:
                self.assertEqual(len(find_all(clip.read(), b"gps0")), 1)
        finally:
            shutil.rmtree(directory)


if __name__ == "__main__":
    if shutil.which("ffmpeg") is None or shutil.which("ffprobe") is None:
        print("skipped: ffmpeg and ffprobe are needed (apt-get install ffmpeg)")
        sys.exit(SKIP_RETURN_CODE)
    TOOLS = sys.argv.pop(1)
    unittest.main()
