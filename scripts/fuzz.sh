#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/<name>_fuzz.cpp, clang with AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz and runs each for SECONDS (default 600), or only
# the targets named after SECONDS, from the seed corpora that fuzz_seeds writes. Fails on any
# finding; the input that found it is kept in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
shift || true
only=("$@")
build_dir="${FUZZ_BUILD_DIR:-build-fuzz}"

if ! command -v clang++-14 >/dev/null; then
  echo "fuzz.sh: clang++-14 is missing; scripts/setup.sh installs it." >&2
  exit 1
fi
echo "== Configuring $build_dir"
CC=clang-14 CXX=clang++-14 cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTORNAVO_FUZZ=ON -DTORNAVO_BENCH=OFF >/dev/null
echo "== Building the fuzz targets"
cmake --build "$build_dir" --target tornavo_fuzz

corpus="$build_dir/corpus"
findings="$build_dir/findings"
logs="$build_dir/fuzz-logs"
mkdir -p "$corpus" "$findings" "$logs"
"$build_dir/fuzz/fuzz_seeds" "$corpus"

export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen
passed=0
failed=0
for target in "$build_dir"/fuzz/*_fuzz; do
  name="$(basename "$target")"
  if ((${#only[@]})) && [[ ! " ${only[*]} " =~ " $name " ]]; then continue; fi
  mkdir -p "$corpus/$name"
  log="$logs/$name.log"
  echo "== $name for ${seconds}s"
  if "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=25 -print_final_stats=1 \
      -artifact_prefix="$findings/$name-" "$corpus/$name" >"$log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "!! $name found a fault; the end of $log:"
    tail -n 40 "$log"
  fi
  runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)"
  echo "   $name: ${runs:-?} inputs run"
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
