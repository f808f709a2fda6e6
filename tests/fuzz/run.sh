#!/bin/sh
# Builds the libFuzzer targets with clang (their own build directory, only the
# sources they need, Qt Core and Gui, ICU) and runs each for SECONDS.
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
mkdir -p "$OUT/obj"

QT_FLAGS=$(pkg-config --cflags Qt6Core Qt6Gui)
QT_LIBS=$(pkg-config --libs Qt6Core Qt6Gui)
SAN="-fsanitize=address,undefined -fno-sanitize-recover=undefined"
CXXFLAGS="-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer $SAN -I$ROOT $QT_FLAGS"

# Compiles one source into $OUT/obj unless its object is newer than the
# source and every header of the folders it uses.
compile() {
    src=$1
    extra=$2
    obj="$OUT/obj/$(echo "$src" | tr / _)$3.o"
    if [ -f "$obj" ] && [ -z "$(find "$ROOT/$src" "$ROOT/core" "$ROOT/datafile" "$ROOT/comm" "$ROOT/tools/sim" "$ROOT/graph" "$ROOT/tests/fuzz" \
            -maxdepth 1 -name '*.[ch]*' -newer "$obj" | head -n 1)" ]; then
        echo "$obj"
        return
    fi
    echo "  compiling $src" >&2
    $CXX $CXXFLAGS $extra -c "$ROOT/$src" -o "$obj" >&2
    echo "$obj"
}

# link NAME SOURCES...: sources after "--" are built without coverage
# feedback (sanitizers only), so that the fuzzer spends its time on the code
# under test rather than on, say, clearing the sample table.
link() {
    name=$1
    shift
    objs=""
    plain=""
    for s in "$@"; do
        if [ "$s" = "--" ]; then
            plain=yes
        elif [ -n "$plain" ]; then
            objs="$objs $(compile "$s" -O2 .plain)"
        else
            objs="$objs $(compile "$s" -fsanitize=fuzzer-no-link .cov)"
        fi
    done
    echo "linking $name"
    # shellcheck disable=SC2086
    $CXX -fsanitize=fuzzer $SAN $objs $QT_LIBS -licuuc -o "$OUT/$name"
}

link datafile_fuzz tests/fuzz/datafile_fuzz.cpp datafile/datafile.cpp datafile/export.cpp \
    datafile/fileops.cpp core/vb.cpp -- core/savefile.cpp core/catalog.cpp core/context.cpp core/cp932.cpp \
    core/fieldhelpers.cpp core/store.cpp
link settings_fuzz tests/fuzz/settings_fuzz.cpp core/settingsfiles.cpp core/cp932.cpp core/savefile.cpp
link codec_fuzz tests/fuzz/codec_fuzz.cpp comm/protocol.cpp -- core/catalog.cpp core/context.cpp \
    core/cp932.cpp core/fieldhelpers.cpp core/store.cpp core/vb.cpp core/savefile.cpp
link setting_commands_fuzz tests/fuzz/setting_commands_fuzz.cpp comm/protocol.cpp tools/sim/device.cpp \
    tools/sim/wire.cpp tools/sim/records.cpp -- core/catalog.cpp core/context.cpp core/cp932.cpp \
    core/fieldhelpers.cpp core/store.cpp core/vb.cpp core/savefile.cpp
link graph_fuzz tests/fuzz/graph_fuzz.cpp graph/drawgraph.cpp graph/graphscale.cpp core/vb.cpp -- \
    datafile/datafile.cpp datafile/export.cpp datafile/fileops.cpp core/savefile.cpp core/catalog.cpp \
    core/context.cpp core/cp932.cpp core/fieldhelpers.cpp core/store.cpp core/settingsfiles.cpp
TARGETS="datafile settings codec setting_commands graph"

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
    if ! "$OUT/${target}_fuzz" "$OUT/corpus-$target" -max_total_time="$SECONDS_EACH" -timeout=20 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$OUT/artifacts-$target/" \
        >"$OUT/$target.log" 2>&1; then
        status=1
        echo "${target}_fuzz FAILED; see $OUT/$target.log and $OUT/artifacts-$target/"
    fi
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)|cov:' "$OUT/$target.log" | tail -n 4
done
exit $status
