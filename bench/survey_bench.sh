#!/usr/bin/env bash
# The survey model on a generated raw data file of LINES lines (default 1,000,000): reading it
# (MB/s), reducing its observations (observations/s) and the peak memory, beside `cat FILE
# >/dev/null` on the same file in the same run; then the whole raw data to coordinate list
# conversion (read, reduce, write) through korvenia-cli. The rates are of processor time (the
# elapsed time is printed beside it), which other work on the machine does not inflate.
#
# Usage: bench/survey_bench.sh BUILD_DIR [LINES] [WORK_DIR]
# Builds nothing: BUILD_DIR must hold a built korvenia-cli and bin/survey_bench (use a
# Release or RelWithDebInfo build).
set -euo pipefail

build=${1:?usage: survey_bench.sh BUILD_DIR [LINES] [WORK_DIR]}
lines=${2:-1000000}
work=${3:-${TMPDIR:-/tmp}/korvenia-survey-bench}
runs=3

source "$(dirname "$0")/common.sh"
bench=$build/bin/survey_bench
[[ -x $bench ]] || { echo "$name: no $bench" >&2; exit 1; }
empty_ini=$work/empty.ini
: >"$empty_ini"

bytes=$(stat -c %s "$raw")
cat "$raw" >/dev/null  # warm the page cache
read -r cat_ns cat_rss < <(measure cat "$raw")

# Best of $runs runs of the model, by the processor time of reading (elapsed times beside it: on
# a busy machine they wait for the processor too).
best="" figures=""
for ((i = 0; i < runs; i++)); do
  /usr/bin/time -v -o "$work/time.txt" "$bench" "$raw" >"$work/figures.txt"
  read -r _ obs reduced read_wall read_cpu reduce_wall reduce_cpu _ <"$work/figures.txt"
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
  if [[ -z $best ]] || awk -v a="$read_cpu" -v b="$best" 'BEGIN { exit !(a < b) }'; then
    best=$read_cpu
    figures="$obs $reduced $read_wall $read_cpu $reduce_wall $reduce_cpu $rss"
  fi
done
read -r obs reduced read_wall read_cpu reduce_wall reduce_cpu rss <<<"$figures"
read -r conv_ns conv_rss < <(measure "$cli" convert --from raw --to coord --ini "$empty_ini" \
  "$raw" "$work/out.asc")
# The processor seconds of the last conversion run (user + system).
conv_cpu=$(awk -F': ' '/User time|System time/ { s += $2 } END { print s }' "$work/time.txt")

printf "input: %s (%s bytes, %s lines); %s observations, %s reduced; best of %d runs\n\n" \
  "$raw" "$bytes" "$lines" "$obs" "$reduced" "$runs"
awk -v b="$bytes" -v c="$cat_ns" -v crss="$cat_rss" -v o="$obs" -v rw="$read_wall" \
  -v rc="$read_cpu" -v dw="$reduce_wall" -v dc="$reduce_cpu" -v rss="$rss" -v cv="$conv_ns" \
  -v cvc="$conv_cpu" -v cvrss="$conv_rss" 'BEGIN {
  printf "%-30s %9s %9s %10s %15s %9s\n", "run", "elapsed", "cpu", "MB/s", "observations/s",
         "peak MB"
  printf "%-30s %9.3f %9s %10.1f %15s %9.1f\n", "cat", c / 1e9, "", b / 1e6 / (c / 1e9), "",
         crss / 1024
  printf "%-30s %9.3f %9.3f %10.1f %15s %9s\n", "read into the model (cpu)", rw, rc,
         b / 1e6 / rc, "", ""
  printf "%-30s %9.3f %9.3f %10s %15.0f %9s\n", "reduce (cpu)", dw, dc, "", o / dc, ""
  printf "%-30s %9.3f %9.3f %10.1f %15.0f %9.1f\n", "read + reduce (cpu)", rw + dw, rc + dc,
         b / 1e6 / (rc + dc), o / (rc + dc), rss / 1024
  printf "%-30s %9.3f %9.3f %10.1f %15.0f %9.1f\n", "convert raw -> coord (cpu)", cv / 1e9, cvc,
         b / 1e6 / cvc, o / cvc, cvrss / 1024
}'
rm -f "$work/out.asc" "$work/time.txt" "$work/figures.txt"
