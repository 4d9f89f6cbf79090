#!/usr/bin/env bash
# Starts the program as a user would on first start, with an empty home folder, and checks that
# the data directory and the settings file in it appear with the default line.
set -u
program="$1"
home="$(mktemp -d)"
trap 'kill "$pid" 2>/dev/null; rm -rf "$home"' EXIT
HOME="$home" QT_QPA_PLATFORM=offscreen "$program" &
pid=$!
for _ in $(seq 1 100); do
    [ -s "$home/ORVA-DS/ORVAInit.txt" ] && break
    sleep 0.1
done
expected="$(printf 'Beide__Std_06:00_18:00_2\r\n' | od -An -tx1)"
actual="$(od -An -tx1 "$home/ORVA-DS/ORVAInit.txt" 2>/dev/null)"
if [ "$expected" != "$actual" ]; then
    echo "settings file: expected [$expected], got [$actual]"
    exit 1
fi
kill -0 "$pid" 2>/dev/null || { echo "program ended by itself"; exit 1; }
echo "ok"
