#!/usr/bin/env bash
# The main job: builds the screensaver and runs it under Wine for a bounded time,
# on an Xvfb screen when there is no display, saving a screenshot under build/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"
"$root/tools/build.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${QV_IN_XVFB:-}" ]; then
  export QV_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi

. "$root/tools/wine-env.sh"
ensure_wine_prefix
wineserver -p
trap 'wineserver -k || true' EXIT

scr="$BUILD_DIR/qvedge/qvedge.scr"
shot="$BUILD_DIR/show.png"
echo "Running: qvedge.scr /engine (the browser-engine report run; it reads no configuration)"
wine "$scr" /engine </dev/null &
pid=$!
sleep 3
import -window root "$shot" 2>/dev/null && echo "Screenshot: $shot"
for _ in $(seq 1 20); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.5
done
if kill -0 "$pid" 2>/dev/null; then
  echo "The program is still running after 13 s; ending it."
  kill "$pid" || true
fi
wait "$pid" && status=0 || status=$?
echo "qvedge.scr ended with exit code $status"
