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
launches=0
# Each outcome is "<status>:<output name>".
wine() {
  local outcome="${outcomes[$launches]}"
  launches=$((launches + 1))
  case "${outcome#*:}" in
    passed) echo "$passed" ;;
    failed) echo "$failed" ;;
    some) echo "Running main()" ;;
    none) ;;
  esac
  return "${outcome%%:*}"
}

errors=0
check() {  # check <case> <expected status> <expected launches> <outcome>...
  local name="$1" status_expected="$2" launches_expected="$3"
  shift 3
  outcomes=("$@")
  launches=0
  local status=0
  wine_test exe.exe >/dev/null 2>&1 || status=$?
  if [ "$status" -ne "$status_expected" ] || [ "$launches" -ne "$launches_expected" ]; then
    echo "FAILED $name: status $status after $launches launches, expected $status_expected after $launches_expected"
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
[ "$errors" -eq 0 ] && echo "wine_test: every case as expected"
exit "$errors"
