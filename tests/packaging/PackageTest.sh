#!/usr/bin/env bash
# Builds the Debian package and compares its files with the expected list.
# Usage: PackageTest.sh BUILD_FOLDER EXPECTED_LIST
set -euo pipefail
build=$1
expected=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    exit 1
}
deb=$(ls "$work"/qx7mb_*_*.deb)
dpkg-deb -c "$deb" | awk '{print $6 ($7 == "->" ? " -> " $8 : "")}' | sed 's|^\./|/|; s|/$||' | grep -v '^$' |
    sort >"$work/files"
diff -u "$expected" "$work/files"
depends=$(dpkg-deb -f "$deb" Depends)
for package in fonts-liberation2 libqt6widgets6 libc6; do
    [[ $depends == *"$package"* ]] || { echo "FAIL: Depends lacks $package: $depends" >&2; exit 1; }
done
echo "$(basename "$deb"): $(wc -l <"$work/files") entries; Depends: $depends"
