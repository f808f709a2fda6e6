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
    if [ -f "$obj" ] && [ -z "$(find "$ROOT/$src" "$ROOT/core" "$ROOT/datafile" "$ROOT/tests/fuzz" \
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
    core/overtool.cpp core/store.cpp
link settings_fuzz tests/fuzz/settings_fuzz.cpp core/filemove.cpp core/cp932.cpp core/savefile.cpp

# Seed corpora: a few well-formed files of each kind.
if [ ! -d "$OUT/corpus-datafile" ]; then
    mkdir -p "$OUT/corpus-datafile"
    python3 - "$OUT/corpus-datafile" <<'PY'
import struct, sys
d = sys.argv[1]
def block(code, samples, ten=True, count=None):
    kind = (code - 1) // 8
    f = [code, 12] + ([3] if ten else []) + [5, 9, 15, 11, 2013] + ([0] if ten else []) + [10, 0, 250, 8, 7, 1, 301, -52, 123]
    b = struct.pack('<%dh' % len(f), *f) + struct.pack('<i', -1)
    b += struct.pack('<hh', len(samples) if count is None else count, 1)
    if kind in (1, 2):
        b += struct.pack('<hh', 350, -100)
    return b + struct.pack('<%dh' % len(samples), *samples)
def write(name, n, blocks):
    open(d + '/' + name, 'wb').write(struct.pack('<h', n) + b''.join(blocks))
write('two', 2, [block(10, [253, 9999, 260]), block(21, [505, 600])])
write('old', 2, [block(9, [1, 2, 3], ten=False), block(4, [7], ten=False)])
write('cut', 1, [block(24, [1, 2, 3], count=40)[:-2]])
write('eight', 8, [block(c + 8 * (c % 3), [c * 10] * 5) for c in range(1, 9)])
write('none', 0, [])
PY
fi
if [ ! -d "$OUT/corpus-settings" ]; then
    mkdir -p "$OUT/corpus-settings"
    python3 - "$OUT/corpus-settings" <<'PY'
import sys
d = sys.argv[1]
lines = ['"",""'] * 256
lines[1] = '"\uff71\uff72","\u5317\u5de5\u5834"'.encode('cp932').decode('latin-1')
lines += ['3,1,0,"12:00"', '0,-1,100,0,100,0']
open(d + '/general', 'wb').write(('\r\n'.join(lines) + '\r\n').encode('latin-1'))
open(d + '/timing', 'wb').write(b'"x"\r\n10,"a,10"\r\n10,"b,10"\r\n1000,"c,1000"\r\n')
open(d + '/debug', 'wb').write(b'#TRUE#,"d"\r\n5,"e"\r\n')
PY
fi

status=0
for target in datafile settings; do
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
