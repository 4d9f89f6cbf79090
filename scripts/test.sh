#!/usr/bin/env bash
# Builds everything twice (plain with warnings as errors, and under AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test in both builds.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
bash "$here/scripts/deps.sh"
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVA_WERROR=ON >/dev/null
cmake --build "$here/build" -j"$jobs"
ctest --test-dir "$here/build" --output-on-failure -j"$jobs"

cmake -S "$here" -B "$here/build-asan" -DCMAKE_BUILD_TYPE=Debug -DORVA_WERROR=ON \
      -DORVA_SANITIZE=ON >/dev/null
cmake --build "$here/build-asan" -j"$jobs"
ctest --test-dir "$here/build-asan" --output-on-failure -j"$jobs"

# A short libFuzzer run (clang, AddressSanitizer and UndefinedBehaviorSanitizer); longer runs by
# hand, see fuzz/CMakeLists.txt. Warnings are the g++ builds' business.
cmake -S "$here" -B "$here/build-fuzz" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DORVA_WERROR=OFF -DORVA_SANITIZE=ON -DORVA_FUZZ=ON >/dev/null
cmake --build "$here/build-fuzz" -j"$jobs" --target orva_fuzz_targets
ctest --test-dir "$here/build-fuzz" --output-on-failure -L fuzz
echo "All tests passed (plain, sanitizer and fuzz builds)."
