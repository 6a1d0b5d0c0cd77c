#!/usr/bin/env bash
# Installs the Debian packages the project needs that are not there yet: build, tests (clang for the
# fuzz targets), fonts, the Debian package and its validators, and (with --display) what a real
# window needs on a machine without a desktop.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev
          libcli11-dev nlohmann-json3-dev fonts-liberation2 locales python3
          dpkg-dev file desktop-file-utils appstream help2man lintian clang libclang-rt-14-dev)
if [ "${1:-}" = "--display" ]; then
    packages+=(xvfb xauth openbox)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The tests of number conversion need a locale whose decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    echo "Generating the locale de_DE.UTF-8"
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
