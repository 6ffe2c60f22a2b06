# Shared set-up of the conversion benchmarks: finds korvenia-cli in the build folder given and
# generates the raw data file and coordinate list once per line count. Sourced, not run.
# Expects: $build, $lines, $work, $runs set by the caller; sets $cli, $raw, $coord and
# offers measure.

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
name=$(basename "$0")

cli=""
for c in "$build/bin/korvenia-cli" "$build/src/cli/korvenia-cli" "$build/korvenia-cli"; do
  if [[ -x $c ]]; then cli=$c; break; fi
done
[[ -n $cli ]] || { echo "$name: no korvenia-cli in $build" >&2; exit 1; }
[[ -x /usr/bin/time ]] || { echo "$name: /usr/bin/time is missing (apt-get install time)" >&2; exit 1; }

mkdir -p "$work"
raw=$work/survey-$lines.raw
coord=$work/points-$lines.asc
if [[ ! -s $raw || ! -s $coord ]]; then
  echo "Generating $lines-line inputs in $work ..."
  python3 "$here/gen_survey_data.py" "$raw" "$coord" "$lines"
fi

now_ns() { date +%s%N; }

# Best wall time (ns) of $runs runs of the command; peak RSS (kB) of that run. With `fresh`
# naming a file (fresh=FILE measure ...), FILE is removed before each run, untimed, so that
# every run writes a new file instead of replacing the last run's (replacing a large file
# costs the file system, not the program, tens of milliseconds).
measure() {
  local best="" best_rss="" t0 t1 dt rss
  for ((i = 0; i < runs; i++)); do
    [[ -n ${fresh:-} ]] && rm -f "$fresh"
    t0=$(now_ns)
    /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null
    t1=$(now_ns)
    dt=$((t1 - t0))
    rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
    if [[ -z $best || $dt -lt $best ]]; then best=$dt; best_rss=$rss; fi
  done
  echo "$best $best_rss"
}
