#!/usr/bin/env bash
# Native sanitizer check of the XML document library, apart from the Windows build: runs the
# seeds and every prefix of them under AddressSanitizer and UndefinedBehaviorSanitizer, then,
# when clang has libFuzzer, fuzzes for the given number of seconds (default 60).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
seconds="${1:-60}"
out="${XMLFUZZ_DIR:-$root/build-xmlfuzz}"
mkdir -p "$out/corpus"

flags=(-std=c++17 -g -O1 -Wall -Wextra -I"$root"
       -fsanitize=address,undefined -fno-sanitize-recover=all)
sources=("$root/common/XmlDocument.cpp" "$here/Utf8Native.cpp" "$here/XmlFuzz.cpp")

g++ "${flags[@]}" "${sources[@]}" "$here/PrefixMain.cpp" -o "$out/xml-prefixes"
"$out/xml-prefixes" "$here"/seeds/*

if command -v clang++ >/dev/null && [ "$seconds" -gt 0 ]; then
  clang++ "${flags[@]}" -fsanitize=fuzzer "${sources[@]}" -o "$out/xml-fuzz"
  # A slow input is a finding too: the loader must stay near-linear.
  "$out/xml-fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=2 \
    -artifact_prefix="$out/" "$out/corpus" "$here/seeds"
fi
