#!/usr/bin/env bash
# Configures (once) and builds the tree in BUILD_DIR.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$root/build}"
"$root/tools/install-deps.sh"
"$root/tools/fetch-node-deps.sh"
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$BUILD_DIR" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$BUILD_DIR" -j"$(nproc)"
