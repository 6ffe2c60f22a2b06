#!/usr/bin/env bash
# Times `korvenia-cli check` (text and --json, output to /dev/null) on the generated raw data
# file of LINES lines (default 1,000,000), beside `cat FILE >/dev/null` on the same file in the
# same run, and prints MB/s, the time relative to cat and the peak memory. Then the same with
# --json on files of 100,000 and 200,000 problems (lines not understood, observations before
# any set-up, names with two positions, names equal after the KOF cut, in turn): twice the
# problems should take about twice the time, never four times.
#
# Usage: bench/check_bench.sh BUILD_DIR [LINES] [WORK_DIR]
# Builds nothing: BUILD_DIR must hold a built korvenia-cli (use a Release build).
set -euo pipefail

build=${1:?usage: check_bench.sh BUILD_DIR [LINES] [WORK_DIR]}
lines=${2:-1000000}
work=${3:-${TMPDIR:-/tmp}/korvenia-check-bench}

source "$(dirname "$0")/common.sh"
empty_ini=$work/empty.ini
: >"$empty_ini"
runs=3

# A raw data file of N problems: four kinds in turn, each of them a problem of the report.
problems_file() {  # n path
  [[ -s $2 ]] && return
  awk -v n="$1" 'BEGIN {
    for (i = 0; i < n; i++) {
      k = i % 4
      if (k == 0) printf "ZZ,unknown %d\r\n", i
      else if (k == 1) printf "SS,Q%d,1.500,10.000,1x,100.0000,,\r\n", i
      else if (k == 2) printf "SS,R%d,1.500,10.000,50.0000,100.0000,,\r\n", i
      else printf "UP,LONGNAME-%08d,,%d.000,2000.000,50.000,\r\nUP,LONGNAME-%08d,,%d.500,2000.000,50.000,\r\n", i, i, i, i
    }
  }' >"$2"
}

row() {  # name file ns rss cat_ns
  local name=$1 file=$2 ns=$3 rss=$4 cat_ns=$5
  local bytes
  bytes=$(stat -c %s "$file")
  awk -v name="$name" -v b="$bytes" -v ns="$ns" -v rss="$rss" -v c="$cat_ns" 'BEGIN {
    s = ns / 1e9
    printf "%-28s %9.3f %10.1f %10.1f %12.1f\n", name, s, b / 1e6 / s, ns / c, rss / 1024
  }'
}

printf "korvenia-cli: %s\n" "$cli"
printf "input: %s (%s bytes, %s lines); best of %d runs\n\n" "$raw" "$(stat -c %s "$raw")" \
  "$lines" "$runs"
printf "%-28s %9s %10s %10s %12s\n" "run" "seconds" "MB/s" "x cat" "peak MB"

# check exits 1 when it finds problems; it is timed all the same, through a shell that takes 1
# for success (the peak memory /usr/bin/time gives is then the larger of the shell's and its).
measure_check() {
  measure sh -c '"$0" "$@"; [ $? -le 1 ]' "$cli" check --from raw --ini "$empty_ini" \
    --angle-unit gon "$@"
}

cat "$raw" >/dev/null  # warm the page cache
read -r cat_ns cat_rss < <(measure cat "$raw")
row "cat raw" "$raw" "$cat_ns" "$cat_rss" "$cat_ns"
read -r ns rss < <(measure_check "$raw")
row "check raw (text)" "$raw" "$ns" "$rss" "$cat_ns"
read -r ns rss < <(measure_check --json "$raw")
row "check raw --json" "$raw" "$ns" "$rss" "$cat_ns"

echo
for n in 100000 200000; do
  file=$work/problems-$n.raw
  problems_file "$n" "$file"
  cat "$file" >/dev/null
  read -r cat_ns cat_rss < <(measure cat "$file")
  row "cat $n problems" "$file" "$cat_ns" "$cat_rss" "$cat_ns"
  read -r ns rss < <(measure_check --json "$file")
  row "check $n problems --json" "$file" "$ns" "$rss" "$cat_ns"
  eval "json_ns_$n=$ns"
done
awk -v a="$json_ns_100000" -v b="$json_ns_200000" \
  'BEGIN { printf "\n--json, 200,000 problems / 100,000 problems: %.2f x the time\n", b / a }'
rm -f "$work/time.txt"
