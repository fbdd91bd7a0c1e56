#!/usr/bin/env bash
# pack-sample.sh <qvpack.exe> <program.scr> <config.xml> <output.scr>
# Runs the package writer under Wine during the build. The build has no display, and a Wine
# server session begun without one breaks the GUI tests that come later in that session,
# so this waits until its own session has ended. Wine's output goes to a log beside the
# output: the services that the session starts would otherwise hold the build's pipe.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
qvpack="$1" program="$2" config="$3" output="$4"
. "$here/../wine-env.sh"

# Wine sees the Unix root as drive Z:.
windows_path() { local p="Z:$1"; printf '%s' "${p//\//\\}"; }

mkdir -p "$(dirname "$output")"
log="$output.log"
ensure_wine_prefix
rm -f "$output"
status=0
"$here/../wine-run.sh" "$(windows_path "$qvpack")" append "$(windows_path "$program")" \
  "$(windows_path "$config")" "$(windows_path "$output")" </dev/null >"$log" 2>&1 || status=$?
wineserver -w
if [ "$status" -ne 0 ] || [ ! -s "$output" ]; then
  cat "$log" >&2
  echo "pack-sample.sh: qvpack failed (exit code $status)" >&2
  rm -f "$output"
  exit 1
fi
