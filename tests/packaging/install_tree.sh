#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what lands there: the two programs, the
# desktop entry and its icon, and nothing else (no test, benchmark or library). Then starts the
# installed program as a user would.
# Arguments: cmake, build dir, source dir, bin dir, data dir (the last two relative to the prefix).
set -u
cmake="$1" build="$2" src="$3" bindir="$4" datadir="$5"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

log="$("$cmake" --install "$build" --prefix "$prefix" 2>&1)" ||
    { echo "$log"; fail "cmake --install failed"; }

desktop="$datadir/applications/orva-ds.desktop"
icon="$datadir/icons/hicolor/scalable/apps/orva-ds.svg"
expected="$(printf '%s\n' "$bindir/orva-ds" "$bindir/orva-sim" "$desktop" "$icon" | sort)"
actual="$(cd "$prefix" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort)"
[ "$expected" = "$actual" ] || fail "installed files differ
expected:
$expected
installed:
$actual"

for program in orva-ds orva-sim; do
    [ -x "$prefix/$bindir/$program" ] || fail "$bindir/$program is not executable"
done

# The entry starts an installed program and names the installed icon.
entry() { sed -n "s/^$1=//p" "$prefix/$desktop"; }
[ "$(sed -n 1p "$prefix/$desktop")" = "[Desktop Entry]" ] || fail "desktop entry: no group header"
[ "$(entry Type)" = Application ] || fail "desktop entry: Type is not Application"
[ "$(entry Name)" = ORVA-DS ] || fail "desktop entry: Name is not ORVA-DS"
exec_program="$(entry Exec | cut -d' ' -f1)"
[ -x "$prefix/$bindir/$exec_program" ] || fail "desktop entry: Exec=$exec_program is not installed"
[ "$(entry Icon)" = "$(basename "$icon" .svg)" ] || fail "desktop entry: Icon does not name the icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/$desktop" || fail "desktop-file-validate"
fi
grep -q '<svg' "$prefix/$icon" || fail "the icon is no SVG image"

# The installed programs run from there.
"$prefix/$bindir/orva-sim" --help | grep -q -- '--link' || fail "installed orva-sim --help"
"$src/tests/e2e/start_creates_settings.sh" "$prefix/$bindir/orva-ds" >/dev/null ||
    fail "the installed orva-ds does not start"
echo "ok"
