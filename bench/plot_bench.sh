#!/usr/bin/env bash
# The plan of the generated LINES-line coordinate list (default 1,000,000): the redraw time of
# its whole extent offscreen (best and median of RENDERS renders, plot_bench) beside filling the
# same image, elapsed and of processor time (a busy machine inflates only the first); and the
# peak memory of `korvenia-cli plot` writing its PNG beside `cat` of the same file, all in the
# same run.
#
# Usage: bench/plot_bench.sh BUILD_DIR [LINES] [WORK_DIR]   (RENDERS=n, default 15; RUNS=n
# repetitions of the timed commands, default 3)
# Builds nothing: BUILD_DIR must hold korvenia-cli and plot_bench (a Release or
# RelWithDebInfo build).
set -euo pipefail

build=${1:?usage: plot_bench.sh BUILD_DIR [LINES] [WORK_DIR]}
lines=${2:-1000000}
work=${3:-${TMPDIR:-/tmp}/korvenia-convert-bench}
runs=${RUNS:-3}
renders=${RENDERS:-15}

source "$(dirname "$0")/common.sh"
bench=$build/bin/plot_bench
[[ -x $bench ]] || { echo "$name: no plot_bench in $build/bin" >&2; exit 1; }
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

echo "== Redraw of the plan, offscreen (1280x800, the plan view's image format) =="
"$bench" "$coord" "$renders" 2>/dev/null

echo
echo "== Whole commands: best wall time of $runs runs, peak memory =="
printf '%-44s %9s %10s\n' "command" "seconds" "peak MB"
row() {  # name command...
  local label=$1
  shift
  read -r ns rss < <(measure "$@")
  awk -v n="$label" -v ns="$ns" -v rss="$rss" \
    'BEGIN { printf "%-44s %9.3f %10.1f\n", n, ns / 1e9, rss / 1024 }'
}
row "cat FILE (baseline)" cat "$coord"
row "korvenia-cli plot FILE plan.png (1600x1200)" "$cli" plot --from coord "$coord" "$work/plan.png"
row "plot_bench FILE 1" "$bench" "$coord" 1
