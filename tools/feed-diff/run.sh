#!/usr/bin/env bash
# Builds the differential check of the feed converter against its reference with the host
# compiler under AddressSanitizer and UndefinedBehaviorSanitizer, and runs it over generated
# feeds, the corpus beside it and the XML fuzz seeds.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"
out="${BUILD_DIR:-$root/build}/native"
mkdir -p "$out"
g++ -std=c++17 -g -O1 -fsanitize=address,undefined -fno-sanitize-recover=all -Wall -Wextra \
  -I"$root" -isystem /usr/include/rapidxml \
  "$root"/qvedge/feed/{XmlJsonConverter,JsonEscape,FeedBody,FeedMeasure,FeedTextBuffer}.cpp \
  "$here/ReferenceConverter.cpp" "$here/FeedDiff.cpp" -o "$out/feed-diff"
"$out/feed-diff" "$here"/corpus/* "$root"/tools/fuzz/seeds/xml_document/*
