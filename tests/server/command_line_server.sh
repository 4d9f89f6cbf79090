#!/usr/bin/env bash
# The command line against a PostgreSQL server of the test's own (initdb into a temporary folder,
# a Unix socket there, no network; as `postgres` under root): two PCs import and send, a third
# with an empty archive exports what they sent; a server that is away keeps nothing waiting
# and loses nothing.
set -u
program="$1"
fail() { echo "FAIL: $*"; exit 1; }
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
work="$(mktemp -d)"
bin=/usr/lib/postgresql/15/bin
as_server() { if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi; }
pg() { as_server "$bin/pg_ctl" -D "$work/data" -w -t 20 "$@" >/dev/null 2>&1; }
trap 'pg -m immediate stop; rm -rf "$work"' EXIT
echo geheim >"$work/pw"
[ "$(id -u)" = 0 ] && chown -R postgres "$work"
as_server "$bin/initdb" -D "$work/data" -U orva --pwfile="$work/pw" -A scram-sha-256 --no-sync \
    >/dev/null || fail "initdb"
start() { pg -l "$work/log" -o "-k $work -c listen_addresses='' -c fsync=off" start; }
start || fail "the server did not start"
printf '*:*:*:orva:geheim\n' >"$work/pgpass"
chmod 600 "$work/pgpass"
server="host=$work dbname=postgres user=orva passfile=$work/pgpass"

# Each PC its own home folder and archive.
on() { local pc="$1"; shift; mkdir -p "$work/$pc"
       HOME="$work/$pc" XDG_CONFIG_HOME="$work/$pc/.config" timeout 20 "$program" "$@" \
           >"$work/out" 2>"$work/err"; }
csv() { printf 'Datum;Stunde;Rechts;Links;Summe\r\n'; printf '%s\r\n' "$@"; }
csv "01.12.2026;8;10;1;11" "01.12.2026;9;20;2;22" >"$work/nord.csv"
csv "01.12.2026;8;3;4;7" "02.12.2026;10;5;5;10" >"$work/sued.csv"

on pc1 --import "$work/nord.csv" --site Nord --server "$server" || fail "pc1: $(cat "$work/err")"
grep -q "1 Abruf an den Archiv-Server gesendet" "$work/out" || fail "pc1 sent: $(cat "$work/out")"
on pc2 --import "$work/sued.csv" --site Süd --server "$server" || fail "pc2: $(cat "$work/err")"

on pc3 --export "$work/days.csv" --all-sites --group day --server "$server" ||
    fail "pc3 export: $(cat "$work/err")"
grep -q '^01.12.2026;01.12.2026;01.12.2026;1;33;7;40;' "$work/days.csv" ||
    fail "the sum of both sites on 01.12.2026: $(cat "$work/days.csv")"
on pc3 --export "$work/nord-back.csv" --site Nord --server "$server" || fail "pc3 Nord"
[ "$(tail -n +2 "$work/nord-back.csv")" = "$(tail -n +2 "$work/nord.csv")" ] ||
    fail "Nord from the server: $(cat "$work/nord-back.csv")"
[ ! -e "$work/pc3/ORVA-DS/ORVA-Archiv.sqlite" ] || fail "an export from the server made a local archive"

# Away: the import is kept here and waits; back: the next import sends both, nothing twice.
pg -m immediate stop
csv "03.12.2026;11;1;1;2" >"$work/later.csv"
on pc1 --import "$work/later.csv" --site Nord --server "$server" && fail "a send to a stopped server succeeded"
grep -q "1 Abruf wartet" "$work/err" || fail "what waits: $(cat "$work/err")"
grep -q "geheim" "$work/err" && fail "a password in the message"
start || fail "the server did not start again"
csv "04.12.2026;12;2;2;4" >"$work/last.csv"
on pc1 --import "$work/last.csv" --site Nord --server "$server" || fail "pc1 again: $(cat "$work/err")"
grep -q "2 Abrufe an den Archiv-Server gesendet" "$work/out" || fail "sent: $(cat "$work/out")"
on pc3 --export "$work/all.csv" --site Nord --server "$server" || fail "pc3 all"
[ "$(tail -n +2 "$work/all.csv" | wc -l)" = 4 ] || fail "Nord on the server: $(cat "$work/all.csv")"
echo "command line against the server: ok"
