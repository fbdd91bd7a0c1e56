#!/usr/bin/env bash
# The benchmarks, each against its baseline in the same run, printed as ratios:
# - the feed step against rapidxml's parse alone (about 10 MB of generated feed, best of 10);
# - start-up: process start to the show's dialog visible and to its content shown (every
#   view reported, the loading animation gone) on the WebView2 road with the test runtime,
#   against a minimal program that shows one full-screen window (median of 5 runs each);
# - GDI objects of a show after its first page and after 100 rotations (100 ms interval);
# - CString::Replace on an address of repeated "mem://" at 5 MB against 0.5 MB;
# - the size of the shipped 32-bit qvedge.scr;
# - with the Chromium-backed runtime and the real browser: process start to a page's content
#   on screen at 1920x1080 against the minimal program (median of 5 runs each), frames
#   painted per second on an animated page at 1920x1080 and 960x540, and the processor time
#   of a show idling on a static page over 10 s (the program and the browser).
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

runs=5
work="$BUILD_DIR/bench-run"
rm -rf "$work"
mkdir -p "$work"
winpath() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }

# A show of three addresses at the given interval (ms), with the test runtime beside it.
make_show() {
  local name="$1" interval="$2"
  sed -e "s/<timeOut value=\"[0-9]*\"/<timeOut value=\"$interval\"/" \
      -e 's/<condition value="mouse_move"\/>//' "$root/samples/sample-config.xml" >"$work/$name.xml"
  bash "$root/tools/sample/pack-sample.sh" "$BUILD_DIR/tools/qvpack/qvpack.exe" "$BUILD_DIR/qvedge/qvedge.scr" \
    "$work/$name.xml" "$work/$name.scr"
}
make_show startup 60000
make_show rotation 100
cp "$BUILD_DIR/webview2/testprovider/QuorvelRuntime.dll" "$work/"

# The show of the Chromium-backed runtime: one page of a known colour on loopback. Packed
# before the persistent server starts: packing waits for its own server session to end.
python3 "$root/tools/page-server/page_server.py" start "$work/page-server"
port="$(cat "$work/page-server/port")"
chromium="$work/chromium"
mkdir -p "$chromium"
cp "$BUILD_DIR/webview2/chromium/QuorvelRuntime.dll" "$chromium/"
export QV_BROWSER='Z:\usr\lib\chromium\chromium-headless-shell'
end_chromium() {
  python3 "$root/tools/chromium/end_browsers.py" "$work/profile" "$WINEPREFIX"/drive_c/users/*/Temp/chromium-*.scr \
    >/dev/null || true
  python3 "$root/tools/page-server/page_server.py" stop "$work/page-server" || true
}
trap end_chromium EXIT
colour=1e6fd9
sed -e "s/<timeOut value=\"[0-9]*\"/<timeOut value=\"60000\"/" -e 's/<condition value="mouse_move"\/>//' \
    -e '/<url adr=/d' -e "s|<urlList>|<urlList><url adr=\"http://127.0.0.1:$port/colour/$colour\"/>|" \
    "$root/samples/sample-config.xml" >"$chromium/page.xml"
bash "$root/tools/sample/pack-sample.sh" "$BUILD_DIR/tools/qvpack/qvpack.exe" "$BUILD_DIR/qvedge/qvedge.scr" \
  "$chromium/page.xml" "$chromium/chromium-page.scr"

wineserver -p
trap 'end_chromium; wineserver -k || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
probe="$BUILD_DIR/tools/bench/bench_probe.exe"
field() { sed -n "s/.*$1=\([-0-9]*\).*/\1/p"; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

echo "Feed step against rapidxml's parse alone:"
wine "$BUILD_DIR/tools/bench-feed/bench_feed.exe" </dev/null | sed 's/^/  /'

echo "Start-up, median of $runs runs:"
baseline=$(for _ in $(seq $runs); do
  wine "$probe" 0 "$(winpath "$BUILD_DIR/tools/bench/minimal_fullscreen.exe")" </dev/null | field content_ms
done | median)
for _ in $(seq $runs); do
  QV_RUNTIME_JOURNAL="$work/startup.journal" wine "$probe" 0 "$(winpath "$work/startup.scr")" /s </dev/null
done >"$work/startup.lines"
visible=$(field visible_ms <"$work/startup.lines" | median)
content=$(field content_ms <"$work/startup.lines" | median)
echo "  minimal full-screen program: $baseline ms"
echo "  show (test runtime): dialog visible $visible ms, content shown $content ms"
awk -v v="$visible" -v c="$content" -v b="$baseline" \
  'BEGIN { printf "  ratio dialog visible / minimal: %.2f; content shown / minimal: %.2f\n", v / b, c / b }'

echo "GDI objects of a show (100 ms interval):"
rm -f "$work/rotation.journal"
line=$(QV_RUNTIME_JOURNAL="$work/rotation.journal" wine "$probe" 12 "$(winpath "$work/rotation.scr")" /s </dev/null)
rotations=$(grep -cP '\tNavigate\t' "$work/rotation.journal" || true)
echo "  after the first page: $(echo "$line" | field gdi_first); after $rotations navigations: $(echo "$line" | field gdi_later)"

echo "String replace of repeated \"mem://\", best of 5:"
wine "$BUILD_DIR/tools/bench/bench_replace.exe" </dev/null | sed 's/^/  /'

shipped="$BUILD_DIR/qvedge/qvedge.scr"
[ "$QV_ARCH" = i686 ] || shipped="$BUILD_DIR/i686/qvedge/qvedge.scr"
echo "Shipped executable: $(stat -c %s "$shipped") bytes ($(basename "$shipped"), 32-bit, stripped)"

echo "With the Chromium-backed runtime (headless Chromium, pages on loopback):"

baseline=$(for _ in $(seq $runs); do
  wine "$probe" 0 "$(winpath "$BUILD_DIR/tools/bench/minimal_fullscreen.exe")" </dev/null | field visible_ms
done | median)
# The browser's own messages go to a log.
show=$(for _ in $(seq $runs); do
  wine "$probe" --colour "$colour" 0 "$(winpath "$chromium/chromium-page.scr")" /s </dev/null 2>>"$chromium/browser.log" |
    field content_ms
done | median)
echo "  start-up to content shown at 1920x1080: minimal full-screen program $baseline ms; show $show ms"
awk -v s="$show" -v b="$baseline" 'BEGIN { printf "  ratio show / minimal: %.2f\n", s / b }'

for size in "1920 1080" "960 540"; do
  set -- $size
  fps=$(wine "$BUILD_DIR/tools/bench/bench_frames.exe" "$1" "$2" 5 "http://127.0.0.1:$port/animated" \
    "$(winpath "$chromium/QuorvelRuntime.dll")" "$(winpath "$work/profile")" </dev/null 2>>"$chromium/browser.log" |
    sed -n 's/^fps=//p')
  echo "  frames painted per second on an animated page at $1x$2: $fps"
done

idle_seconds=10
wine "$probe" --colour "$colour" "$idle_seconds" "$(winpath "$chromium/chromium-page.scr")" /s </dev/null \
  >"$chromium/idle.txt" 2>>"$chromium/browser.log" &
probe_pid=$!
folder=""
for _ in $(seq 200); do
  folder=$(ls -d "$WINEPREFIX"/drive_c/users/*/Temp/chromium-page.scr 2>/dev/null | head -1)
  [ -n "$folder" ] && [ -f "$folder/DevToolsActivePort" ] && break
  sleep 0.1
done
# The page is on screen well within this; the count covers the rest of the probe's 10 s.
sleep 2
browser_cpu=$(python3 "$root/tools/chromium/browser_cpu.py" "$folder" $((idle_seconds - 3)) | sed -n 's/^browser_cpu_percent=//p')
wait "$probe_pid" || true
program_cpu=$(awk -v ms="$(field cpu_ms <"$chromium/idle.txt")" -v s="$idle_seconds" 'BEGIN { printf "%.1f", ms / s / 10 }')
echo "  idle show on a static page: program $program_cpu % of a core over ${idle_seconds} s; browser $browser_cpu %"
