# Shared by ./run and ./test: install what is missing, configure, build.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev qt6-svg-dev
          libgtest-dev libgmock-dev libbenchmark-dev libicu-dev
          fonts-ipafont-gothic libgl-dev poppler-utils
          qt6-translations-l10n libxlsxwriter-dev libminizip-dev python3-pandas python3-openpyxl dpkg-dev
          clang-format ccache libsqlite3-dev sqlite3 libpq-dev postgresql libsodium-dev libssl-dev)

source scripts/packages.sh
install_missing "${PACKAGES[@]}"

BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} -DQUILLET_WERROR=${QUILLET_WERROR:-ON} ${QUILLET_CMAKE_ARGS:-} >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"
