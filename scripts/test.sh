#!/usr/bin/env bash
# Installs what is missing, builds Korvenia and runs every test headless: once in a normal
# build and once under AddressSanitizer and UndefinedBehaviorSanitizer; then, with clang, the
# fuzz targets for a short time each (scripts/fuzz.sh, KORVENIA_FUZZ_SECONDS). Every build
# treats compiler warnings as errors (KORVENIA_WERROR).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"
options=(-DKORVENIA_WERROR=ON)
command -v ccache >/dev/null && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

echo "== Build and test =="
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure --timeout 300 -j"$jobs"

echo "== Build and test under AddressSanitizer + UndefinedBehaviorSanitizer =="
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DKORVENIA_SANITIZE=ON "${options[@]}" >/dev/null
cmake --build build-sanitize -j"$jobs"
ctest --test-dir build-sanitize --output-on-failure --timeout 600 -j"$jobs"

if command -v clang++ >/dev/null; then
  echo "== Fuzz targets under AddressSanitizer + UndefinedBehaviorSanitizer =="
  scripts/fuzz.sh -DKORVENIA_WERROR=ON
else
  echo "== Fuzz targets skipped: clang is not installed =="
fi
