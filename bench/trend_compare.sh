#!/usr/bin/env bash
# The long-term trend against what a user would pick instead, in one run:
# quillet-cli archive trend of one logger-year at one minute (525,600
# samples) into a 1600 x 600 PNG against a pandas script reading the same
# rows with read_sql and drawing them with matplotlib into a PNG of the same
# size (target: at least 10x faster), medians of RUNS runs each; then the
# in-process figures of build/bench/trend_bench (archive to drawn graph
# <= 50 ms, a pan or zoom <= 16 ms, the memory of 10 channels x a year).
#
# Usage: bench/trend_compare.sh [RUNS]   (default 11)
# Builds in BUILD_DIR (default build-release) as a Release build when it
# does not exist yet.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
RUNS=${1:-11}
BUILD_DIR=${BUILD_DIR:-build-release}
PY=/usr/bin/python3

source scripts/packages.sh
install_missing python3-pandas python3-matplotlib
if [ ! -x "$BUILD_DIR/tools/cli/quillet-cli" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$BUILD_DIR" --target quillet-cli trend_bench >/dev/null
CLI=$PWD/$BUILD_DIR/tools/cli/quillet-cli

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export HOME=$WORK/home TZ=UTC QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
# The benchmark writes its archive (10 loggers x a year at one minute) there.
QUILLET_TREND_DB=$WORK/trend.sqlite "$BUILD_DIR/bench/trend_bench" --benchmark_counters_tabular=true

cat > "$WORK/plot.py" <<'PYEOF'
import sqlite3, sys
import pandas as pd
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
con = sqlite3.connect(sys.argv[1])
rows = pd.read_sql("SELECT t, value FROM sample WHERE series = (SELECT id FROM series WHERE card = 1 AND test = 1"
                   " AND logger_channel = 1) ORDER BY t", con)
rows = rows[rows["value"] != 9999]
fig = plt.figure(figsize=(16, 6), dpi=100)
plt.plot(pd.to_datetime(rows["t"], unit="s"), rows["value"] / 10.0, linewidth=0.5)
fig.savefig(sys.argv[2])
PYEOF
read -r w1 w2 c1 c2 r1 r2 < <($PY bench/pairs.py "$RUNS" 1 \
  -- "$CLI" archive trend 001-001 --channel 1 --db "$WORK/trend.sqlite" --out "$WORK/ours.png" --size 1600x600 \
  -- $PY "$WORK/plot.py" "$WORK/trend.sqlite" "$WORK/theirs.png")
$PY - "$w1" "$w2" "$c1" "$c2" "$r1" "$r2" <<'PYEOF'
import sys
w1, w2, c1, c2, r1, r2 = map(float, sys.argv[1:])
print(f"year trend (525,600 samples to a 1600x600 PNG): quillet-cli {w1*1000:.1f} ms, pandas+matplotlib "
      f"{w2*1000:.1f} ms: {w2/w1:.1f}x faster (cpu {c2/c1:.1f}x; target >= 10); peak RSS {r1/1024:.0f} MB vs "
      f"{r2/1024:.0f} MB")
PYEOF
