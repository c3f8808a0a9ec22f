#!/usr/bin/env bash
# Builds the fuzzers with clang in a build directory of its own and runs each
# of them: the SVG importer, then the layer-name list readers with the
# rename and create commands. Usage: fuzz/run.sh [SECONDS]  (each; default 60)
# Exits non-zero when a fuzzer finds a crash; the input that caused it is
# left in BUILD/fuzz-artifacts/. Set ORBALIS_FUZZ_BUILD to choose BUILD
# (default: build-fuzz next to this folder).
set -euo pipefail

seconds="${1:-60}"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${ORBALIS_FUZZ_BUILD:-$root/build-fuzz}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORBALIS_FUZZ=ON -DORBALIS_TESTS=OFF -DORBALIS_BENCH=OFF >/dev/null
ninja -C "$build" -j2 svg_import_fuzz layer_list_fuzz

# New inputs go to a working corpus; the seeds in the repository stay as they are.
artifacts="$build/fuzz-artifacts"
mkdir -p "$build/fuzz-corpus/svg" "$build/fuzz-corpus/layer-list" "$artifacts"
"$build/fuzz/svg_import_fuzz" "$build/fuzz-corpus/svg" "$here/corpus/svg" \
  -dict="$here/svg.dict" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$artifacts/" -print_final_stats=1
"$build/fuzz/layer_list_fuzz" "$build/fuzz-corpus/layer-list" "$here/corpus/layer-list" \
  -dict="$here/list.dict" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$artifacts/" -print_final_stats=1
