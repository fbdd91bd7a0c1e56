#!/usr/bin/env bash
# The main job: builds the screensaver and runs it under Wine, on an Xvfb screen when there
# is no display: configure mode's About dialog first ("Quorvel Sample.scr", the program
# with samples/sample-config.xml packed into its trailer), then a show of real web pages on
# the WebView2 road, with the Chromium-backed runtime beside the program and the headless
# browser it drives. The show's configuration is the sample's with this script's own pages
# (served on loopback by tools/page-server, no network needed) and a shorter interval, so
# that every page comes on screen. One screenshot per page goes to build/show-N.png, the
# About dialog to build/about.png; the show is closed at the end, and no browser outlives it.
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

# The show's own copy: the sample's settings and footer, this script's pages at a 5 s
# interval, the Chromium-backed runtime beside it.
interval_ms=5000
pages=3
run="$BUILD_DIR/show-run"
show_name="Quorvel Show.scr"
rm -rf "$run"
mkdir -p "$run"
python3 "$root/tools/page-server/page_server.py" start "$run/page-server"
cleanup() {
  # A browser the show left behind (none, when it ends cleanly) is ended through its folder.
  python3 "$root/tools/chromium/end_browsers.py" "$WINEPREFIX"/drive_c/users/*/Temp/"$show_name" || true
  python3 "$root/tools/page-server/page_server.py" stop "$run/page-server" || true
}
trap cleanup EXIT
port="$(cat "$run/page-server/port")"
addresses=""
for page in $(seq 1 "$pages"); do
  addresses="$addresses<url adr=\"http://localhost:$port/show/$page\"/>"
done
sed -e "s/<timeOut value=\"[0-9]*\"/<timeOut value=\"$interval_ms\"/" \
    -e '/<url adr=/d' -e "s|<urlList>|<urlList>$addresses|" \
    "$root/samples/sample-config.xml" >"$run/show-config.xml"
bash "$root/tools/sample/pack-sample.sh" "$BUILD_DIR/tools/qvpack/qvpack.exe" "$BUILD_DIR/qvedge/qvedge.scr" \
  "$run/show-config.xml" "$run/$show_name"
cp "$BUILD_DIR/webview2/chromium/QuorvelRuntime.dll" "$run/"
export QV_BROWSER='Z:\usr\lib\chromium\chromium-headless-shell'

wineserver -p
trap 'cleanup; wineserver -k || true' EXIT

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

echo "2. Show: \"$show_name\" /s on the WebView2 road (headless Chromium), $pages pages, one every $((interval_ms / 1000)) s."
# The browser writes its own messages to the show's error output: they go to a log.
wine "$run/$show_name" /s </dev/null 2>"$run/show-errors.log" &
pid=$!
# Each page is screenshot halfway through its interval.
sleep 2
for page in $(seq 1 "$pages"); do
  sleep "$((interval_ms / 2000))"
  screenshot "$BUILD_DIR/show-$page.png"
  [ "$page" -lt "$pages" ] && sleep "$((interval_ms / 2000))"
done
echo "Pages the browser asked the page server for:"
sed 's/^/   /' "$run/page-server/requests.log" || true
echo "Closing the show."
name="$show_name"
wine "$helper" close "$show_name" </dev/null || true
end_within "$pid" 10
if python3 "$root/tools/chromium/end_browsers.py" "$WINEPREFIX"/drive_c/users/*/Temp/"$show_name" | grep -q .; then
  echo "A browser was left behind (ended now)."
else
  echo "No browser left behind."
fi
