#!/usr/bin/env bash
# Runs the whole CTest suite RUNS times in a row (default 30), as tools/run-tests.sh does
# (-j8; the runs of whole executables and the native checks are left out), with one busy
# loop per processor core running beside it, and ends with the count of failed runs; each
# run's output is kept in $BUILD_DIR/stress/run-N.log. 30-45 minutes for 30 runs on a fast
# machine, two hours on a slow one: not part of CI.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"
runs="${1:-30}"

"$root/tools/build.sh" || exit 1
logs="$BUILD_DIR/stress"
rm -rf "$logs"
mkdir -p "$logs"

busy=()
stopBusyLoops() {
  for pid in "${busy[@]}"; do
    kill "$pid" 2>/dev/null
  done
  for pid in "${busy[@]}"; do
    wait "$pid" 2>/dev/null
  done
  busy=()
}
trap stopBusyLoops EXIT
trap 'exit 130' INT TERM
for _ in $(seq "$(nproc)"); do
  ( while :; do :; done ) &
  busy+=("$!")
done
echo "busy loops: ${busy[*]}"

failed=0
for run in $(seq "$runs"); do
  log="$logs/run-$run.log"
  start=$(date +%s)
  if QV_IN_XVFB= BUILD_DIR="$BUILD_DIR" bash "$root/tools/run-tests.sh" -j8 >"$log" 2>&1 </dev/null; then
    echo "run $run: passed in $(( $(date +%s) - start )) s"
  else
    failed=$((failed + 1))
    echo "run $run: FAILED in $(( $(date +%s) - start )) s"
    sed -n '/^The following tests FAILED:/,/^Errors while running CTest/p' "$log" | grep -E '^\s+[0-9]+ - ' ||
      tail -5 "$log"
  fi
done
echo "$failed of $runs runs failed"
[ "$failed" -eq 0 ]
