#!/usr/bin/env bash
# Builds the fuzzers with clang in a build directory of its own and runs each
# of them for SECONDS, two at a time: the readers of SVG, of the native JSON
# document, of the preference file, of a plug-in file's resources, of the
# user's steps (--ui), and the layer-name list readers with the rename and
# create commands.
#
#   fuzz/run.sh [SECONDS] [NAME...]   (each; default 60 s and every fuzzer)
#
# Exits non-zero when a fuzzer finds a crash; the input that caused it is
# left in BUILD/fuzz-artifacts/ and the fuzzer's output in BUILD/fuzz-logs/.
# Set ORBALIS_FUZZ_BUILD to choose BUILD (default: build-fuzz next to this
# folder), ORBALIS_FUZZ_RUNS to stop each fuzzer after that many runs if it
# gets there first, and ORBALIS_SVG_SUITE to the SVG test suite that seeds the SVG
# fuzzer besides the seeds here (default: ../shared/svg-suite beside the
# project; left out with a note when absent, and a failure under CI).
set -euo pipefail

seconds="${1:-60}"
shift || true
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${ORBALIS_FUZZ_BUILD:-$root/build-fuzz}"
suite="${ORBALIS_SVG_SUITE:-$root/../shared/svg-suite}"

# name, seed folder, dictionary, longest input. A longer layer list only
# repeats lines (its coverage stops growing below 200 bytes, and nothing in
# its readers depends on a line's length), while each line costs a
# conversion and a layer, so its inputs stop at 256 bytes.
fuzzers=(
  "svg_import_fuzz svg svg.dict 65536"
  "json_document_fuzz json json.dict 65536"
  "preferences_fuzz preferences json.dict 16384"
  "resources_fuzz resources - 65536"
  "ui_script_fuzz ui-script ui.dict 4096"
  "layer_list_fuzz layer-list list.dict 256"
)
chosen=("$@")

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORBALIS_FUZZ=ON -DORBALIS_TESTS=OFF -DORBALIS_BENCH=OFF >/dev/null
targets=()
for f in "${fuzzers[@]}"; do
  read -r name _ <<<"$f"
  if [ ${#chosen[@]} -eq 0 ] || [[ " ${chosen[*]} " == *" $name "* ]]; then targets+=("$name"); fi
done
[ ${#targets[@]} -gt 0 ] || { echo "run.sh: no fuzzer named ${chosen[*]}" >&2; exit 2; }
ninja -C "$build" -j2 "${targets[@]}"

artifacts="$build/fuzz-artifacts"
logs="$build/fuzz-logs"
mkdir -p "$artifacts" "$logs"

# New inputs go to a working corpus; the seeds in the repository stay as they are.
run_one() {
  local name="$1" seeds="$2" dict="$3" max_len="$4"
  local corpus="$build/fuzz-corpus/$seeds"
  local extra=()
  mkdir -p "$corpus"
  [ "$dict" != - ] && extra+=(-dict="$here/$dict")
  [ -n "${ORBALIS_FUZZ_RUNS:-}" ] && extra+=(-runs="$ORBALIS_FUZZ_RUNS")
  local inputs=("$corpus" "$here/corpus/$seeds")
  if [ "$name" = svg_import_fuzz ]; then
    if [ -d "$suite" ]; then
      inputs+=("$suite")
    elif [ -n "${CI:-}" ] && [ "$CI" != false ]; then
      echo "run.sh: no SVG suite at $suite" >&2
      return 1
    else
      echo "run.sh: no SVG suite at $suite; seeding from fuzz/corpus/svg alone" >&2
    fi
  fi
  "$build/fuzz/$name" "${inputs[@]}" "${extra[@]}" -max_total_time="$seconds" -max_len="$max_len" \
    -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$artifacts/$name-" -print_final_stats=1 \
    >"$logs/$name.log" 2>&1
}

status=0
pids=()
names=()
finish() {
  local i="$1"
  if wait "${pids[$i]}"; then
    echo "fuzz: ${names[$i]}: $(grep -E '^stat::number_of_executed_units' "$logs/${names[$i]}.log" | awk '{print $2}') runs, $(grep -Eo 'cov: [0-9]+' "$logs/${names[$i]}.log" | tail -1), no crash"
  else
    echo "fuzz: ${names[$i]} FAILED; see $logs/${names[$i]}.log and $artifacts/" >&2
    tail -n 30 "$logs/${names[$i]}.log" >&2
    status=1
  fi
}
for f in "${fuzzers[@]}"; do
  read -r name seeds dict max_len <<<"$f"
  [[ " ${targets[*]} " == *" $name "* ]] || continue
  run_one "$name" "$seeds" "$dict" "$max_len" &
  pids+=($!)
  names+=("$name")
  # Two at a time, one per core.
  if [ ${#pids[@]} -eq 2 ]; then
    finish 0; finish 1
    pids=(); names=()
  fi
done
[ ${#pids[@]} -eq 1 ] && finish 0
exit $status
