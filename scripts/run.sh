#!/usr/bin/env bash
# Builds the program and starts it. The settings and reports live in ~/ORVA-DS.
# A light barrier is configured by linking ~/ORVA-DS/COM<n> to its serial device (n is the
# port chosen in the program, 2 by default). Without such a link the simulated light barrier
# orva-sim is started on that name for the time the program runs.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/deps.sh"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" --target orva-ds orva-sim -j"$(nproc)"
data="$HOME/ORVA-DS"
mkdir -p "$data"

port=2
if [ -f "$data/ORVAInit.txt" ]; then
    p="$(head -c 24 "$data/ORVAInit.txt" | tail -c 1)"
    case "$p" in [1-9]) port="$p" ;; esac
fi
sim_pid=""
if [ ! -e "$data/COM$port" ] && [ ! -L "$data/COM$port" ]; then
    echo "No light barrier linked at $data/COM$port: starting the simulated one there."
    "$here/build/sim/orva-sim" --link "$data/COM$port" >/dev/null &
    sim_pid=$!
    trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null || true' EXIT
    for _ in $(seq 1 50); do
        [ -L "$data/COM$port" ] && break
        sleep 0.1
    done
fi
"$here/build/src/orva-ds" "$@"
