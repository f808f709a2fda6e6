#!/usr/bin/env python3
"""The yardstick of the CSV export benchmark (bench/compare.sh): reads a ".ql6"
data file and writes the same table as `quillet-cli export --csv` with
pandas' DataFrame.to_csv: row number, time, the channels' values in tenths
with one decimal, CP932 with CR LF.

Usage: pandas_export.py FILE.ql6 OUT.csv"""
import struct
import sys

import numpy as np
import pandas as pd

data = open(sys.argv[1], "rb").read()
(blocks,) = struct.unpack_from("<h", data, 0)
pos = 2
columns = {}
start = None
for _ in range(blocks):
    f = struct.unpack_from("<18hi2h", data, pos)
    code, minute, hour, day, month, year = f[0], f[3], f[4], f[5], f[6], f[7]
    count = f[19]
    pos += 44
    if (code - 1) // 8 in (1, 2):
        pos += 4  # alarm values
    samples = np.frombuffer(data, dtype="<i2", count=count, offset=pos)
    pos += 2 * count
    if start is None:
        start = pd.Timestamp(year=year, month=month, day=day, hour=hour, minute=minute)
    values = pd.Series(samples / 10.0).where(samples != 9999)
    columns["CH " + chr(ord("A") + (code - 1) % 8)] = values

rows = max(len(c) for c in columns.values())
frame = pd.DataFrame(columns)
frame.insert(0, "時刻", pd.date_range(start, periods=rows, freq="1min").strftime("%Y-%m-%d %H:%M:%S"))
frame.insert(0, "No", np.arange(1, rows + 1))
frame.to_csv(sys.argv[2], index=False, float_format="%.1f", na_rep="-----", encoding="cp932", lineterminator="\r\n")
