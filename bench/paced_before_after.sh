#!/usr/bin/env bash
# The paced-download benchmark on an older commit and on this tree, one after the other, on the
# same machine: the source of the benchmark builds in both (see PacedDownloadBench.cpp).
# Usage: bash bench/paced_before_after.sh OLD_COMMIT [DAYS]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
old="${1:?an older commit, e.g. the one before the worker thread}"
days="${2:-30}"
work="$(mktemp -d)"
trap 'git -C "$here" worktree remove --force "$work/old" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
git -C "$here" worktree add --detach "$work/old" "$old" >/dev/null
cp "$here/bench/PacedDownloadBench.cpp" "$work/old/bench/"
for tree in "$work/old" "$here"; do
    cmake -S "$tree" -B "$tree/build-bench" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$tree/build-bench" -j"$(nproc)" --target orva_paced_download_bench >/dev/null
done
echo "before ($old):"
"$work/old/build-bench/bench/orva_paced_download_bench" "$days" 2>/dev/null || true
echo "after (this tree):"
"$here/build-bench/bench/orva_paced_download_bench" "$days" 2>/dev/null || true
