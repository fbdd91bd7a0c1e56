#!/usr/bin/env bash
# Runs one Windows executable in the build tree's Wine prefix (CTest's emulator).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD_DIR="${BUILD_DIR:-$here/../build}"
. "$here/wine-env.sh"
exec wine "$@"
