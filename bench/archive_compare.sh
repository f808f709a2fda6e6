#!/usr/bin/env bash
# The archive against what a user would pick instead, in one run:
#
#   bulk import  quillet-cli archive import of LOGGERS loggers x one year at
#                10 minutes (read out every 30 days; 200 loggers = 10.5 M
#                samples) against the sqlite3 shell's .import of the same
#                samples as CSV into the same table (target: at least 0.8x
#                its rate); the archive's bytes per sample (target: <= 40)
#   stats        quillet-cli archive stats of one logger over a quarter
#                against a pandas script reading the same rows with read_sql
#                and computing the same mean kinetic temperature (target: at
#                least 10x faster), medians of RUNS runs each
#   server       on a throw-away PostgreSQL server (scripts/pg-test-server,
#                fsync off for both sides): the bulk import against psql
#                \copy of the same rows into the same table (target: at
#                least 0.8x its rate), archive stats over the quarter against
#                the same on SQLite (target: within 2x), and archive copy of
#                the whole SQLite archive to the server (time and rows/s)
#
# Usage: bench/archive_compare.sh [LOGGERS] [RUNS]   (defaults 200 and 11)
# Builds in BUILD_DIR (default build-release) as a Release build when it
# does not exist yet.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
LOGGERS=${1:-200}
RUNS=${2:-11}
BUILD_DIR=${BUILD_DIR:-build-release}
PY=/usr/bin/python3

source scripts/packages.sh
install_missing python3-pandas sqlite3 postgresql
if [ ! -x "$BUILD_DIR/tools/cli/quillet-cli" ]; then
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$BUILD_DIR" --target quillet-cli >/dev/null
CLI=$PWD/$BUILD_DIR/tools/cli/quillet-cli

WORK=$(mktemp -d)
trap 'scripts/pg-test-server stop "$WORK/pg" || true; rm -rf "$WORK"' EXIT
export HOME=$WORK/home TZ=UTC
mkdir -p "$HOME"
$PY bench/make_archive_files.py "$WORK/files" "$LOGGERS"
SAMPLES=$(wc -l < "$WORK/files/samples.csv")

seconds() { $PY -c 'import sys,time,subprocess; t=time.perf_counter(); subprocess.run(sys.argv[1:], check=True, stdout=subprocess.DEVNULL); print(time.perf_counter()-t)' "$@"; }

ours=$(seconds "$CLI" archive import "$WORK/files" --db "$WORK/quillet.sqlite")
sqlite3 "$WORK/quillet.sqlite" 'PRAGMA wal_checkpoint(TRUNCATE);' >/dev/null
# The same table, empty, in a database of its own; .import inserts the rows
# in one transaction, as the shell does.
sqlite3 "$WORK/quillet.sqlite" '.schema sample' > "$WORK/schema.sql"
sqlite3 "$WORK/shell.sqlite" < "$WORK/schema.sql"
theirs=$(seconds sqlite3 "$WORK/shell.sqlite" -cmd 'PRAGMA journal_mode=WAL' -cmd 'PRAGMA synchronous=FULL' \
  -cmd '.mode csv' ".import $WORK/files/samples.csv sample")
size=$(stat -c %s "$WORK/quillet.sqlite")
$PY - "$SAMPLES" "$ours" "$theirs" "$size" <<'PYEOF'
import sys
n, ours, theirs, size = int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3]), int(sys.argv[4])
print(f"bulk import: {n} samples; quillet-cli {ours:.2f} s ({n/ours:,.0f}/s), sqlite3 .import {theirs:.2f} s "
      f"({n/theirs:,.0f}/s): {theirs/ours:.2f}x the shell's rate (target >= 0.8)")
print(f"archive size: {size} bytes, {size/n:.1f} bytes a sample (target <= 40)")
PYEOF

cat > "$WORK/stats.py" <<'PYEOF'
import math, sqlite3, sys
import pandas as pd
db = sys.argv[1]
con = sqlite3.connect(db)
rows = pd.read_sql("SELECT t, value FROM sample WHERE series = (SELECT id FROM series WHERE card = 1 AND test = 5"
                   " AND logger_channel = 1) AND t BETWEEN ? AND ?", con, params=(1751328000, 1759276799))
v = rows["value"][rows["value"] != 9999] / 10.0 + 273.15
mkt = 10000 / -math.log((pd.Series(-10000 / v).apply(math.exp)).mean()) - 273.15
print(len(rows), round(mkt, 4))
PYEOF
read -r w1 w2 c1 c2 _ _ < <($PY bench/pairs.py "$RUNS" 1 \
  -- "$CLI" archive stats 001-005 --from 2025-07-01 --to 2025-09-30 --db "$WORK/quillet.sqlite" \
  -- $PY "$WORK/stats.py" "$WORK/quillet.sqlite")
$PY - "$w1" "$w2" "$c1" "$c2" <<'PYEOF'
import sys
w1, w2, c1, c2 = map(float, sys.argv[1:])
print(f"quarter stats: quillet-cli {w1*1000:.1f} ms, pandas {w2*1000:.1f} ms: {w2/w1:.1f}x faster "
      f"(cpu {c2/c1:.1f}x; target >= 10)")
PYEOF

# The server.
[ "$(id -u)" = 0 ] && chmod 755 "$WORK"
scripts/pg-test-server start "$WORK/pg"
SERVER="host=$WORK/pg user=postgres"
for db in ours theirs copied; do psql "$SERVER dbname=postgres" -qc "CREATE DATABASE $db" >/dev/null; done
ours=$(seconds "$CLI" archive import "$WORK/files" --db "$SERVER dbname=ours")
pg_dump -s -t sample "$SERVER dbname=ours" | psql -q "$SERVER dbname=theirs" >/dev/null
theirs=$(seconds psql -q "$SERVER dbname=theirs" -c "\\copy sample FROM '$WORK/files/samples.csv' CSV")
copied=$(seconds "$CLI" archive copy --from "$WORK/quillet.sqlite" --to "$SERVER dbname=copied")
$PY - "$SAMPLES" "$ours" "$theirs" "$copied" <<'PYEOF'
import sys
n, ours, theirs, copied = int(sys.argv[1]), float(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
print(f"server import: quillet-cli {ours:.2f} s ({n/ours:,.0f}/s), psql \\copy {theirs:.2f} s ({n/theirs:,.0f}/s): "
      f"{theirs/ours:.2f}x its rate (target >= 0.8)")
print(f"archive copy SQLite -> PostgreSQL: {copied:.2f} s, {n/copied:,.0f} samples/s")
PYEOF
read -r w1 w2 c1 c2 _ _ < <($PY bench/pairs.py "$RUNS" 1 \
  -- "$CLI" archive stats 001-005 --from 2025-07-01 --to 2025-09-30 --db "$SERVER dbname=ours" \
  -- "$CLI" archive stats 001-005 --from 2025-07-01 --to 2025-09-30 --db "$WORK/quillet.sqlite")
$PY - "$w1" "$w2" <<'PYEOF'
import sys
w1, w2 = map(float, sys.argv[1:])
print(f"quarter stats: PostgreSQL {w1*1000:.1f} ms, SQLite {w2*1000:.1f} ms: {w1/w2:.2f}x (target <= 2)")
PYEOF
