#!/usr/bin/env python3
"""The yardsticks of the tidy CSV and workbook benchmarks (bench/compare.sh):
reads a ".ql6" data file and writes the same table as `quillet-cli export
--tidy` (pandas' DataFrame.to_csv, UTF-8 with a byte-order mark, CR LF) or
`--xlsx` (DataFrame.to_excel through openpyxl): the time, then the
channels' values with one decimal, empty cells for error samples.

Usage: pandas_table.py csv|xlsx FILE.ql6 OUT"""
import struct
import sys

import numpy as np
import pandas as pd

kind, source, target = sys.argv[1:4]
data = open(source, "rb").read()
(blocks,) = struct.unpack_from("<h", data, 0)
pos = 2
columns = {}
start = None
for _ in range(blocks):
    f = struct.unpack_from("<18hi2h", data, pos)
    code, card, minute, hour, day, month, year = f[0], f[1], f[3], f[4], f[5], f[6], f[7]
    test, count = f[12], f[19]
    pos += 44
    if (code - 1) // 8 in (1, 2):
        pos += 4  # alarm values
    samples = np.frombuffer(data, dtype="<i2", count=count, offset=pos)
    pos += 2 * count
    if start is None:
        start = pd.Timestamp(year=year, month=month, day=day, hour=hour, minute=minute)
    unit = "[%RH]" if (code - 1) // 8 == 2 else "[℃]"
    name = "%s %03d-%03d %s" % (chr(ord("A") + (code - 1) % 8), card, test, unit)
    columns[name] = pd.Series(samples / 10.0).where(samples != 9999)

rows = max(len(c) for c in columns.values())
frame = pd.DataFrame(columns)
frame.insert(0, "日時", pd.date_range(start, periods=rows, freq="1min"))
if kind == "csv":
    frame.to_csv(target, index=False, float_format="%.1f", encoding="utf-8-sig", lineterminator="\r\n",
                 date_format="%Y-%m-%d %H:%M:%S")
else:
    with pd.ExcelWriter(target, engine="openpyxl", datetime_format="yyyy-mm-dd hh:mm:ss") as book:
        frame.to_excel(book, sheet_name="データ", index=False, freeze_panes=(1, 0))
