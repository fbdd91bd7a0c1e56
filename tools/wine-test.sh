#!/usr/bin/env bash
# Runs one test executable in the build tree's Wine prefix (CTest's emulator), once more when
# Wine itself failed the run (see wine_test in wine-env.sh).
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
BUILD_DIR="${BUILD_DIR:-$here/../build}"
. "$here/wine-env.sh"
wine_test "$@"
