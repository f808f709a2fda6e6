#!/usr/bin/env bash
# Builds the Debian package from a build folder (cpack) and checks it: the
# files it installs, its dependencies, and that the programs it holds start
# from the unpacked package alone (no build tree).
# Usage: scripts/check-package.sh BUILD_DIR [OUT_DIR]
set -euo pipefail
build=$(cd "$1" && pwd)
out=${2:-$build/package}
mkdir -p "$out"
rm -f "$out"/quillet_*.deb
(cd "$out" && cpack -G DEB --config "$build/CPackConfig.cmake" >/dev/null)
deb=$(ls "$out"/quillet_*.deb)

fail=0
files=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
for f in /usr/bin/quillet /usr/bin/quillet-cli /usr/bin/quillet-logger-sim \
         /usr/share/applications/quillet.desktop /usr/share/mime/packages/quillet.xml \
         /usr/share/icons/hicolor/scalable/apps/quillet.svg \
         /usr/share/doc/quillet/copyright /usr/share/doc/quillet/changelog.gz \
         /usr/share/man/man1/quillet.1.gz /usr/share/man/man1/quillet-cli.1.gz \
         /usr/share/man/man1/quillet-logger-sim.1.gz; do
  grep -qx "$f" <<<"$files" || { echo "missing from the package: $f"; fail=1; }
done
# Nothing of the build: no tests, benchmarks, static libraries or headers.
if grep -E '(tests_|_bench|\.a$|\.h$|/include/)' <<<"$files"; then
  echo "build files in the package"; fail=1
fi
depends=$(dpkg-deb -f "$deb" Depends)
for d in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6serialport6 libicu72 libxlsxwriter4 libminizip1 \
         qt6-translations-l10n fonts-ipafont-gothic; do
  grep -q "$d" <<<"$depends" || { echo "missing dependency: $d (Depends: $depends)"; fail=1; }
done
grep -q '^Exec=/usr/bin/quillet %f' < <(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/quillet.desktop) \
  || { echo "the desktop entry does not start /usr/bin/quillet"; fail=1; }

# The programs start from the unpacked package.
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
want=$("$root/usr/bin/quillet" --version)
got=$("$root/usr/bin/quillet-cli" --version)
[ -n "$want" ] && [ "$want" = "$got" ] || { echo "versions differ: '$want' / '$got'"; fail=1; }
if ldd "$root/usr/bin/quillet" "$root/usr/bin/quillet-cli" | grep -E "not found|$build"; then
  echo "the programs need files outside the package"; fail=1
fi
[ $fail -eq 0 ] && echo "package ok: $deb"
exit $fail
