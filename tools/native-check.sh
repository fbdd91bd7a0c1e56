#!/usr/bin/env bash
# Builds the windows-free archive reader, the feed converter and their tests with the host
# compiler under AddressSanitizer and UndefinedBehaviorSanitizer, and runs them, then the
# feed converter's differential check against its reference.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${BUILD_DIR:-$root/build}/native"
mkdir -p "$out"
gtest=/usr/src/googletest/googletest
g++ -std=c++17 -g -O1 -fsanitize=address,undefined -fno-sanitize-recover=all -Wall -Wextra \
  -I"$root" -I"$gtest/include" -I"$gtest" \
  "$root/framework/CArchive.cpp" "$root/framework/CMemFile.cpp" "$root/framework/CException.cpp" \
  "$root/framework/CString.cpp" "$root/tests/native/TextConversionLatin1.cpp" \
  "$root/tests/framework/CArchiveTest.cpp" "$root/tests/framework/CMemFileTest.cpp" \
  "$gtest/src/gtest-all.cc" "$gtest/src/gtest_main.cc" -pthread -o "$out/archive-check"
"$out/archive-check"
g++ -std=c++17 -g -O1 -fsanitize=address,undefined -fno-sanitize-recover=all -Wall -Wextra \
  -I"$root" -isystem /usr/include/rapidxml -I"$gtest/include" -I"$gtest" \
  "$root"/qvedge/feed/{XmlJsonConverter,JsonEscape,FeedMeasure,FeedTextBuffer}.cpp \
  "$root"/tests/qvedge/feed/{XmlJsonConverter,FeedMeasure,FeedTextBuffer}Test.cpp \
  "$gtest/src/gtest-all.cc" "$gtest/src/gtest_main.cc" -pthread -o "$out/feed-check"
"$out/feed-check"
"$root/tools/feed-diff/run.sh"
