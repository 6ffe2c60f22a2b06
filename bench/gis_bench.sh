#!/usr/bin/env bash
# Times `korvenia-cli convert --from coord --to gpkg` of a generated coordinate list of LINES
# points (default 1,000,000) beside GDAL's own `ogr2ogr -f GPKG` of the same points from a CSV,
# in the same run, the two taking turns. Both write the geometry, the attributes name, code
# and elevation, EPSG:25832 and the spatial index. Prints the best wall time, the CPU time
# and peak memory of that run, and the ratio of the program to ogr2ogr.
#
# Usage: bench/gis_bench.sh BUILD_DIR [LINES] [WORK_DIR]
# Builds nothing: BUILD_DIR must hold a built korvenia-cli (use a Release build).
set -euo pipefail

build=${1:?usage: gis_bench.sh BUILD_DIR [LINES] [WORK_DIR]}
lines=${2:-1000000}
work=${3:-${TMPDIR:-/tmp}/korvenia-gis-bench}
runs=3

source "$(dirname "$0")/common.sh"
command -v ogr2ogr >/dev/null || { echo "$name: ogr2ogr is missing (apt-get install gdal-bin)" >&2; exit 1; }
empty_ini=$work/empty.ini
: >"$empty_ini"

# The same points as ogr2ogr reads them: X, Y, Z columns (dropped after reading the geometry)
# and the three attributes, typed by a .csvt as the program types them.
csv=$work/points-$lines.csv
if [[ ! -s $csv ]]; then
  awk -F, 'BEGIN { print "name,code,elevation,X,Y,Z" }
           { sub(/\r$/, ""); print $1 "," $5 "," $4 "," $3 "," $2 "," $4 }' "$coord" >"$csv"
  echo '"String","String","Real","Real","Real","Real"' >"${csv%.csv}.csvt"
fi
ours=$work/ours.gpkg
theirs=$work/theirs.gpkg

# One run: wall ns, CPU seconds (user + system), peak RSS kB.
run_once() {
  local t0 t1
  t0=$(now_ns)
  /usr/bin/time -f "%U %S %M" -o "$work/time.txt" "$@" >/dev/null
  t1=$(now_ns)
  awk -v ns=$((t1 - t0)) '{ printf "%.0f %.2f %d\n", ns, $1 + $2, $3 }' "$work/time.txt"
}

best_ours="" best_theirs=""
keep_best() {  # variable "ns cpu rss"
  local -n best=$1
  if [[ -z $best || ${2%% *} -lt ${best%% *} ]]; then best=$2; fi
}

cat "$coord" "$csv" >/dev/null  # warm the page cache
for ((r = 0; r < runs; r++)); do
  rm -f "$ours" "$theirs"
  keep_best best_ours "$(run_once "$cli" convert --from coord --to gpkg --crs EPSG:25832 \
    --ini "$empty_ini" "$coord" "$ours")"
  keep_best best_theirs "$(run_once ogr2ogr -f GPKG -a_srs EPSG:25832 -nln points \
    -oo X_POSSIBLE_NAMES=X -oo Y_POSSIBLE_NAMES=Y -oo Z_POSSIBLE_NAMES=Z \
    -oo KEEP_GEOM_COLUMNS=NO "$theirs" "$csv")"
done

count() { ogrinfo -ro -so "$1" points | awk -F': ' '/Feature Count/ { print $2 }'; }
printf "korvenia-cli: %s\n%s\n" "$cli" "$(ogr2ogr --version)"
printf "%s points; best of %d interleaved runs\n\n" "$lines" "$runs"
printf "%-34s %9s %9s %9s %10s\n" "run" "wall s" "CPU s" "peak MB" "features"
for who in ours theirs; do
  read -r ns cpu rss <<<"$( [[ $who == ours ]] && echo "$best_ours" || echo "$best_theirs")"
  label="korvenia-cli convert --to gpkg"
  [[ $who == theirs ]] && label="ogr2ogr -f GPKG (CSV in)"
  file=$ours
  [[ $who == theirs ]] && file=$theirs
  awk -v l="$label" -v ns="$ns" -v cpu="$cpu" -v rss="$rss" -v n="$(count "$file")" \
    'BEGIN { printf "%-34s %9.2f %9.2f %9.1f %10s\n", l, ns / 1e9, cpu, rss / 1024, n }'
done
awk -v a="${best_ours%% *}" -v b="${best_theirs%% *}" \
  'BEGIN { printf "\nkorvenia-cli / ogr2ogr wall time: %.2f\n", a / b }'
rm -f "$ours" "$theirs" "$work/time.txt"
