#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/, runs every saved regression input of
# fuzz/regressions/<target>/, then fuzzes each target for KORVENIA_FUZZ_SECONDS (30) seconds
# from the examples and golden files. A crash or a failed property fails the script; the
# input that did it is left in build-fuzz/artifacts/<target>/ (save it as a regression case).
# Arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${KORVENIA_FUZZ_SECONDS:-30}"
jobs="$(nproc)"
[ "$jobs" -gt 2 ] && jobs=2
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DKORVENIA_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@" >/dev/null
cmake --build build-fuzz -j"$jobs"

# Seed inputs of each target: the sample and golden files it reads.
seeds() {
  case "$1" in
    fuzz_raw_writers | fuzz_survey) ls examples/*.raw tests/data/*/*.raw ;;
    fuzz_coord_writers | fuzz_numbers) ls examples/*.asc tests/data/*/*.asc tests/data/*/*.pts ;;
    fuzz_settings) ls tests/data/Korvenia.ini tests/data/*/*.ini ;;
    fuzz_upload) ls examples/*.asc examples/*.cod tests/data/*/*.asc tests/data/*/*.kof ;;
  esac
}

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
failed=()
for target in fuzz_raw_writers fuzz_coord_writers fuzz_settings fuzz_numbers fuzz_upload \
  fuzz_survey; do
  binary="build-fuzz/bin/$target"
  log="build-fuzz/logs/$target.log"
  corpus="build-fuzz/corpus/$target"
  artifacts="build-fuzz/artifacts/$target/"
  mkdir -p build-fuzz/logs "$artifacts"
  rm -rf "$corpus" && mkdir -p "$corpus"

  mapfile -t regressions < <(find "fuzz/regressions/$target" -type f 2>/dev/null | sort)
  if [ ${#regressions[@]} -gt 0 ]; then
    if ! "$binary" "${regressions[@]}" >"$log" 2>&1; then
      grep -E -A2 'Property failed|ERROR|runtime error' "$log" | head -20 || true
      echo "$target: a regression input fails again (log: $log)"
      failed+=("$target")
      continue
    fi
    cp "${regressions[@]}" "$corpus/"
  fi
  while read -r seed; do cp "$seed" "$corpus/$(echo "$seed" | tr / _)"; done < <(seeds "$target")

  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$artifacts")
  [ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")
  start=$SECONDS
  if "$binary" "${options[@]}" "$corpus" >"$log" 2>&1; then
    echo "$target: $(grep -E '^Done [0-9]+ runs' "$log" | tail -1) ($((SECONDS - start)) s)"
  else
    grep -E -A2 'Property failed|ERROR|runtime error' "$log" | head -20 || true
    grep -E 'Test unit written to' "$log" || true
    echo "$target: failed (log: $log)"
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzz targets that failed: ${failed[*]}"
  exit 1
fi
