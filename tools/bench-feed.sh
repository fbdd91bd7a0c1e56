#!/usr/bin/env bash
# Builds and runs the feed conversion benchmark under Wine; prints the throughput ratio.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"
"$root/tools/build.sh"
cmake --build "$BUILD_DIR" --target bench_feed
. "$root/tools/wine-env.sh"
ensure_wine_prefix
wine "$BUILD_DIR/tools/bench-feed/bench_feed.exe" </dev/null
