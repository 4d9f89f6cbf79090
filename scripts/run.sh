#!/usr/bin/env bash
# Builds the program and starts it. The settings and reports live in ~/ORVA-DS.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/deps.sh"
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$here/build" --target orva-ds -j"$(nproc)"
mkdir -p "$HOME/ORVA-DS"
exec "$here/build/src/orva-ds" "$@"
