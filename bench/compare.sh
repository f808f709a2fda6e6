#!/usr/bin/env bash
# Whole-process comparisons, each the median of repeated runs,
# printed with the ratio of the two medians measured in the same run:
#
#   export    quillet-cli export --csv of a full store (8 channels x 12000)
#             against a pandas script writing the same table (target: at
#             least 10x faster)
#   tidy      quillet-cli export --tidy of the same store against pandas
#             writing the same table (target: at least 10x faster)
#   workbook  quillet-cli export --xlsx against pandas writing it through
#             openpyxl (target: at least 5x faster)
#   convert   quillet-cli convert of the same file against cp
#   report    quillet-cli report of the same file (one A4 page with the
#             graph and the figures) against quillet-cli info of it
#             (target: at most 3x)
#   start-up  quillet from its start to its first painted main window against
#             a minimal Qt Widgets program, offscreen and under Xvfb
#             (target: at most 1.5x)
#   memory    peak resident memory of that start-up of quillet, holding the
#             full store, against the minimal program (target: at most 2x)
#
# Usage: bench/compare.sh [RUNS]      (RUNS defaults to 11)
#
# The two sides of a comparison run alternately (bench/pairs.py), so that
# other programs on a busy machine disturb both alike. The targets are about
# the ratio of the wall-clock medians; the ratio of the CPU times (user +
# system) beside it is steadier still.
#
# Builds in BUILD_DIR (default build-release) as a Release build when it does
# not exist yet; installs python3-pandas, python3-openpyxl and Xvfb when missing. The programs
# run with a scratch HOME, so the user's settings stay untouched.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
RUNS=${1:-11}
BUILD_DIR=${BUILD_DIR:-build-release}
PY=/usr/bin/python3  # the system's Python, which has the system's pandas

source scripts/packages.sh
install_missing python3-pandas python3-openpyxl xvfb xauth

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
  BUILD_TYPE=Release BUILD_DIR="$BUILD_DIR" bash scripts/setup.sh
fi
cmake --build "$BUILD_DIR" -j 2 --target quillet quillet-cli minimal_window >/dev/null

CLI=$BUILD_DIR/tools/cli/quillet-cli
APP=$BUILD_DIR/app/quillet
MINIMAL=$BUILD_DIR/bench/minimal_window

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
"$PY" bench/full_store.py "$work/full.ql6"

# pairs COMMAND1 -- COMMAND2 : "wall1 wall2 cpu1 cpu2 rss1 rss2" (bench/pairs.py).
pairs() { "$PY" bench/pairs.py "$RUNS" 2 -- "$@"; }

row() {  # name ours yardstick ratio cpu-ratio target verdict
  printf '%-26s %11s %11s %8s %8s   %-8s %s\n' "$@"
}
verdict() {  # ratio op limit
  "$PY" -c 'import sys; r, op, l = float(sys.argv[1]), sys.argv[2], float(sys.argv[3]); print("met" if (r >= l if op == ">=" else r <= l) else "MISSED")' "$@"
}
ratio() { "$PY" -c 'import sys; print("%.2f" % (float(sys.argv[1]) / float(sys.argv[2])))' "$@"; }
ms() { "$PY" -c 'import sys; print("%.1f ms" % (float(sys.argv[1]) * 1000))' "$1"; }

echo "Medians of $RUNS runs each ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
row "" "quillet" "yardstick" "ratio" "CPU" "target" ""

export QT_QPA_PLATFORM=offscreen
read -r ours pandas ours_cpu pandas_cpu _ < <(pairs "$CLI" export "$work/full.ql6" --csv "$work/out.csv" -- \
  "$PY" bench/pandas_export.py "$work/full.ql6" "$work/pandas.csv")
r=$(ratio "$pandas" "$ours")
row "export --csv vs pandas" "$(ms "$ours")" "$(ms "$pandas")" "${r}x" "$(ratio "$pandas_cpu" "$ours_cpu")x" \
  ">= 10x" "$(verdict "$r" ">=" 10)"

read -r ours pandas ours_cpu pandas_cpu _ < <(pairs "$CLI" export "$work/full.ql6" --tidy "$work/tidy.csv" -- \
  "$PY" bench/pandas_table.py csv "$work/full.ql6" "$work/pandas-tidy.csv")
r=$(ratio "$pandas" "$ours")
row "export --tidy vs pandas" "$(ms "$ours")" "$(ms "$pandas")" "${r}x" "$(ratio "$pandas_cpu" "$ours_cpu")x" \
  ">= 10x" "$(verdict "$r" ">=" 10)"

read -r ours pandas ours_cpu pandas_cpu _ < <(pairs "$CLI" export "$work/full.ql6" --xlsx "$work/book.xlsx" -- \
  "$PY" bench/pandas_table.py xlsx "$work/full.ql6" "$work/pandas.xlsx")
r=$(ratio "$pandas" "$ours")
row "export --xlsx vs openpyxl" "$(ms "$ours")" "$(ms "$pandas")" "${r}x" "$(ratio "$pandas_cpu" "$ours_cpu")x" \
  ">= 5x" "$(verdict "$r" ">=" 5)"

read -r ours cp ours_cpu cp_cpu _ < <(pairs "$CLI" convert "$work/full.ql6" --out "$work/converted.ql6" -- \
  cp "$work/full.ql6" "$work/copied.ql6")
row "convert vs cp" "$(ms "$ours")" "$(ms "$cp")" "$(ratio "$ours" "$cp")x" "$(ratio "$ours_cpu" "$cp_cpu")x" "-" ""

read -r ours info ours_cpu info_cpu _ < <(pairs "$CLI" report "$work/full.ql6" --pdf "$work/report.pdf" -- \
  "$CLI" info "$work/full.ql6")
r=$(ratio "$ours" "$info")
row "report vs info" "$(ms "$ours")" "$(ms "$info")" "${r}x" "$(ratio "$ours_cpu" "$info_cpu")x" "<= 3x" \
  "$(verdict "$r" "<=" 3)"

startup=("$APP" --open "$work/full.ql6" --quit-after-paint)
read -r ours minimal ours_cpu minimal_cpu ours_kib minimal_kib < <(pairs "${startup[@]}" -- "$MINIMAL")
r=$(ratio "$ours" "$minimal")
row "start-up, offscreen" "$(ms "$ours")" "$(ms "$minimal")" "${r}x" "$(ratio "$ours_cpu" "$minimal_cpu")x" \
  "<= 1.5x" "$(verdict "$r" "<=" 1.5)"
r=$(ratio "$ours_kib" "$minimal_kib")
memory_row=("memory, full store" "$((ours_kib / 1024)) MiB" "$((minimal_kib / 1024)) MiB" "${r}x" "" "<= 2x"
  "$(verdict "$r" "<=" 2)")

unset QT_QPA_PLATFORM
read -r ours minimal ours_cpu minimal_cpu _ < <(xvfb-run -a -s "-screen 0 1280x1024x24" \
  env QT_QPA_PLATFORM=xcb "$PY" bench/pairs.py "$RUNS" 2 -- "${startup[@]}" -- "$MINIMAL")
r=$(ratio "$ours" "$minimal")
row "start-up, Xvfb" "$(ms "$ours")" "$(ms "$minimal")" "${r}x" "$(ratio "$ours_cpu" "$minimal_cpu")x" \
  "<= 1.5x" "$(verdict "$r" "<=" 1.5)"

row "${memory_row[@]}"
