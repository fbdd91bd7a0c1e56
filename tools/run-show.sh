#!/usr/bin/env bash
# The main job: builds the screensaver and runs its sample show ("Quorvel Sample.scr", the
# program with samples/sample-config.xml packed into its trailer) under Wine, on an Xvfb
# screen when there is no display: configure mode's About dialog first, then a show run
# of bounded length. Screenshots go to build/about.png and build/show.png.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export BUILD_DIR="${BUILD_DIR:-$root/build}"
[ -n "${QV_IN_XVFB:-}" ] || "$root/tools/build.sh"

if [ -z "${DISPLAY:-}" ] && [ -z "${QV_IN_XVFB:-}" ]; then
  export QV_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi

. "$root/tools/wine-env.sh"
ensure_wine_prefix
wineserver -p
trap 'wineserver -k || true' EXIT

name="Quorvel Sample.scr"
sample="$BUILD_DIR/qvedge/sample/$name"
helper="$BUILD_DIR/tools/dialog-window/dialog-window.exe"
show_seconds=10

screenshot() {
  import -window root "$1" 2>/dev/null && echo "Screenshot: $1"
}

# Waits up to $2 seconds for the program of pid $1 to end, then ends it.
end_within() {
  local pid="$1" status=0
  for _ in $(seq 1 $(($2 * 2))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.5
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "Still running after $2 s; ending it."
    kill "$pid" || true
  fi
  wait "$pid" || status=$?
  echo "$name ended with exit code $status"
}

echo "1. Configure mode: \"$name\" /c shows the About dialog with the sample's author."
wine "$sample" /c </dev/null &
pid=$!
wine "$helper" wait "$name" 15 </dev/null &
helper_pid=$!
# The program may end at once (without configure mode, or on a configuration error).
while kill -0 "$helper_pid" 2>/dev/null && kill -0 "$pid" 2>/dev/null; do
  sleep 0.2
done
found=1
if kill -0 "$helper_pid" 2>/dev/null; then
  kill "$helper_pid" || true
  wait "$helper_pid" || true
else
  wait "$helper_pid" && found=0 || true
fi
if [ "$found" -eq 0 ]; then
  screenshot "$BUILD_DIR/about.png"
  echo "Closing the About dialog."
  wine "$helper" close "$name" </dev/null || true
else
  echo "No About dialog appeared: configure mode has not been built into this tree yet."
fi
end_within "$pid" 10

echo "2. Show: \"$name\" /s runs for $show_seconds s, then this script closes its window."
echo "   The browser views are not built yet, so the show stays at its loading screen:"
echo "   the \"Loading...\" animation and the footer line."
wine "$sample" /s </dev/null &
pid=$!
sleep "$show_seconds"
screenshot "$BUILD_DIR/show.png"
echo "Closing the show."
wine "$helper" close "$name" </dev/null || true
end_within "$pid" 10
