#!/usr/bin/env bash
# Runs each test executable whole, as one process, under Wine on a 1920x1080 Xvfb screen:
# every test must pass whatever ran before it in the same process. Arguments name the
# executables (default: every one of the build tree). Run after a build. The suites that
# need the Japanese code page run in entries of their own (tests/CMakeLists.txt), not here.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"

if [ -z "${QV_IN_XVFB:-}" ]; then
  export QV_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi

. "$root/tools/wine-env.sh"
ensure_wine_prefix
feeds="$BUILD_DIR/feed-server"
# As in run-tests.sh: the server and its services first, detached from our output (unless
# run-tests.sh, which runs this, has started them already).
if wineserver -p 2>/dev/null; then
  trap 'python3 "$root/tools/feed-server/feed_server.py" stop "$feeds" >/dev/null 2>&1 || true; wineserver -k || true' EXIT
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
else
  trap 'python3 "$root/tools/feed-server/feed_server.py" stop "$feeds" >/dev/null 2>&1 || true' EXIT
fi
python3 "$root/tools/feed-server/feed_server.py" start "$feeds" >/dev/null

cd "$BUILD_DIR"
if [ "$#" -gt 0 ]; then executables=("$@"); else executables=(tests/test_*.exe); fi
failed=0
for exe in "${executables[@]}"; do
  start=$(date +%s)
  if timeout 900 "$root/tools/wine-test.sh" "$exe" --gtest_brief=1 --gtest_filter=-*CodePage932* </dev/null; then
    echo "$exe: passed in $(( $(date +%s) - start )) s"
  else
    echo "$exe: FAILED"
    failed=1
  fi
done
exit "$failed"
