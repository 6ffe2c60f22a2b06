# Shared set-up of the conversion benchmarks: finds korvenia-cli in the build folder given and
# generates the raw data file and coordinate list once per line count. Sourced, not run.
# Expects: $build, $lines, $work set by the caller; sets $cli, $raw, $coord.

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
