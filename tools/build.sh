#!/usr/bin/env bash
# Configures (once) and builds the tree in BUILD_DIR for the architecture the tests can
# run here (QV_ARCH, see wine-env.sh). The screensaver ships as a 32-bit program: when the
# tests are 64-bit, the 32-bit qvedge.scr is built as well, in BUILD_DIR/i686.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"
"$root/tools/install-deps.sh"
"$root/tools/fetch-node-deps.sh"
. "$root/tools/wine-env.sh"

configure() {  # configure <build dir> <arch>
  [ -f "$1/CMakeCache.txt" ] && return
  cmake -S "$root" -B "$1" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$2-mingw.cmake" -DCMAKE_BUILD_TYPE=Release
}
configure "$BUILD_DIR" "$QV_ARCH"
cmake --build "$BUILD_DIR" -j"$(nproc)"
if [ "$QV_ARCH" != i686 ]; then
  configure "$BUILD_DIR/i686" i686
  cmake --build "$BUILD_DIR/i686" -j"$(nproc)" --target qvedge
fi
