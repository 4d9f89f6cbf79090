#!/usr/bin/env bash
# The informational options print and end the program without a display; an unknown option is
# refused on stderr with exit code 2 and starts nothing.
set -u
program="$1" version="$2"
fail() { echo "FAIL: $*"; exit 1; }
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

out="$(timeout 10 "$program" --help)" || fail "--help exited with $?"
grep -q -- '--version' <<<"$out" || fail "--help does not name --version: $out"
for option in --trace --export --import --from --to --site --group; do
    grep -q -- "$option" <<<"$out" || fail "--help does not name $option: $out"
done
out="$(timeout 10 "$program" --version)" || fail "--version exited with $?"
[ "$out" = "orva-ds $version" ] || fail "--version printed [$out]"
out="$(timeout 10 "$program" --bogus 2>&1 >/dev/null)"
code=$?
[ "$code" = 2 ] || fail "unknown option exited with $code"
grep -q -- "--bogus" <<<"$out" || fail "unknown option not named on stderr: $out"
out="$(timeout 10 "$program" --trace 2>&1 >/dev/null)"
code=$?
[ "$code" = 2 ] || fail "--trace without a file exited with $code"
grep -q -- "--trace" <<<"$out" || fail "--trace without a file not named on stderr: $out"
echo "ok"
