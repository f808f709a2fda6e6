#!/usr/bin/env python3
"""The yardsticks of the tidy CSV and workbook benchmarks (bench/compare.sh):
reads a ".ql6" data file and writes the same table as `quillet-cli export
--tidy` (pandas' DataFrame.to_csv, UTF-8 with a byte-order mark, CR LF) or
`--xlsx` (DataFrame.to_excel through openpyxl): the time, then the
channels' values with one decimal, empty cells for error samples.

Usage: pandas_table.py csv|xlsx FILE.ql6 OUT"""
import sys

import pandas as pd

from ql6channels import read_channels

kind, source, target = sys.argv[1:4]
start, channels = read_channels(source)
columns = {"%s %03d-%03d %s" % (letter, card, test, "[%RH]" if humid else "[℃]"): values
           for letter, card, test, humid, values in channels}

rows = max(len(c) for c in columns.values())
frame = pd.DataFrame(columns)
frame.insert(0, "日時", pd.date_range(start, periods=rows, freq="1min"))
if kind == "csv":
    frame.to_csv(target, index=False, float_format="%.1f", encoding="utf-8-sig", lineterminator="\r\n",
                 date_format="%Y-%m-%d %H:%M:%S")
else:
    with pd.ExcelWriter(target, engine="openpyxl", datetime_format="yyyy-mm-dd hh:mm:ss") as book:
        frame.to_excel(book, sheet_name="データ", index=False, freeze_panes=(1, 0))
