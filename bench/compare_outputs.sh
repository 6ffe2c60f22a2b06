#!/usr/bin/env bash
# Runs every converter of `korvenia-cli convert` with two builds on the same generated
# LINES-line raw data file and coordinate list (default 1,000,000) and compares the outputs
# byte for byte with cmp, so a speed change can show that it changed no output byte.
# Settings: an empty settings file and a fixed time (--now); the DXF drawing and the
# user-defined coordinate file also with the settings of dxf_bench.sh.
#
# Usage: bench/compare_outputs.sh OLD_BUILD NEW_BUILD [LINES] [WORK_DIR]
# Exits 1 when any output differs or a run fails.
set -euo pipefail

old=${1:?usage: compare_outputs.sh OLD_BUILD NEW_BUILD [LINES] [WORK_DIR]}
new=${2:?usage: compare_outputs.sh OLD_BUILD NEW_BUILD [LINES] [WORK_DIR]}
lines=${3:-1000000}
work=${4:-${TMPDIR:-/tmp}/korvenia-convert-bench}
runs=1

build=$old
source "$(dirname "$0")/common.sh"
old_cli=$cli
build=$new
source "$(dirname "$0")/common.sh"
new_cli=$cli

empty_ini=$work/empty.ini
: >"$empty_ini"
dxf_ini=$work/compare_dxf.ini
printf '[Default]\r\nStCombCoord0=0\r\n[Coordinate Settings]\r\nField1=0\r\nField2=2\r\nField3=1\r\nField4=3\r\nField5=4\r\nSeparator=1\r\n' >"$dxf_ini"
now="2026-12-07 10:00:00"

failed=0
# compare NAME INPUT TO INI [extra options...]
compare() {
  local name=$1 input=$2 to=$3 ini=$4
  shift 4
  # The same file name for both: the SDR-33 job name and the KOF header come from it.
  local a=$work/compare-old/out.$to b=$work/compare-new/out.$to
  mkdir -p "$work/compare-old" "$work/compare-new"
  rm -f "$a" "$b"
  if ! "$old_cli" convert --from "$input" --to "$to" --ini "$ini" --now "$now" "$@" \
       "${input_file}" "$a" 2>"$work/compare-old.err" ||
     ! "$new_cli" convert --from "$input" --to "$to" --ini "$ini" --now "$now" "$@" \
       "${input_file}" "$b" 2>"$work/compare-new.err"; then
    echo "FAILED  $name (a run failed)"
    failed=1
  elif ! cmp -s "$work/compare-old.err" "$work/compare-new.err"; then
    echo "DIFFERS $name (messages)"
    failed=1
  elif cmp "$a" "$b"; then
    printf "same    %-28s %12s bytes\n" "$name" "$(stat -c %s "$b")"
  else
    echo "DIFFERS $name"
    failed=1
  fi
  rm -f "$a" "$b"
}

printf "old: %s\nnew: %s\ninputs: %s, %s (%s lines)\n\n" "$old_cli" "$new_cli" "$raw" "$coord" "$lines"
input_file=$raw
for to in kof mapa sdr; do compare "raw -> $to" raw "$to" "$empty_ini"; done
input_file=$coord
for to in kof sdr dxf asc; do compare "coord -> $to" coord "$to" "$empty_ini"; done
compare "coord -> dxf (bench settings)" coord dxf "$dxf_ini"
compare "coord -> asc (comma)" coord asc "$dxf_ini" --separator comma
rm -f "$work"/compare-old.err "$work"/compare-new.err
rmdir "$work/compare-old" "$work/compare-new"
exit $failed
