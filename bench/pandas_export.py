#!/usr/bin/env python3
"""The yardstick of the CSV export benchmark (bench/compare.sh): reads a ".ql6"
data file and writes the same table as `quillet-cli export --csv` with
pandas' DataFrame.to_csv: row number, time, the channels' values in tenths
with one decimal, CP932 with CR LF.

Usage: pandas_export.py FILE.ql6 OUT.csv"""
import sys

import numpy as np
import pandas as pd

from ql6channels import read_channels

start, channels = read_channels(sys.argv[1])
columns = {"CH " + letter: values for letter, _, _, _, values in channels}

rows = max(len(c) for c in columns.values())
frame = pd.DataFrame(columns)
frame.insert(0, "時刻", pd.date_range(start, periods=rows, freq="1min").strftime("%Y-%m-%d %H:%M:%S"))
frame.insert(0, "No", np.arange(1, rows + 1))
frame.to_csv(sys.argv[2], index=False, float_format="%.1f", na_rep="-----", encoding="cp932", lineterminator="\r\n")
