#!/bin/sh
# Members per second of `pelagrin ensemble` in one process bound to one core and in two processes bound to a
# core each, and what gathering 100 members' results on rank 0 costs. Processes are what it measures, hence
# a script. Usage: bench/ensemble_bench.sh [PELAGRIN [PROJECT]]; MEMBERS (default 40) and SPEED (default 1000)
# set the ensemble.
set -eu
bin=${1:-build-release/src/app/pelagrin}
project=${2:-examples/kettle-pond.pelagrinproj}
members=${MEMBERS:-40}
speed=${SPEED:-1000}
mpirun="mpirun --oversubscribe --allow-run-as-root"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# Wall-clock seconds of a command, its output kept in $out/err.
seconds() {
    start=$(date +%s.%N)
    "$@" >"$out/out" 2>"$out/err"
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
}

ensemble="ensemble $project --members $members --seed 1 --speed $speed"
one=$(seconds taskset -c 0 "$bin" $ensemble --out "$out/one")
two=$(seconds $mpirun --bind-to core -np 2 "$bin" $ensemble --out "$out/two")
cmp -s "$out/one/timeline.csv" "$out/two/timeline.csv" || { echo "the two runs differ" >&2; exit 1; }
awk -v n="$members" -v one="$one" -v two="$two" 'BEGIN {
    printf "1 process, 1 core:   %6.2f members/s (%s s for %d members)\n", n / one, one, n
    printf "2 processes, 1 core each: %6.2f members/s (%s s), %.2f x one process\n", n / two, two, one / two
}'

$mpirun -np 2 "$bin" ensemble "$project" --members 100 --seed 1 --speed "$speed" --out "$out/gather" \
    >/dev/null 2>"$out/err"
grep '^Gathered' "$out/err"
