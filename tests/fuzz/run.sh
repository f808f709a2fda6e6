#!/bin/sh
# Builds the libFuzzer targets with clang through the project's CMake (their
# own build directory, QUILLET_FUZZ) and runs each for SECONDS.
#
#   tests/fuzz/run.sh SECONDS
#
# QUILLET_FUZZ_DIR chooses the build directory (default build-fuzz in the
# repository). Corpora stay there between runs; crashes are written there as
# crash-* files and make the script fail.
set -eu

SECONDS_EACH=${1:?usage: tests/fuzz/run.sh SECONDS}
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT=${QUILLET_FUZZ_DIR:-$ROOT/build-fuzz}
CXX=${CXX_FUZZ:-clang++}
TARGETS="datafile settings codec setting_commands graph figures"

# The targets and the sources they need come from the project's CMake build:
# a clang build with QUILLET_FUZZ makes <target>_fuzz of every target.
cmake -S "$ROOT" -B "$OUT" -G Ninja -DCMAKE_CXX_COMPILER="$CXX" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLET_FUZZ=ON -DQUILLET_BUILD_BENCH=OFF -DQUILLET_WERROR=OFF >/dev/null
# shellcheck disable=SC2046
cmake --build "$OUT" --target $(for t in $TARGETS; do printf '%s_fuzz ' "$t"; done)

# Corpora start from the committed seeds (tests/fuzz/corpus), which ctest
# replays; copy a new crash's input there once it is fixed.
for target in $TARGETS; do
    if [ ! -d "$OUT/corpus-$target" ]; then
        mkdir -p "$OUT/corpus-$target"
        cp "$ROOT/tests/fuzz/corpus/$target/"* "$OUT/corpus-$target/"
    fi
done

# Leaks are checked, apart from fontconfig's cache (see lsan.supp).
LSAN_OPTIONS="suppressions=$ROOT/tests/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export LSAN_OPTIONS

status=0
[ -n "${QUILLET_FUZZ_BUILD_ONLY:-}" ] && exit 0
for target in $TARGETS; do
    echo "running ${target}_fuzz for $SECONDS_EACH s"
    mkdir -p "$OUT/artifacts-$target"
    if ! "$OUT/tests/fuzz/${target}_fuzz" "$OUT/corpus-$target" -max_total_time="$SECONDS_EACH" -timeout=20 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$OUT/artifacts-$target/" \
        >"$OUT/$target.log" 2>&1; then
        status=1
        echo "${target}_fuzz FAILED; see $OUT/$target.log and $OUT/artifacts-$target/"
    fi
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)|cov:' "$OUT/$target.log" | tail -n 4
done
exit $status
