#!/usr/bin/env bash
# Export and import of the archive from the command line, as a scheduled job runs them: no
# display, an empty home folder, a real archive file.
set -u
program="$1"
fail() { echo "FAIL: $*"; exit 1; }
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export HOME="$work" XDG_CONFIG_HOME="$work/.config"
cd "$work" || fail "no temporary folder"

run() { timeout 10 "$program" "$@" >out.txt 2>err.txt; }
# A CSV's rows without mark, carriage returns and header, sorted.
rows() { sed -e '1s/^\xEF\xBB\xBF//' -e 's/\r$//' "$1" | tail -n +2 | sort; }

cat >in.csv <<'CSV'
Datum;Stunde;Rechts;Links;Summe
02.12.2025;7;5;6;11
30.11.2025;0;1;2;3
30.11.2025;23;100;200;300
01.11.2025;12;7;0;7
02.12.2025;18;4;4;8
31.12.2025;5;9;1;10
CSV
run --import in.csv || fail "import exited with $?: $(cat err.txt)"
grep -q "6 Stunden an 4 Tagen" out.txt || fail "import reported: $(cat out.txt)"
run --export all.csv || fail "export exited with $?: $(cat err.txt)"
[ "$(rows all.csv)" = "$(rows in.csv)" ] || fail "export differs from the import: $(cat all.csv)"
head -c 3 all.csv | grep -q $'\xEF\xBB\xBF' || fail "export has no byte order mark"
[ "$(grep -c $'\r$' all.csv)" = 7 ] || fail "export lines do not end in CR LF"

# An import of the export gives the same archive, again and under another site.
run --import all.csv || fail "second import exited with $?"
grep -q "0 neu, 0 geändert" out.txt || fail "second import changed the archive: $(cat out.txt)"
run --import all.csv --site "Eingang Süd" || fail "import to a site exited with $?"
run --export south.csv --site "Eingang Süd" || fail "export of a site exited with $?"
cmp -s south.csv all.csv || fail "the export of the export's import differs: $(cat south.csv)"

# Sites stay apart; a lower count of a past hour is kept as archived and reported.
printf 'Datum;Stunde;Rechts;Links;Summe\n02.12.2025;7;50;60;110\n' >south.csv
run --import south.csv --site "Eingang Süd" || fail "import of other counts exited with $?"
printf 'Datum;Stunde;Rechts;Links;Summe\n02.12.2025;7;1;1;2\n' >lower.csv
run --import lower.csv || fail "import of a lower count exited with $?"
grep -q "1 Konflikt" out.txt || fail "a lower count is no conflict: $(cat out.txt)"
run --export again.csv || fail "export after the site's import exited with $?"
cmp -s again.csv all.csv || fail "the other site or the lower count changed the site: $(cat again.csv)"
run --export south-out.csv --site "Eingang Süd" --from 02.12.2025 --to 02.12.2025 ||
    fail "export of one day exited with $?"
[ "$(rows south-out.csv)" = "$(printf '02.12.2025;18;4;4;8\n02.12.2025;7;50;60;110')" ] ||
    fail "export of one day of the other site: $(cat south-out.csv)"

# Months, with the evaluation period of the settings file (00:00 to 06:00).
mkdir -p ORVA-DS && printf 'Beide__Std_00:00_06:00_2\r\n' >ORVA-DS/ORVAInit.txt
run --export month.csv --group month || fail "export by month exited with $?"
[ "$(rows month.csv)" = "$(printf '%s\n' '11.2025;01.11.2025;30.11.2025;2;108;202;310;1;2;3' \
    '12.2025;01.12.2025;31.12.2025;2;18;11;29;9;1;10')" ] || fail "by month: $(cat month.csv)"

# A faulty row: nothing is imported, the row is named.
printf 'Datum;Stunde;Rechts;Links;Summe\r\n05.01.2026;7;1;1;2\r\n05.01.2026;24;1;1;2\r\n' >bad.csv
run --import bad.csv && fail "a faulty file was imported"
grep -q "Zeile 3" err.txt || fail "the faulty row is not named: $(cat err.txt)"
run --export after-bad.csv || fail "export after the faulty file exited with $?"
cmp -s after-bad.csv all.csv || fail "part of the faulty file was imported: $(cat after-bad.csv)"

# Never over the settings file; wrong options are refused before anything is read.
run --export ORVA-DS/ORVAInit.txt && fail "the export wrote over the settings file"
[ "$(cat ORVA-DS/ORVAInit.txt)" = $'Beide__Std_00:00_06:00_2\r' ] || fail "settings file changed"
run --export x.csv --site Nirgendwo && fail "an export of an unknown site succeeded"
grep -q "„Eingang Süd“" err.txt || fail "an unknown site does not name the known ones: $(cat err.txt)"
for args in "--export x.csv --from 1.12.25" "--export x.csv --group quarter" \
    "--import x.csv --to 01.01.2026" "--export" "--export x.csv --from 02.01.2026 --to 01.01.2026"; do
    # shellcheck disable=SC2086
    run $args
    code=$?
    [ "$code" = 2 ] || fail "'$args' exited with $code"
    grep -q "orva-ds --help" err.txt || fail "'$args' gave no usage hint: $(cat err.txt)"
done
[ ! -e x.csv ] || fail "a refused command wrote its file"
# A damaged archive is moved aside, never written over, and the message says so.
printf 'kein Archiv' >ORVA-DS/ORVA-Archiv.sqlite
run --import in.csv && fail "an import into a damaged archive succeeded"
grep -q "ORVA-Archiv.defekt-" err.txt || fail "the message does not say where the damaged archive went: $(cat err.txt)"
[ "$(cat ORVA-DS/ORVA-Archiv.defekt-*.sqlite)" = "kein Archiv" ] || fail "the damaged archive was not kept"
echo "ok"
