#!/usr/bin/env bash
# The benchmarks, each against its baseline in the same run, printed as ratios:
# - the feed step against rapidxml's parse alone (about 10 MB of generated feed, best of 10);
# - start-up: process start to content shown (every view reported, the show visible) on
#   the WebView2 road with the test runtime, against a minimal program that shows one
#   full-screen window (median of 5 runs each);
# - GDI objects of a show after its first page and after 100 rotations (100 ms interval);
# - CString::Replace on an address of repeated "mem://" at 5 MB against 0.5 MB;
# - the size of the shipped 32-bit qvedge.scr.
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

wineserver -p
trap 'wineserver -k || true' EXIT
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
probe="$BUILD_DIR/tools/bench/bench_probe.exe"
field() { sed -n "s/.*$1=\([-0-9]*\).*/\1/p"; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

echo "Feed step against rapidxml's parse alone:"
wine "$BUILD_DIR/tools/bench-feed/bench_feed.exe" </dev/null | sed 's/^/  /'

echo "Start-up to content shown, median of $runs runs:"
baseline=$(for _ in $(seq $runs); do
  wine "$probe" 0 "$(winpath "$BUILD_DIR/tools/bench/minimal_fullscreen.exe")" </dev/null | field visible_ms
done | median)
show=$(for _ in $(seq $runs); do
  QV_RUNTIME_JOURNAL="$work/startup.journal" wine "$probe" 0 "$(winpath "$work/startup.scr")" /s </dev/null | field visible_ms
done | median)
echo "  minimal full-screen program: $baseline ms; show (test runtime): $show ms"
awk -v s="$show" -v b="$baseline" 'BEGIN { printf "  ratio show / minimal: %.2f\n", s / b }'

echo "GDI objects of a show (100 ms interval):"
rm -f "$work/rotation.journal"
line=$(QV_RUNTIME_JOURNAL="$work/rotation.journal" wine "$probe" 12 "$(winpath "$work/rotation.scr")" /s </dev/null)
rotations=$(grep -c ' Navigate ' "$work/rotation.journal" || true)
echo "  after the first page: $(echo "$line" | field gdi_first); after $rotations navigations: $(echo "$line" | field gdi_later)"

echo "String replace of repeated \"mem://\", best of 5:"
wine "$BUILD_DIR/tools/bench/bench_replace.exe" </dev/null | sed 's/^/  /'

shipped="$BUILD_DIR/qvedge/qvedge.scr"
[ "$QV_ARCH" = i686 ] || shipped="$BUILD_DIR/i686/qvedge/qvedge.scr"
echo "Shipped executable: $(stat -c %s "$shipped") bytes ($(basename "$shipped"), 32-bit, stripped)"
