#!/usr/bin/env bash
# The benchmarks, each against its baseline in the same run, printed as ratios:
# - the feed step against rapidxml's parse alone (about 10 MB of generated feed, best of 10);
# - start-up: process start to the show's dialog visible and to its content shown (every
#   view reported, the loading animation gone) on the WebView2 road with the test runtime,
#   against a minimal program that shows one full-screen window (median of 5 runs each), and
#   the modules loaded in each when its window becomes visible (the show's named);
# - an idle show with its content shown (60 s interval, no rotation) against the minimal
#   program, each over 10 s: processor time of its Wine process and of wineserver meanwhile,
#   read from /proc on the Linux side (under Wine a child's GetProcessTimes reads 0, and much
#   of a Wine program's work is done in wineserver), and its VmRSS and RssAnon at the end
#   (Wine reports private bytes as 0);
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
minimal="$BUILD_DIR/tools/bench/minimal_fullscreen.exe"
field() { sed -n "s/.*$1=\([-0-9]*\).*/\1/p"; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# A figure, or n/a when it could not be measured (empty or negative).
figure() { case "$1" in '' | -*) echo n/a ;; *) echo "$1" ;; esac; }
ratio() {
  case "$1/$2" in *n/a* | /* | */ | */0) echo n/a ;; *) awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }' ;; esac
}

echo "Feed step against rapidxml's parse alone:"
wine "$BUILD_DIR/tools/bench-feed/bench_feed.exe" </dev/null | sed 's/^/  /'

echo "Start-up, median of $runs runs:"
for _ in $(seq $runs); do
  wine "$probe" 0 "$(winpath "$minimal")" </dev/null || true
done >"$work/minimal.lines"
baseline=$(figure "$(field content_ms <"$work/minimal.lines" | median)")
for _ in $(seq $runs); do
  QV_RUNTIME_JOURNAL="$work/startup.journal" wine "$probe" 0 "$(winpath "$work/startup.scr")" /s </dev/null || true
done >"$work/startup.lines"
visible=$(figure "$(field visible_ms <"$work/startup.lines" | median)")
content=$(figure "$(field content_ms <"$work/startup.lines" | median)")
echo "  minimal full-screen program: $baseline ms"
echo "  show (test runtime): dialog visible $visible ms, content shown $content ms"
echo "  ratio dialog visible / minimal: $(ratio "$visible" "$baseline"); content shown / minimal: $(ratio "$content" "$baseline")"
# The same modules load in every run: the names are those of the first.
module_names() { awk '/^module_names=/ { print substr($0, 14); exit }' "$1" | tr ',' '\n' | tr 'A-Z' 'a-z' | sort -u; }
show_modules=$(figure "$(field modules <"$work/startup.lines" | median)")
minimal_modules=$(figure "$(field modules <"$work/minimal.lines" | median)")
echo "  modules loaded when the window is visible: show $show_modules, minimal program $minimal_modules" \
  "(ratio $(ratio "$show_modules" "$minimal_modules"))"
module_names "$work/startup.lines" >"$work/startup.modules"
module_names "$work/minimal.lines" >"$work/minimal.modules"
eight_a_line() { awk '{ printf "%s%s", NR % 8 == 1 ? "    " : " ", $0 } NR % 8 == 0 { print "" } END { if (NR % 8) print "" }'; }
echo "  the show's:"
eight_a_line <"$work/startup.modules"
echo "  of which not in the minimal program:"
comm -23 "$work/startup.modules" "$work/minimal.modules" | eight_a_line

echo "GDI objects of a show (100 ms interval):"
rm -f "$work/rotation.journal"
line=$(QV_RUNTIME_JOURNAL="$work/rotation.journal" wine "$probe" 12 "$(winpath "$work/rotation.scr")" /s </dev/null)
rotations=$(grep -cP '\tNavigate\t' "$work/rotation.journal" || true)
echo "  after the first page: $(echo "$line" | field gdi_first); after $rotations navigations: $(echo "$line" | field gdi_later)"

# The Linux process of a running Wine program: Wine gives it the program's Windows command line.
linux_pid() {
  local d
  for d in /proc/[0-9]*; do
    [ -O "$d" ] || continue
    case "$(tr '\0' ' ' <"$d/cmdline" 2>/dev/null)" in "$1"*) echo "${d#/proc/}"; return 0 ;; esac
  done
  return 1
}
# The prefix's wineserver: it works in the folder named after the prefix's device and inode.
wineserver_pid() {
  local dir d
  dir=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  for d in /proc/[0-9]*; do
    [ -O "$d" ] || continue
    case "$(readlink "$d/exe" 2>/dev/null)" in */wineserver*) ;; *) continue ;; esac
    if [ "$(basename "$(readlink "$d/cwd" 2>/dev/null)")" = "$dir" ]; then
      echo "${d#/proc/}"
      return 0
    fi
  done
  return 1
}
# User and system time of a process in clock ticks (the fields after the name in brackets).
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
idle_seconds=10
hz=$(getconf CLK_TCK)
percent() { [ -n "$1" ] && [ -n "$2" ] && awk -v t=$(($2 - $1)) -v hz="$hz" -v s="$idle_seconds" 'BEGIN { printf "%.1f", t * 100 / hz / s }' || echo n/a; }
# Runs a program under the probe and, from its content shown on, measures it over
# idle_seconds: sets idle_program and idle_server (per cent of a core) and idle_rss and
# idle_anon (kB, at the end), each n/a when it could not be read.
idle_run() {
  local name="$1" program="$2" pid="" server="" p0="" p1="" s0="" s1="" probe_pid
  shift 2
  idle_program=n/a idle_server=n/a idle_rss=n/a idle_anon=n/a
  wine "$probe" $((idle_seconds + 5)) "$(winpath "$program")" "$@" </dev/null >"$work/$name.idle" 2>&1 &
  probe_pid=$!
  for _ in $(seq 600); do
    grep -qs '^shown_ms=' "$work/$name.idle" && break
    kill -0 "$probe_pid" 2>/dev/null || break
    sleep 0.1
  done
  if grep -qs '^shown_ms=' "$work/$name.idle"; then
    pid=$(linux_pid "$(winpath "$program")") || true
    server=$(wineserver_pid) || true
  fi
  if [ -n "$pid" ] && [ -n "$server" ]; then
    p0=$(cpu_ticks "$pid") || p0=""
    s0=$(cpu_ticks "$server") || s0=""
    sleep "$idle_seconds"
    p1=$(cpu_ticks "$pid") || p1=""
    s1=$(cpu_ticks "$server") || s1=""
    [ -z "$p0" ] || [ -z "$p1" ] || idle_program=$(percent "$p0" "$p1")
    [ -z "$s0" ] || [ -z "$s1" ] || idle_server=$(percent "$s0" "$s1")
    idle_rss=$(figure "$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)")
    idle_anon=$(figure "$(awk '/^RssAnon:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)")
  fi
  wait "$probe_pid" || true
}
# Its own name, so that only the measured show's command line starts with it.
cp "$work/startup.scr" "$work/idle.scr"
idle_run idle-minimal "$minimal"
minimal_cpu=$idle_program minimal_server=$idle_server minimal_rss=$idle_rss minimal_anon=$idle_anon
idle_run idle-show "$work/idle.scr" /s
echo "Idle show with its content shown (test runtime, 60 s interval), over $idle_seconds s, % of a core:"
echo "  show $idle_program, wineserver meanwhile $idle_server;" \
  "minimal full-screen program $minimal_cpu, wineserver meanwhile $minimal_server"
echo "Memory with the content shown, kB:"
echo "  show VmRSS $idle_rss, RssAnon $idle_anon; minimal full-screen program VmRSS $minimal_rss, RssAnon $minimal_anon"
echo "  ratio show / minimal: VmRSS $(ratio "$idle_rss" "$minimal_rss"), RssAnon $(ratio "$idle_anon" "$minimal_anon")"

echo "String replace of repeated \"mem://\", best of 5:"
wine "$BUILD_DIR/tools/bench/bench_replace.exe" </dev/null | sed 's/^/  /'

shipped="$BUILD_DIR/qvedge/qvedge.scr"
[ "$QV_ARCH" = i686 ] || shipped="$BUILD_DIR/i686/qvedge/qvedge.scr"
echo "Shipped executable: $(stat -c %s "$shipped") bytes ($(basename "$shipped"), 32-bit, stripped)"

echo "With the Chromium-backed runtime (headless Chromium, pages on loopback):"

baseline=$(for _ in $(seq $runs); do
  wine "$probe" 0 "$(winpath "$minimal")" </dev/null | field visible_ms
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
window=$((idle_seconds - 3))
show_pid=$(linux_pid "$(winpath "$chromium/chromium-page.scr")") || show_pid=""
p0=""
[ -z "$show_pid" ] || p0=$(cpu_ticks "$show_pid") || p0=""
browser_cpu=$(python3 "$root/tools/chromium/browser_cpu.py" "$folder" "$window" | sed -n 's/^browser_cpu_percent=//p')
p1=""
[ -z "$show_pid" ] || p1=$(cpu_ticks "$show_pid") || p1=""
wait "$probe_pid" || true
program_cpu=n/a
[ -z "$p0" ] || [ -z "$p1" ] ||
  program_cpu=$(awk -v t=$((p1 - p0)) -v hz="$hz" -v s="$window" 'BEGIN { printf "%.1f", t * 100 / hz / s }')
echo "  idle show on a static page: program $program_cpu % of a core over ${window} s; browser $browser_cpu %"
