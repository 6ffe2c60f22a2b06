#!/usr/bin/env bash
# Times the coordinate writers of `korvenia-cli convert` (coordinate list to DXF drawing and
# to user-defined coordinate file) on the generated LINES-line coordinate list (default
# 1,000,000), beside `cat FILE >/dev/null` and, as a peer, GDAL's ogr2ogr writing a DXF from
# the same points given as CSV, all in the same run. Prints seconds, input MB/s, lines/s,
# time relative to cat, output size and peak memory.
#
# Usage: bench/dxf_bench.sh BUILD_DIR [LINES] [WORK_DIR]      (RUNS=n sets the repetitions,
# PEER=0 leaves out the slow ogr2ogr row)
# Builds nothing: BUILD_DIR must hold a built korvenia-cli (use a Release build). ogr2ogr
# comes from Debian's gdal-bin; its row is left out when it is missing.
set -euo pipefail

build=${1:?usage: dxf_bench.sh BUILD_DIR [LINES] [WORK_DIR]}
lines=${2:-1000000}
work=${3:-${TMPDIR:-/tmp}/korvenia-convert-bench}
runs=${RUNS:-3}

source "$(dirname "$0")/common.sh"
# The same points as CSV for ogr2ogr (easting as x, northing as y; not timed).
csv=$work/points-$lines.csv
if [[ ! -s $csv ]]; then
  awk -F, 'BEGIN { print "name,x,y,z,code" } { sub(/\r$/, ""); print $1 "," $3 "," $2 "," $4 "," $5 }' \
    "$coord" >"$csv"
fi
ini=$work/dxf_bench.ini
printf '[Default]\r\nStCombCoord0=0\r\n[Coordinate Settings]\r\nField1=0\r\nField2=2\r\nField3=1\r\nField4=3\r\nField5=4\r\nSeparator=1\r\n' >"$ini"

row() {  # name input ns rss cat_ns output
  local name=$1 file=$2 ns=$3 rss=$4 cat_ns=$5 out=${6:-}
  local bytes n outmb=0
  bytes=$(stat -c %s "$file")
  n=$(wc -l <"$file")
  [[ -n $out && -e $out ]] && outmb=$(stat -c %s "$out")
  awk -v name="$name" -v b="$bytes" -v n="$n" -v ns="$ns" -v rss="$rss" -v c="$cat_ns" \
    -v o="$outmb" 'BEGIN {
    s = ns / 1e9
    printf "%-26s %8.3f %9.1f %12.0f %8.1f %9.1f %8.1f\n", name, s, b / 1e6 / s, n / s, ns / c,
      o / 1e6, rss / 1024
  }'
}

printf "korvenia-cli: %s\n" "$cli"
printf "input: %s (%s bytes, %s lines); best of %d runs; output in %s\n\n" \
  "$coord" "$(stat -c %s "$coord")" "$lines" "$runs" "$work"
printf "%-26s %8s %9s %12s %8s %9s %8s\n" "run" "seconds" "in MB/s" "lines/s" "x cat" "out MB" "peak MB"

cat "$coord" "$csv" >/dev/null  # warm the page cache
read -r cat_ns cat_rss < <(measure cat "$coord")
row "cat" "$coord" "$cat_ns" "$cat_rss" "$cat_ns"

out=$work/out.dxf
read -r ns rss < <(fresh=$out measure "$cli" convert --from coord --to dxf --ini "$ini" "$coord" \
  "$out")
row "coord -> dxf" "$coord" "$ns" "$rss" "$cat_ns" "$out"
# The drawing is about nine times its input: the writer's time against cat of its output,
# read only and copied to a file beside it (the same bytes written). Both write a new file
# each run (fresh=...).
read -r out_cat_ns out_cat_rss < <(measure cat "$out")
row "cat out.dxf" "$out" "$out_cat_ns" "$out_cat_rss" "$cat_ns" "$out"
read -r copy_ns copy_rss < <(fresh=$work/copy.dxf measure sh -c 'cat "$1" >"$2"' sh "$out" \
  "$work/copy.dxf")
row "cat out.dxf >copy.dxf" "$out" "$copy_ns" "$copy_rss" "$cat_ns" "$out"
awk -v a="$ns" -v b="$out_cat_ns" -v c="$copy_ns" 'BEGIN {
  printf "coord -> dxf: %.1f x cat of its output, %.1f x copying it with cat\n", a / b, a / c }'
rm -f "$out" "$work/copy.dxf"

out=$work/out.txt
read -r ns rss < <(fresh=$out measure "$cli" convert --from coord --to asc --ini "$ini" --separator comma \
  "$coord" "$out")
row "coord -> asc (comma)" "$coord" "$ns" "$rss" "$cat_ns" "$out"
read -r ns rss < <(fresh=$out measure "$cli" convert --from coord --to asc --ini "$ini" "$coord" "$out")
row "coord -> asc (space)" "$coord" "$ns" "$rss" "$cat_ns" "$out"
rm -f "$out"

if [[ ${PEER:-1} != 0 ]] && command -v ogr2ogr >/dev/null; then
  out=$work/ogr.dxf
  # The DXF driver cannot replace a drawing, so each run starts without one; its notes that
  # the name and code columns have no place in a DXF go to a log.
  read -r ns rss < <(measure sh -c 'rm -f "$1"; exec ogr2ogr --config CPL_LOG "$2" -f DXF "$1" \
    "$3" -oo X_POSSIBLE_NAMES=x -oo Y_POSSIBLE_NAMES=y -oo Z_POSSIBLE_NAMES=z \
    -oo KEEP_GEOM_COLUMNS=NO' sh "$out" "$work/ogr2ogr.log" "$csv")
  row "ogr2ogr csv -> dxf (peer)" "$csv" "$ns" "$rss" "$cat_ns" "$out"
  rm -f "$out" "$work/ogr2ogr.log"
else
  echo "ogr2ogr not found (apt-get install gdal-bin): peer row left out"
fi
echo
echo "coord -> dxf writes a POINT and up to three TEXT entities per point; ogr2ogr writes"
echo "one POINT per point."
rm -f "$work/time.txt"
