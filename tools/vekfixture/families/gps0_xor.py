"""A top-level "gps0" atom after the movie that is not today's 32-byte layout:
one 311-byte XOR-0xAA text record per second (the text-track records' text,
padded with NULs before the XOR), so each record starts ?? ?? f2 e1 f0 ee 54 54
98. The records are read once each, in 311-byte steps from the payload's start."""
import struct

from . import common, xor_text

RECORD = 311
KEY = 0xAA


def build(movie, options, points, drive_mod):
    records, fixes = [], []
    for when, point in common.second_points(points, drive_mod, options.clip_start, options.seconds):
        data, fix = xor_text.record(point, when)
        records.append(data + bytes([KEY]) * (RECORD - len(data)))
        fixes.append(fix)
    payload = b"".join(records)
    base = movie.serialized()
    readings = ["clock taken as UTC", "speed from the 3 digits at 0x3E of the decrypted text",
                "gps0 payload read as 311-byte records from its start, each read once"]
    description = common.description(8, "XOR-0xAA records in a gps0 atom",
                                     [{"offset": len(base), "size": 8 + len(payload)}], fixes, (), readings)
    return base + struct.pack(">I4s", 8 + len(payload), b"gps0") + payload, description, {}
