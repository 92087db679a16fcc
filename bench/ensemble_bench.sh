#!/bin/sh
# Members per second of `pelagrin ensemble` in one process bound to each core in turn and in two processes
# bound to a core each, the CPU time (user + sys) each member cost, and what gathering 100 members' results on
# rank 0 costs. Virtual cores need not be equal, so the two processes are also set against the sum of what
# each core does alone. Processes are what it measures, hence a script. Usage: bench/ensemble_bench.sh [PELAGRIN [PROJECT]];
# MEMBERS (default 40) and SPEED (default 1000) set the ensemble.
set -eu
bin=${1:-build-release/src/app/pelagrin}
project=${2:-examples/kettle-pond.pelagrinproj}
members=${MEMBERS:-40}
speed=${SPEED:-1000}
mpirun="mpirun --oversubscribe --allow-run-as-root"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# "wall user sys" seconds of a command and the processes it waited for, its output kept in $out/err.
measure() {
    /usr/bin/time -f '%e %U %S' -o "$out/time" "$@" >"$out/out" 2>"$out/err"
    cat "$out/time"
}

# Members per second, and CPU seconds per member, of one measurement.
report() {
    echo "$2" | awk -v what="$1" -v n="$members" -v base="${3:-}" '{
        printf "%-26s %6.2f members/s (%.2f s for %d members), %.3f s CPU a member", what, n / $1, $1, n,
            ($2 + $3) / n
        if (base != "") printf ", %.2f x one process", base / $1
        printf "\n"
    }'
}

ensemble="ensemble $project --members $members --seed 1 --speed $speed"
one=$(measure taskset -c 0 "$bin" $ensemble --out "$out/one")
other=$(measure taskset -c 1 "$bin" $ensemble --out "$out/other")
two=$(measure $mpirun --bind-to core -np 2 "$bin" $ensemble --out "$out/two")
diff -r "$out/one" "$out/two" >/dev/null || { echo "the two runs' files differ" >&2; exit 1; }
report "1 process on core 0:" "$one"
report "1 process on core 1:" "$other"
report "2 processes, 1 core each:" "$two" "${one%% *}"
echo "${one%% *} ${other%% *} ${two%% *}" | awk '{
    printf "2 processes reach %.0f %% of the two cores alone together\n", 100 * (1 / $3) / (1 / $1 + 1 / $2)
}'

$mpirun -np 2 "$bin" ensemble "$project" --members 100 --seed 1 --speed "$speed" --out "$out/gather" \
    >/dev/null 2>"$out/err"
grep '^Gathered' "$out/err"
