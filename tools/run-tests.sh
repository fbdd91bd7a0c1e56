#!/usr/bin/env bash
# Builds everything and runs the whole test suite under Wine on a 1920x1080 Xvfb screen,
# then each test executable whole (tools/run-whole.sh), then the native hostile-input
# checks (tools/fuzz.sh).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"
[ -n "${QV_IN_XVFB:-}" ] || "$root/tools/build.sh"

if [ -z "${QV_IN_XVFB:-}" ]; then
  export QV_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi

. "$root/tools/wine-env.sh"
ensure_wine_prefix
# The first Wine process of a server session starts services that would inherit CTest's
# output pipe and keep it open; start the server and those services first, detached.
wineserver -p
trap 'wineserver -k || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
cd "$BUILD_DIR"
status=0
ctest --output-on-failure -j8 --timeout 120 "$@" || status=$?
# The whole suite goes on with each test executable run whole as one process, then ends
# with the native hostile-input step (about a minute, no Wine), after the Wine tests so
# that its load does not meet theirs; a run of chosen tests skips both.
if [ "$#" -eq 0 ]; then
  "$root/tools/run-whole.sh" || status=1
  "$root/tools/fuzz.sh" || status=1
fi
exit "$status"
