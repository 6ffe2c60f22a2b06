#!/usr/bin/env bash
# Times every converter of `korvenia-cli convert` on a generated raw data file and coordinate
# list of LINES lines each (default 1,000,000), beside `cat FILE >/dev/null` on the same file
# in the same run, and prints MB/s, lines/s, the time relative to cat and the peak memory.
# A first row times a conversion of an empty file: the program's own start (loading its
# libraries), which every figure below includes. Each conversion writes a new file; a last row
# times one that replaces its output of the run before.
#
# Usage: bench/convert_bench.sh BUILD_DIR [LINES] [WORK_DIR]   (RUNS=n sets the repetitions)
# Builds nothing: BUILD_DIR must hold a built korvenia-cli (use a Release build).
set -euo pipefail

build=${1:?usage: convert_bench.sh BUILD_DIR [LINES] [WORK_DIR]}
lines=${2:-1000000}
work=${3:-${TMPDIR:-/tmp}/korvenia-convert-bench}

source "$(dirname "$0")/common.sh"
empty_ini=$work/empty.ini
: >"$empty_ini"
now="2026-12-07 10:00:00"
runs=${RUNS:-3}

row() {  # name file ns rss cat_ns
  local name=$1 file=$2 ns=$3 rss=$4 cat_ns=$5
  local bytes n
  bytes=$(stat -c %s "$file")
  n=$(wc -l <"$file")
  awk -v name="$name" -v b="$bytes" -v n="$n" -v ns="$ns" -v rss="$rss" -v c="$cat_ns" 'BEGIN {
    s = ns / 1e9
    printf "%-24s %9.3f %10.1f %13.0f %10.1f %12.1f\n", name, s, b / 1e6 / s, n / s, ns / c, rss / 1024
  }'
}

printf "korvenia-cli: %s\n" "$cli"
printf "inputs: %s (%s bytes), %s (%s bytes), %s lines each; best of %d runs\n\n" \
  "$raw" "$(stat -c %s "$raw")" "$coord" "$(stat -c %s "$coord")" "$lines" "$runs"
printf "%-24s %9s %10s %13s %10s %12s\n" "run" "seconds" "MB/s" "lines/s" "x cat" "peak MB"

cat "$raw" "$coord" >/dev/null  # warm the page cache
empty=$work/empty.raw
: >"$empty"
read -r start_ns start_rss < <(measure "$cli" convert --from raw --to kof --ini "$empty_ini" \
  --now "$now" "$empty" "$work/out.kof")
awk -v ns="$start_ns" -v rss="$start_rss" 'BEGIN {
  printf "%-24s %9.3f %10s %13s %10s %12.1f\n", "start (empty input)", ns / 1e9, "-", "-", "-", rss / 1024
}'
for input in raw coord; do
  file=$raw
  [[ $input == coord ]] && file=$coord
  read -r cat_ns cat_rss < <(measure cat "$file")
  row "cat $input" "$file" "$cat_ns" "$cat_rss" "$cat_ns"
  targets="kof mapa sdr"
  [[ $input == coord ]] && targets="kof sdr"
  for to in $targets; do
    out=$work/out.$to
    read -r ns rss < <(fresh=$out measure "$cli" convert --from "$input" --to "$to" \
      --ini "$empty_ini" --now "$now" "$file" "$out")
    row "$input -> $to" "$file" "$ns" "$rss" "$cat_ns"
  done
done
# The same conversion onto the output of the run before: the file system then allocates the
# new file's blocks and frees the old file's before the replacement returns.
read -r ns rss < <(measure "$cli" convert --from coord --to kof --ini "$empty_ini" \
  --now "$now" "$coord" "$work/out.kof")
row "coord -> kof, replacing" "$coord" "$ns" "$rss" "$cat_ns"
rm -f "$work"/out.* "$work/time.txt" "$empty"
