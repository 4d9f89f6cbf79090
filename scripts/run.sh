#!/usr/bin/env bash
# Builds the program and starts it. The settings and reports live in ~/ORVA-DS.
# A light barrier is configured by linking ~/ORVA-DS/COM<n> to its serial device (n is the
# port chosen in the program, 2 by default). Without such a link, or with one left by a killed
# simulator, the simulated light barrier orva-sim is started on that name while the program runs.
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
link="$data/COM$port"
sim_pid=""
# A link to a pseudo-terminal that is gone was left by a simulator that was killed; a link to
# another device that is missing is the user's own (an adapter not plugged in) and stays.
if [ -L "$link" ] && [ ! -e "$link" ]; then
    case "$(readlink "$link")" in
    /dev/pts/*)
        echo "$link points to $(readlink "$link"), which is gone: replacing it."
        rm -f "$link"
        ;;
    *) echo "$link points to $(readlink "$link"), which is missing: is the adapter plugged in?" ;;
    esac
fi
if [ ! -e "$link" ] && [ ! -L "$link" ]; then
    echo "No light barrier linked at $link: starting the simulated one there."
    "$here/build/sim/orva-sim" --link "$link" >/dev/null &
    sim_pid=$!
    trap 'kill "$sim_pid" 2>/dev/null; wait "$sim_pid" 2>/dev/null || true' EXIT
    for _ in $(seq 1 50); do
        [ -e "$link" ] && break
        sleep 0.1
    done
fi
"$here/build/src/orva-ds" "$@"
