#!/usr/bin/env bash
# Installs everything the build, the tests and the main job need on a fresh Debian 12.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
APT="$SUDO apt-get -o DPkg::Lock::Timeout=120"

packages=(
  cmake make ninja-build
  g++-mingw-w64-i686 mingw-w64-tools
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  googletest librapidxml-dev
  wine wine32:i386 wine64 libwine-dev
  xvfb xauth imagemagick
  openssl python3
  # The sources of the Japanese locale, compiled for the code-page-932 tests.
  locales
  chromium-headless-shell fonts-dejavu-core nlohmann-json3-dev
  # The native hostile-input checks (tools/fuzz.sh); clang alone brings neither libFuzzer
  # nor the sanitizer runtimes.
  g++ clang libclang-rt-14-dev
)
# Node.js may come from elsewhere than Debian (its npm then conflicts with Debian's).
command -v npm >/dev/null 2>&1 || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
  $APT update -q
  $APT install -y -q --no-install-recommends "${missing[@]}"
fi
