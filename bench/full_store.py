#!/usr/bin/env python3
"""Writes a full store as a ".ql6" data file: eight temperature channels with
alarm values (kind 1), 12000 samples each at one-minute steps, every 97th an
error sample (9999). Used by bench/compare.sh.

Usage: full_store.py OUT.ql6 [ROWS]"""
import struct
import sys

out = sys.argv[1]
rows = int(sys.argv[2]) if len(sys.argv) > 2 else 12000
blocks = [struct.pack("<h", 8)]
for ch in range(1, 9):
    kind = 1
    header = struct.pack(
        "<18hi4h",
        kind * 8 + ch,  # code
        ch, 0, ch, 9, 15, 11, 2013,  # card, start ten-seconds, minute, hour, day, month, year
        0, 1, 0,  # interval ten-seconds, minutes, hours
        250, 0, 100 + ch, 1,  # reference value and side, test number, range code
        400, -100, 150,  # max, min, average
        12345,  # integrated value (int32)
        rows, rows // 97,  # samples, errors
        350, -50)  # upper and lower alarm
    samples = [9999 if i % 97 == 0 else (i * 7 + ch * 13) % 900 - 200 for i in range(1, rows + 1)]
    blocks.append(header + struct.pack("<%dh" % rows, *samples))
with open(out, "wb") as f:
    f.write(b"".join(blocks))
