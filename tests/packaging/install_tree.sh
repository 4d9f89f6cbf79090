#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what lands there: the two programs, the
# desktop entry and its icon, the AppStream entry, the manual page, the documentation with the
# copyright file, and nothing else (no test, benchmark or library). The manual page must render
# without a warning and give every option that `orva-ds --help` prints an item of its own; the
# AppStream entry must validate where appstreamcli is at hand. Then starts the installed program
# as a user would. Where dpkg-deb is at hand, builds the Debian package from the same rules and
# checks that it holds the same files under /usr and names a maintainer with a mail address.
# Arguments: cmake, cpack, build dir, source dir, and the bin, data, doc and man dirs (relative
# to the prefix).
set -u
cmake="$1" cpack="$2" build="$3" src="$4" bindir="$5" datadir="$6" docdir="$7" mandir="$8"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
fail() { echo "FAIL: $*"; exit 1; }

log="$("$cmake" --install "$build" --prefix "$prefix" 2>&1)" ||
    { echo "$log"; fail "cmake --install failed"; }

desktop="$datadir/applications/orva-ds.desktop"
icon="$datadir/icons/hicolor/scalable/apps/orva-ds.svg"
metainfo="$datadir/metainfo/example.c_seed_9e867cda.orva_ds.metainfo.xml"
manpage="$mandir/man1/orva-ds.1"
expected="$(printf '%s\n' "$bindir/orva-ds" "$bindir/orva-sim" "$desktop" "$icon" "$metainfo" \
    "$manpage" "$docdir/copyright" "$docdir/README.md" "$docdir/docs/Bedienung.md" \
    "$docdir/docs/screenshot.png" "$docdir/docs/archive-window.png" | sort)"
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

# The AppStream entry: its id is its file name, and it launches the installed desktop entry.
xml_value() { sed -n "s|.*<$1[^>]*>\(.*\)</$1>.*|\1|p" "$prefix/$metainfo"; }
[ "$(xml_value id)" = "$(basename "$metainfo" .metainfo.xml)" ] ||
    fail "AppStream entry: <id> is not its file name"
[ "$(xml_value launchable)" = "$(basename "$desktop")" ] ||
    fail "AppStream entry: <launchable> does not name the desktop entry"
if command -v appstreamcli >/dev/null; then
    log="$(appstreamcli validate --no-net "$prefix/$metainfo" 2>&1)" ||
        fail "appstreamcli validate:
$log"
fi

# The manual page renders cleanly, also through man, and has an item (a line of its own at the
# items' indent under OPTIONEN) for each option of the installed program's help. (-ww: every
# warning, an unknown macro too, which -wall lets pass.)
command -v groff >/dev/null || fail "no groff to render the manual page (scripts/deps.sh installs it)"
warnings="$(groff -man -Tutf8 -ww -z "$prefix/$manpage" 2>&1)"
[ -z "$warnings" ] || fail "the manual page renders with warnings:
$warnings"
if command -v man >/dev/null; then
    warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$prefix/$manpage" 2>&1 >/dev/null)"
    [ -z "$warnings" ] || fail "man -l warns:
$warnings"
fi
# (A groff that renders \- as a Unicode hyphen or minus gets it back as "-".)
items="$(groff -man -Tutf8 -rLL=200n -P-cbou "$prefix/$manpage" |
    sed 's/\xe2\x80\x90\|\xe2\x88\x92/-/g' | sed -n '/^OPTIONEN$/,/^[^ ]/p' | grep -E '^ {7}-')"
options="$("$prefix/$bindir/orva-ds" --help | grep -oE '(^|[][ ,])--?[a-z][a-z-]*' |
    sed 's/^[][ ,]//' | sort -u)"
[ -n "$options" ] || fail "orva-ds --help names no option"
for option in $options; do
    grep -qE "^ {7}([^ ].*, )?$option([ ,=]|\$)" <<<"$items" ||
        fail "the manual page has no item for $option, which orva-ds --help prints"
done

# The documentation is the source's, and the copyright file is in the machine-readable format:
# a header paragraph, then one covering every file with its holder and licence.
cmp -s "$prefix/$docdir/README.md" "$src/README.md" || fail "the installed README is not README.md"
cmp -s "$prefix/$docdir/docs/Bedienung.md" "$src/docs/Bedienung.md" ||
    fail "the installed user's guide is not docs/Bedienung.md"
copyright="$prefix/$docdir/copyright"
[ "$(sed -n 1p "$copyright")" = \
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
    fail "copyright: no Format line first"
files_paragraph="$(awk -v RS= '/^Files: \*\n/' "$copyright")"
grep -q '^Copyright: [0-9]\{4\}.* [^ ]' <<<"$files_paragraph" || fail "copyright: no holder for Files: *"
licence="$(sed -n 's/^License: //p' <<<"$files_paragraph")"
[ -n "$licence" ] && grep -q '^ [^ ]' <<<"$files_paragraph" ||
    fail "copyright: Files: * has no licence name and text"

# The installed programs run from there.
"$prefix/$bindir/orva-sim" --help | grep -q -- '--link' || fail "installed orva-sim --help"
"$src/tests/e2e/start_creates_settings.sh" "$prefix/$bindir/orva-ds" >/dev/null ||
    fail "the installed orva-ds does not start"

if ! command -v dpkg-deb >/dev/null; then
    echo "ok (no dpkg-deb: the Debian package is not checked)"
    exit 0
fi
# As a user makes it; cpack first brings the build up to date (nothing to do after a build).
log="$("$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" 2>&1)" ||
    { echo "$log"; fail "cpack -G DEB failed"; }
debs=("$work"/deb/*.deb)
[ "${#debs[@]}" = 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single .deb: ${debs[*]}"
packaged="$(dpkg-deb --fsys-tarfile "${debs[0]}" | tar -t | grep -v '/$' | sed 's|^\./usr/||' | sort)"
[ "$expected" = "$packaged" ] || fail "the package's files differ
expected under /usr:
$expected
packaged:
$packaged"
maintainer="$(dpkg-deb -f "${debs[0]}" Maintainer)"
name_and_address='^[^<>]*[^ <>] <[^<>@ ]+@[^<>@ ]+>$'
[[ "$maintainer" =~ $name_and_address ]] ||
    fail "package Maintainer is not \"Name <mail address>\": [$maintainer]"
echo "ok"
