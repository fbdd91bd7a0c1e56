# Sourced: the Wine environment of a build tree. BUILD_DIR defaults to ./build.
BUILD_DIR="${BUILD_DIR:-$(pwd)/build}"
export WINEPREFIX="${WINEPREFIX:-$BUILD_DIR/wineprefix}"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

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
