#!/usr/bin/env bash
# wine_test runs a test executable once more only when Wine itself failed the run: killed by
# a signal after complete, passing output, or status 1 before any output. A stand-in for
# wine plays each case from a script of outcomes, one per launch.
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD_DIR="$(mktemp -d)"
trap 'rm -rf "$BUILD_DIR"' EXIT
. "$here/../../tools/wine-env.sh"

passed=$'[==========] 2 tests from 1 test suite ran. (5 ms total)\n[  PASSED  ] 2 tests.'
failed=$'[==========] 2 tests from 1 test suite ran. (5 ms total)\n[  PASSED  ] 1 test.\n[  FAILED  ] 1 test, listed below:'
outcomes=()
# Launches are counted in a file: each runs in a process of its own.
count="$BUILD_DIR/launches"
launches() { wc -l <"$count"; }
# Each outcome is "<status>:<output name>".
wine() {
  local outcome="${outcomes[$(launches)]}"
  echo launched >>"$count"
  case "${outcome#*:}" in
    passed) echo "$passed" ;;
    failed) echo "$failed" ;;
    some) echo "Running main()" ;;
    none) ;;
    hang) echo "$BASHPID" >"$BUILD_DIR/hanging"; exec sleep 60 ;;
  esac
  return "${outcome%%:*}"
}

errors=0
check() {  # check <case> <expected status> <expected launches> <outcome>...
  local name="$1" status_expected="$2" launches_expected="$3"
  shift 3
  outcomes=("$@")
  : >"$count"
  local status=0
  wine_test exe.exe >/dev/null 2>&1 || status=$?
  if [ "$status" -ne "$status_expected" ] || [ "$(launches)" -ne "$launches_expected" ]; then
    echo "FAILED $name: status $status after $(launches) launches, expected $status_expected after $launches_expected"
    errors=$((errors + 1))
  fi
}

check "a passing run runs once"                    0   1 0:passed
check "a failing run stands"                       1   1 1:failed
check "SIGSEGV after passing output runs again"    0   2 139:passed 0:passed
check "SIGSEGV after a failure stands"             139 1 139:failed
check "SIGSEGV before the summary stands"          139 1 139:some
check "a second crash stands"                      139 2 139:passed 139:passed
check "status 1 without output runs again"         0   2 1:none 0:passed
check "status 1 with output stands"                1   1 1:some
check "another status without output stands"       5   1 5:none
check "the run again can fail the tests"           1   2 1:none 1:failed
# A time-out's signal to the runner ends the program it runs.
outcomes=(0:hang)
: >"$count"
wine_test exe.exe >/dev/null 2>&1 &
runner=$!
for _ in $(seq 50); do [ -s "$BUILD_DIR/hanging" ] && break; sleep 0.1; done
kill -TERM "$runner"
status=0
wait "$runner" || status=$?
if [ "$status" -ne 143 ] || kill -0 "$(cat "$BUILD_DIR/hanging")" 2>/dev/null; then
  echo "FAILED the runner's time-out: status $status, program still running: $(kill -0 "$(cat "$BUILD_DIR/hanging")" 2>/dev/null && echo yes || echo no)"
  kill "$(cat "$BUILD_DIR/hanging")" 2>/dev/null
  errors=$((errors + 1))
fi

[ "$errors" -eq 0 ] && echo "wine_test: every case as expected"
exit "$errors"
