# Sourced: the Wine environment of a build tree. BUILD_DIR defaults to ./build.
BUILD_DIR="${BUILD_DIR:-$(pwd)/build}"

# The Windows architecture the tree's programs are built for: the one named by its
# toolchain once configured, else the one this machine can run. Some kernels cannot run
# 32-bit Linux programs, which Wine needs for 32-bit Windows programs; there the tests
# run as 64-bit programs in a 64-bit prefix.
qv_build_arch() {
  local cache="$BUILD_DIR/CMakeCache.txt"
  if [ -f "$cache" ]; then
    grep -q '^CMAKE_TOOLCHAIN_FILE.*x86_64' "$cache" && echo x86_64 || echo i686
  elif /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo i686
  else
    echo x86_64
  fi
}
QV_ARCH="${QV_ARCH:-$(qv_build_arch)}"
export QV_ARCH

export WINEPREFIX="${WINEPREFIX:-$BUILD_DIR/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ "$QV_ARCH" = x86_64 ]; then
  export WINEARCH=win64
  # Debian's wine script (and wineboot through it) would start the 32-bit loader; the
  # 64-bit loader must be started by its own name.
  shim="$BUILD_DIR/wine-shim"
  if [ ! -x "$shim/wine" ]; then
    mkdir -p "$shim"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/wine"
    chmod +x "$shim/wine"
    ln -sf wine "$shim/wine-stable"
  fi
  case ":$PATH:" in *":$shim:"*) ;; *) export PATH="$shim:$PATH" ;; esac
else
  export WINEARCH=win32
fi

# Creates the prefix quietly on first use. Without a window manager, destroying an
# activated managed window costs ~2 s, so windows are made unmanaged.
ensure_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.quorvel-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null || true
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    wineserver -w
    touch "$WINEPREFIX/.quorvel-ready"
  fi
}

# Runs a test executable under Wine. Now and then Wine itself, not the program, fails a run:
# killed by a signal with no fault message of its own after the tests' output is complete
# and passing, or ending with status 1 before the program has written anything (each seen
# about once in 1,500-2,400 launches under load). Such a run is run once more, and says so;
# any other failure stands, and so does a second one.
wine_test() {
  local log status
  log="$(mktemp)"
  wine_once "$log" "$@" && status=0 || status=$?
  cat "$log"
  if wine_failed_outside_the_program "$status" "$log"; then
    echo "Wine ended with status $status outside the program's tests; running it once more" >&2
    wine_once "$log" "$@" && status=0 || status=$?
    cat "$log"
  fi
  rm -f "$log"
  return "$status"
}

# One run with its output in a file; a time-out's signal to this shell ends the run too.
wine_once() {  # <output> <program> [arguments]
  local log="$1" pid status
  shift
  wine "$@" >"$log" 2>&1 &
  pid=$!
  trap 'kill "$pid" 2>/dev/null; wait "$pid"; exit 143' TERM INT
  wait "$pid" && status=0 || status=$?
  trap - TERM INT
  return "$status"
}

wine_failed_outside_the_program() {  # <status> <output>
  if [ "$1" -gt 128 ] && [ "$1" -lt 160 ]; then
    grep -q '^\[  PASSED  \] ' "$2" && ! grep -q '^\[  FAILED  \] ' "$2"
  else
    [ "$1" -eq 1 ] && [ ! -s "$2" ]
  fi
}
