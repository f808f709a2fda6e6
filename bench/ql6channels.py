"""Reads the channels of a ".ql6" data file for the pandas yardsticks of
bench/compare.sh: the first channel's start and, per channel, its letter,
card and test numbers, humidity or not, and its values (NaN for an error
sample)."""
import struct

import numpy as np
import pandas as pd


def read_channels(path):
    data = open(path, "rb").read()
    (blocks,) = struct.unpack_from("<h", data, 0)
    pos = 2
    start = None
    channels = []
    for _ in range(blocks):
        f = struct.unpack_from("<18hi2h", data, pos)
        code, card, minute, hour, day, month, year = f[0], f[1], f[3], f[4], f[5], f[6], f[7]
        test, count = f[13], f[19]
        pos += 44
        kind = (code - 1) // 8
        if kind in (1, 2):
            pos += 4  # alarm values
        samples = np.frombuffer(data, dtype="<i2", count=count, offset=pos)
        pos += 2 * count
        if start is None:
            start = pd.Timestamp(year=year, month=month, day=day, hour=hour, minute=minute)
        values = pd.Series(samples / 10.0).where(samples != 9999)
        channels.append((chr(ord("A") + (code - 1) % 8), card, test, kind == 2, values))
    return start, channels
