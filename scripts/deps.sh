#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only when something is missing.
set -euo pipefail
# Qt Charts' CMake files need Qt OpenGL's, which Debian 12's qt6-charts-dev does not pull in.
# The window tests build a German number format with localedef, which needs the charmaps of
# `locales`. The package test renders the manual page (groff-base, man-db) and validates the
# AppStream entry (appstream).
pkgs=(g++ make cmake pkg-config qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev
      qt6-translations-l10n libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
      poppler-utils clang libclang-rt-14-dev locales groff-base man-db appstream
      libqt6sql6-sqlite libqt6sql6-psql postgresql-15)
missing=()
for p in "${pkgs[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
