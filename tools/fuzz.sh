#!/usr/bin/env bash
# Hostile input, natively, apart from the Windows build: the readers of untrusted bytes
# (tools/fuzz/) built with the host compilers under AddressSanitizer and
# UndefinedBehaviorSanitizer. With g++: their unit tests, every seed of every fuzz target
# with all its prefixes, and the feed converter's differential check against its reference;
# then, built optimised without the sanitizers, the large generated
# inputs against their time bounds. With clang: each target under libFuzzer for a bounded
# time, which fails on any crash, leak, sanitizer report or input slower than 2 s.
#   tools/fuzz.sh                    30 s per target (what the test run does)
#   tools/fuzz.sh --long [seconds]   longer, 600 s per target unless given
# The corpora grow in BUILD_DIR/fuzz/corpus; a failing input is left in BUILD_DIR/fuzz/artifacts.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds=30
if [ "${1:-}" = --long ]; then
  seconds="${2:-600}"
fi
out="${BUILD_DIR:-$root/build}/fuzz"
here="$root/tools/fuzz"
targets=(xml_document archived_string self_trailer feed_conversion command_line mem_address)
export UBSAN_OPTIONS=print_stacktrace=1
started=$SECONDS
current=""
failed=()
phase() {
  current="$1"
  printf '== %s (%d s so far)\n' "$1" $((SECONDS - started))
}
# Every check runs, so one failure hides no other; the script fails at the end.
check() { "$@" || failed+=("$current"); }

phase "native builds"
configure() {  # configure <build dir> <compiler> [cmake options]
  [ -f "$1/CMakeCache.txt" ] || cmake -S "$here" -B "$1" -G Ninja -DCMAKE_CXX_COMPILER="$2" "${@:3}" >/dev/null
}
configure "$out/gcc" g++
configure "$out/clang" clang++
configure "$out/timed" g++ -DQV_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release
# The three trees build side by side; each waits mostly on one large source.
build() {  # build <tree> [targets]
  cmake --build "$out/$1" -j"$(nproc)" ${2:+--target $2} >"$out/$1.log" 2>&1 || { cat "$out/$1.log"; return 1; }
}
build gcc & gcc_build=$!
build clang "${targets[*]/%/_fuzz}" & clang_build=$!
build timed large_inputs & timed_build=$!
built=0
for job in $gcc_build $clang_build $timed_build; do
  wait "$job" || built=1
done
[ "$built" -eq 0 ]

phase "unit tests of the readers"
check "$out/gcc/native_tests" --gtest_brief=1

phase "seeds and all their prefixes"
for target in "${targets[@]}"; do
  printf '%-16s ' "$target"
  check "$out/gcc/${target}_replay" "$here/seeds/$target"
done

phase "feed converter against its reference"
check "$root/tools/feed-diff/run.sh"

phase "large inputs"
check timeout 600 "$out/timed/large_inputs"

phase "libFuzzer, $seconds s per target"
mkdir -p "$out/logs" "$out/artifacts"
fuzz_one() {  # fuzz_one <target>
  local target="$1" dictionary=()
  case "$target" in
    xml_document | feed_conversion) dictionary=(-dict="$here/xml.dict") ;;
  esac
  mkdir -p "$out/corpus/$target"
  if "$out/clang/${target}_fuzz" -max_total_time="$seconds" -timeout=2 -max_len=4096 -rss_limit_mb=2048 \
      -print_final_stats=1 "${dictionary[@]}" -artifact_prefix="$out/artifacts/$target-" \
      "$out/corpus/$target" "$here/seeds/$target" >"$out/logs/$target.log" 2>&1; then
    printf '%-16s ok: %s\n' "$target" "$(grep -m1 -o 'DONE .*' "$out/logs/$target.log" | tr -s ' ')"
  else
    printf '%-16s FAILED, log %s:\n' "$target" "$out/logs/$target.log"
    grep -E -A12 'ERROR:|runtime error|ALARM|Test unit written' "$out/logs/$target.log" | head -40
    return 1
  fi
}
export -f fuzz_one
export out here seconds
# At most one target per core, so the 2 s limit measures the input, not the neighbours.
check xargs -P "$(nproc)" -I{} bash -c 'fuzz_one {}' < <(printf '%s\n' "${targets[@]}")
printf '== %d s in all\n' $((SECONDS - started))
if [ "${#failed[@]}" -gt 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}"
  exit 1
fi
