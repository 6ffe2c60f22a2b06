#!/bin/sh
# Serial transfer benchmark over pseudo-terminals, with korvenia-sim as the instrument:
#   1. download of a large file at full pty speed: bytes lost and throughput, against `cat`
#      reading the same pty in the same run;
#   2. download paced at the highest offered speed (38400 baud): bytes per second against
#      the line rate (3840 characters per second at 10 bits per character);
#   3. upload of a large file at full pty speed (Xon/Xoff on): bytes lost and throughput,
#      against `cat` writing to the same kind of pty;
#   4. CPU time of a download that waits 10 s for an instrument that sends nothing.
# Usage: bench/serial_bench.sh [BUILD_DIR] [MEGABYTES]   (defaults: build, 10)
set -eu

BUILD=${1:-build}
MB=${2:-10}
CLI=$BUILD/bin/korvenia-cli
SIM=$BUILD/bin/korvenia-sim
for p in "$CLI" "$SIM"; do
  [ -x "$p" ] || { echo "missing $p (build korvenia-cli and korvenia-sim first)" >&2; exit 1; }
done

WORK=$(mktemp -d /tmp/korvenia-serial-bench.XXXXXX)
SIMPID=
cleanup() {
  [ -n "$SIMPID" ] && kill "$SIMPID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
rate() { awk -v n="$1" -v t="$2" 'BEGIN { if (t > 0) printf "%.0f", n / t; else print "inf" }'; }
size() { stat -c %s "$1" 2>/dev/null || echo 0; }

# Starts the simulator in the background and sets DEV to its device.
start_sim() {
  : > "$WORK/sim.out"
  "$SIM" "$@" > "$WORK/sim.out" 2> "$WORK/sim.err" &
  SIMPID=$!
  i=0
  while [ ! -s "$WORK/sim.out" ] && [ $i -lt 500 ]; do sleep 0.01; i=$((i + 1)); done
  DEV=$(head -n 1 "$WORK/sim.out")
}
stop_sim() {
  [ -n "$SIMPID" ] && { kill "$SIMPID" 2>/dev/null || true; wait "$SIMPID" 2>/dev/null || true; }
  SIMPID=
}
# Waits until file $1 holds $2 bytes (at most $3 seconds).
wait_size() {
  end=$(awk -v t="$(now)" -v s="$3" 'BEGIN { printf "%.3f", t + s }')
  while [ "$(size "$1")" -lt "$2" ]; do
    if awk -v a="$(now)" -v b="$end" 'BEGIN { exit !(a > b) }'; then return 1; fi
    sleep 0.005
  done
}

# Instrument data: raw-data-like lines ended by CR LF.
awk -v mb="$MB" 'BEGIN {
  target = mb * 1048576; n = 0; i = 0
  while (n < target) {
    i++
    line = sprintf("GPS,%d,%.3f,%.3f,%.3f,KERB-%d", i, 6543210 + i / 1000, 123456 + i / 700, 45 + (i % 100) / 10, i % 13)
    printf "%s\r\n", line; n += length(line) + 2
  }
}' > "$WORK/data.raw"
BYTES=$(size "$WORK/data.raw")
echo "data: $BYTES bytes in $(awk 'END { print NR }' "$WORK/data.raw") lines"
echo

echo "== 1. download at full pty speed =="
start_sim send "$WORK/data.raw" --baud 0
stty -F "$DEV" raw -echo
t0=$(now)
cat "$DEV" > "$WORK/cat.out" &
CATPID=$!
wait_size "$WORK/cat.out" "$BYTES" 120 || echo "cat: timed out"
t1=$(now)
kill $CATPID 2>/dev/null || true; wait $CATPID 2>/dev/null || true
stop_sim
T=$(elapsed "$t0" "$t1")
echo "cat (baseline):      $(size "$WORK/cat.out") bytes in ${T} s = $(rate "$BYTES" "$T") B/s"

start_sim send "$WORK/data.raw" --baud 0
t0=$(now)
"$CLI" download --device "$DEV" --flow xonxoff "$WORK/down.raw" 2> "$WORK/down.err"
t1=$(now)
stop_sim
T=$(elapsed "$t0" "$t1")
TX=$(awk -v t="$T" 'BEGIN { printf "%.3f", t - 3.0 }')
if cmp -s "$WORK/data.raw" "$WORK/down.raw"; then LOST=0; else
  LOST=$((BYTES - $(size "$WORK/down.raw"))); echo "download differs from the data sent"; fi
echo "korvenia-cli:        $(size "$WORK/down.raw") bytes, lost $LOST, in ${T} s including the 3 s"
echo "                     silence = ${TX} s of transfer = $(rate "$BYTES" "$TX") B/s"
echo

echo "== 2. download paced at 38400 baud =="
head -n 1100 "$WORK/data.raw" > "$WORK/paced.raw"
PB=$(size "$WORK/paced.raw")
start_sim send "$WORK/paced.raw" --baud 38400
t0=$(now)
"$CLI" download --device "$DEV" --speed 38400 "$WORK/paced.out" 2> "$WORK/paced.err"
t1=$(now)
stop_sim
T=$(elapsed "$t0" "$t1")
TX=$(awk -v t="$T" 'BEGIN { printf "%.3f", t - 3.0 - 0.1 }')
GOT=$(size "$WORK/paced.out")
cmp -s "$WORK/paced.raw" "$WORK/paced.out" || echo "paced download differs from the data sent"
echo "sent $PB bytes, stored $GOT, lost $((PB - GOT))"
echo "transfer ${TX} s (wall time less the 3 s silence and the simulator's 0.1 s start delay)"
echo "= $(rate "$PB" "$TX") B/s against a line rate of 3840 B/s"
echo

echo "== 3. upload at full pty speed =="
# A code list is sent line by line as it is, so the bytes must match exactly.
start_sim receive "$WORK/cat.recv"
stty -F "$DEV" raw -echo
t0=$(now)
cat "$WORK/data.raw" > "$DEV"
wait_size "$WORK/cat.recv" "$BYTES" 120 || echo "cat: timed out"
t1=$(now)
stop_sim
T=$(elapsed "$t0" "$t1")
echo "cat (baseline):      $(size "$WORK/cat.recv") bytes in ${T} s = $(rate "$BYTES" "$T") B/s"

start_sim receive "$WORK/up.recv"
t0=$(now)
"$CLI" upload --format code --device "$DEV" --flow xonxoff "$WORK/data.raw" 2> "$WORK/up.err"
t1=$(now)
wait_size "$WORK/up.recv" "$BYTES" 30 || true
stop_sim
T=$(elapsed "$t0" "$t1")
if cmp -s "$WORK/data.raw" "$WORK/up.recv"; then LOST=0; else
  LOST=$((BYTES - $(size "$WORK/up.recv"))); echo "upload differs from the data sent"; fi
echo "korvenia-cli:        $(size "$WORK/up.recv") bytes, lost $LOST, in ${T} s = $(rate "$BYTES" "$T") B/s"
echo

echo "== 4. CPU while waiting 10 s for an instrument that sends nothing =="
: > "$WORK/empty"
start_sim send "$WORK/empty"
/usr/bin/time -f "%U %S %e" -o "$WORK/time.txt" "$CLI" download --device "$DEV" "$WORK/idle.out" \
  2> "$WORK/idle.err" &
TPID=$!
sleep 10
# GNU time ignores Ctrl-C itself; interrupt the download it runs.
CPID=$(ps -o pid= --ppid "$TPID" | tr -d ' ')
[ -n "$CPID" ] && kill -INT "$CPID"
wait "$TPID" 2>/dev/null || true
stop_sim
read -r U S E <<EOF
$(tail -n 1 "$WORK/time.txt")
EOF
awk -v u="$U" -v s="$S" -v e="$E" 'BEGIN {
  printf "user %.2f s + system %.2f s over %.2f s = %.3f%% of one core\n", u, s, e, 100 * (u + s) / e }'
