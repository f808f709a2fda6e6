#!/usr/bin/env python3
"""Writes the data files of the archive benchmark: LOGGERS loggers, one year
at 10 minutes each, read out every 30 days (.ql6, one temperature channel
with alarm values), and the same samples as CSV rows of the archive's sample
table (series, t, value, readout) for the sqlite3 shell's .import.

usage: make_archive_files.py OUTDIR LOGGERS
"""
import math
import os
import random
import struct
import sys
from datetime import datetime, timedelta, timezone

INTERVAL = 600
PER_READOUT = 30 * 24 * 6  # 4320 samples


def block(card, test, start, samples):
    valid = [s for s in samples if s != 9999]
    # code (kind 1, channel 1), card, start (ten seconds .. year), interval
    # (ten seconds, minutes, hours), reference value and side, test, range,
    # maximum, minimum, average, integrated value
    head = struct.pack(
        "<18hi",
        9, card, start.second // 10, start.minute, start.hour, start.day, start.month, start.year,
        0, 10, 0, 9999, 0, test, 1,
        max(valid), min(valid), round(sum(valid) / len(valid)), 0)
    head += struct.pack("<4h", len(samples), 0, 80, 20)  # samples, errors, alarms
    return head + struct.pack("<%dh" % len(samples), *samples)


def main():
    out, loggers = sys.argv[1], int(sys.argv[2])
    os.makedirs(out, exist_ok=True)
    rnd = random.Random(7)
    year_start = datetime(2025, 1, 1, 0, 0)
    total = 365 * 24 * 6
    readout = 0
    with open(os.path.join(out, "samples.csv"), "w") as csv:
        for logger in range(loggers):
            card, test = 1 + logger // 50, 1 + logger % 50
            series = logger + 1
            values = [int(50 + 30 * math.sin(i / 900.0) + rnd.randint(-5, 5)) for i in range(total)]
            for first in range(0, total, PER_READOUT):
                chunk = values[first:first + PER_READOUT]
                start = year_start + timedelta(seconds=first * INTERVAL)
                readout += 1
                name = os.path.join(out, "L%03d_%02d.ql6" % (logger, first // PER_READOUT))
                with open(name, "wb") as f:
                    f.write(struct.pack("<h", 1) + block(card, test, start, chunk))
                t0 = int(start.replace(tzinfo=timezone.utc).timestamp())
                csv.write("".join("%d,%d,%d,%d\n" % (series, t0 + i * INTERVAL, v, readout)
                                  for i, v in enumerate(chunk)))


if __name__ == "__main__":
    main()
