#!/usr/bin/env python3
"""Reads back what TableReadBack wrote into DIR with independent readers and
compares it with the program's classic CSV export: the tidy CSV (UTF-8 with
a byte-order mark and CP932) with pandas, the workbook with openpyxl; then
the tidy CSV and the workbook of channels recorded years and intervals apart.
Prints every mismatch and exits 1 when there is one.

Usage: readback.py DIR"""
import math
import sys

import openpyxl
import pandas as pd

d = sys.argv[1]
problems = []


def expect(ok, what):
    if not ok:
        problems.append(what)


# The classic CSV as its users have to read it.
classic = pd.read_csv(d + "/classic.csv", skiprows=20, header=None, na_values=["-----"], skipinitialspace=True,
                   encoding="cp932")
times = pd.to_datetime(classic[1])
channels = {}
for col, letter in zip(range(2, 10), "ABCDEFGH"):
    values = pd.to_numeric(classic[col], errors="coerce")
    if values.notna().any():
        channels[letter] = values

raw = open(d + "/tidy.csv", "rb").read()
expect(raw.startswith(b"\xef\xbb\xbf"), "tidy.csv has no byte-order mark")
tidy = pd.read_csv(d + "/tidy.csv", encoding="utf-8-sig", parse_dates=["日時"])
expect(list(tidy.columns) == ["日時", "A 001-011 [℃]", "C 003-013 [%RH]", "E 005-015 [℃]"],
       "tidy.csv columns: %r" % list(tidy.columns))
expect(len(tidy) == len(classic) == 12000, "rows: tidy %d, classic %d" % (len(tidy), len(classic)))
expect((tidy["日時"] == times).all(), "tidy.csv times differ from the classic export")
for name in tidy.columns[1:]:
    a, b = tidy[name], channels[name[0]]
    expect((a.isna() == b.isna()).all(), name + ": empty cells differ")
    if name.endswith("[%RH]"):
        # The classic export shows humidity whole, rounded half away from zero.
        expect((a.dropna() % 1 != 0).any(), name + ": no tenths")
        a = (a + 0.5) // 1
    expect(((a - b).abs().fillna(0) < 1e-9).all(), name + ": values differ")
expect(tidy.iloc[:, 2].iloc[:250].isna().all() and tidy.iloc[:, 2].iloc[250:].notna().sum() > 11000,
       "the late channel is not late")
expect(tidy["日時"].iloc[-1] == pd.Timestamp("2024-03-08 06:59:00"), "last time %s" % tidy["日時"].iloc[-1])

sjis = pd.read_csv(d + "/sjis.csv", encoding="cp932", parse_dates=["日時"])
expect(sjis.equals(tidy), "the CP932 table differs from the UTF-8 one")

span = pd.read_csv(d + "/span.csv", encoding="utf-8-sig", parse_dates=["日時"])
expect(span.equals(tidy.iloc[239:260].reset_index(drop=True)), "span.csv is not rows 240..260")


def read_book(path, series):
    """The workbook at path, its sheets, frozen header and chart checked; series
    lists the name cells of the series of each plot (temperatures on the left
    axis, humidity on its own on the right)."""
    book = openpyxl.load_workbook(path)
    expect(book.sheetnames == ["データ", "統計", "グラフ"], "sheets: %r" % book.sheetnames)
    expect(book["データ"].freeze_panes == "A2", "header row not frozen")
    charts = book.chartsheets[0]._charts if book.chartsheets else []
    expect(len(charts) == 1, "no chart")
    if charts:
        plots = charts[0]._charts
        names = [[s.tx.strRef.f for s in p.series] for p in plots]
        expect(names == series, "series %r" % names)
        if len(plots) == 2:
            expect(plots[1].y_axis.axPos == "r" and plots[1].y_axis.crosses == "max", "humidity axis not on the right")
            expect(plots[1].x_axis.delete and plots[1].x_axis.scaling.min == plots[0].x_axis.scaling.min,
                   "the second time axis is shown or scaled otherwise")
    return book


def statistics(book):
    """"統計" as one tuple per column: the labels, then each channel's
    header values and figures, a figure a row."""
    return list(book["統計"].iter_cols(max_row=24, values_only=True))


def compare(book, frame, what):
    """The data sheet against the tidy table: per channel a column of times,
    each its channel's start + i × interval as "統計" gives them, beside the
    values the tidy table holds at those times, in tenths."""
    data = book["データ"]
    rows = list(data.iter_rows(values_only=True))
    heads = []
    for name in frame.columns[1:]:
        heads += [name[0] + " 日時", name]
    expect(list(rows[0]) == heads, what + ": header %r" % (rows[0],))
    channels = {r[0]: r for r in statistics(book)[1:] if r[0] and len(r[0]) == 1}
    for k, name in enumerate(frame.columns[1:]):
        cells = [r[2 * k:2 * k + 2] for r in rows[1:]]
        n = sum(1 for t, _ in cells if t is not None)
        expect(all(t is None for t, _ in cells[n:]), what + ": %s has gaps in its times" % name)
        if n == 0:
            continue
        times = pd.DatetimeIndex([t for t, _ in cells[:n]]).round("s")
        start, interval = pd.Timestamp(channels[name[0]][3]).round("s"), channels[name[0]][4]
        steps = (times - start) / interval
        expect(list(steps) == list(range(int(steps[0]), int(steps[0]) + n)),
               what + ": %s not at its start + i × interval" % name)
        formats = [data.cell(2, 2 * k + c).number_format for c in (1, 2)]
        expect(formats == ["yyyy-mm-dd hh:mm:ss", "0.0"], what + ": %s formats %r" % (name, formats))
        column = frame.set_index("日時")[name]
        expect(column.dropna().index.isin(times).all(), what + ": %s lacks values of the tidy table" % name)
        got = pd.to_numeric(pd.Series([v for _, v in cells[:n]], index=times, dtype=object), errors="coerce")
        want = column.reindex(times)
        wrong = (got.isna() != want.isna()) | ((got - want).abs() > 1e-9)
        for t in times[wrong.to_numpy()][:5]:
            expect(False, what + ": %s at %s: %r, not %r" % (name, t, got[t], want[t]))


book = read_book(d + "/book.xlsx", [["'データ'!$B$1", "'データ'!$F$1"], ["'データ'!$D$1"]])
compare(book, tidy, "book.xlsx")
stats = statistics(book)
expect([r[0] for r in stats[1:4]] == ["A", "C", "E"], "statistics columns %r" % [r[0] for r in stats[1:]])
expect([r[5] for r in stats[1:4]] == [12000, 11750, 40], "sample counts %r" % [r[5] for r in stats[1:4]])
expect(stats[2][9] == 55.5 and book["統計"].cell(10, 3).number_format == "0.0",
       "the humidity average %r" % (stats[2][9],))
note = book["統計"].cell(26, 1).value
expect(note == "MKT以降は 2024-02-28 23:00:00 ～ 2024-03-08 06:59:00 の値 (ΔH/R = 10000.0 K)",
       "the span note: %r" % (note,))
expect(book["統計"].page_setup.orientation == "landscape" and book["統計"].page_setup.fitToWidth in (1, None),
       "the figures print on one landscape page")


def audit_figures(values, upper, lower):
    """MKT, seconds above and below, the share within, the excursions and the
    degree-minutes of a channel's samples (NaN an error), one minute apart."""
    valid = values.dropna()
    mkt = 10000 / -math.log(sum(math.exp(-10000 / (v + 273.15)) for v in valid) / len(valid)) - 273.15
    runs = {"above": 0, "below": 0}
    for side, beyond in (("above", values > upper), ("below", values < lower)):
        runs[side] = int((beyond & ~beyond.shift(fill_value=False)).sum())
    return [mkt, (valid > upper).sum() * 60, (valid < lower).sum() * 60,
            ((valid <= upper) & (valid >= lower)).sum() / len(valid), runs["above"], runs["below"],
            (valid - upper).clip(lower=0).sum(), (lower - valid).clip(lower=0).sum()]


a = tidy["A 001-011 [℃]"]
c = tidy["C 003-013 [%RH]"].iloc[250:]
for row, want in ((stats[1], audit_figures(a, 50.0, -10.0)), (stats[2], [None] + audit_figures(c, 80, 35)[1:])):
    got = [row[12], row[13].total_seconds(), row[14].total_seconds(), row[15], row[16], row[17], row[22], row[23]]
    same = all((g is None) if w is None else (g is not None and math.isclose(g, w, rel_tol=1e-9, abs_tol=1e-9))
               for g, w in zip(got, want))
    expect(same, "audit figures of %s: %r, not %r" % (row[0], got, want))
compare(read_book(d + "/spanbook.xlsx", [["'データ'!$B$1", "'データ'!$F$1"], ["'データ'!$D$1"]]),
        tidy.iloc[239:260].reset_index(drop=True), "spanbook.xlsx")

# Channels years and intervals apart: the tidy CSV, whose times the test
# checked, against the workbook.
apart = pd.read_csv(d + "/apart.csv", encoding="utf-8-sig", parse_dates=["日時"])
book = read_book(d + "/apart.xlsx", [["'データ'!$B$1", "'データ'!$F$1", "'データ'!$H$1"], ["'データ'!$D$1"]])
compare(book, apart, "apart.xlsx")
note = book["統計"].cell(26, 1).value
expect(note == "MKT以降は 2012-01-01 00:00:00 ～ 2026-05-01 12:20:00 の値 (ΔH/R = 10000.0 K)", "apart note %r" % note)

for p in problems[:30]:
    print(p)
sys.exit(1 if problems else 0)
