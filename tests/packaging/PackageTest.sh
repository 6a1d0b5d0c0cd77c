#!/usr/bin/env bash
# Builds the Debian package as a packager would (a maintainer's address given) and checks it: its files
# against the expected list, its dependencies, lintian (no error, no warning), the udev rule, and the
# maintainer scripts with a udevadm that works and one that fails, as in a chroot.
# Usage: PackageTest.sh BUILD_FOLDER EXPECTED_LIST
set -euo pipefail
build=$1
expected=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# What QX7MB_MAINTAINER sets, given here so that the build's own setting does not matter.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" \
    -D CPACK_PACKAGE_CONTACT="QX7-MB Test Packager <packager@example.org>" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    exit 1
}
deb=$(ls "$work"/qx7mb_*_*.deb)
dpkg-deb -c "$deb" | awk '{print $6 ($7 == "->" ? " -> " $8 : "")}' | sed 's|^\./|/|; s|/$||' | grep -v '^$' |
    sort >"$work/files"
diff -u "$expected" "$work/files"
depends=$(dpkg-deb -f "$deb" Depends)
for package in fonts-liberation2 libqt6widgets6 libc6; do
    [[ $depends == *"$package"* ]] || fail "Depends lacks $package: $depends"
done
[ "$(dpkg-deb -f "$deb" Maintainer)" = "QX7-MB Test Packager <packager@example.org>" ] || fail "Maintainer"

lintian --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1 || true
if grep -E '^[EW]: ' "$work/lintian.log" >&2; then
    fail "lintian reports errors or warnings"
fi

mkdir "$work/root"
dpkg-deb -x "$deb" "$work/root"
rule=$work/root/usr/lib/udev/rules.d/60-qx7mb-usb-blaster.rules
for product in 6001 6002 6003 6010 6810; do
    grep -q "^SUBSYSTEM==\"usb\", ATTR{idVendor}==\"09fb\", ATTR{idProduct}==\"$product\", TAG+=\"uaccess\"$" "$rule" ||
        fail "the udev rule lacks product $product"
done
grep -q "All rights reserved" "$work/root/usr/share/doc/qx7mb/copyright" || fail "copyright"
zcat "$work/root/usr/share/doc/qx7mb/changelog.gz" | grep -q "^ -- QX7-MB Test Packager <packager@example.org>  " ||
    fail "the changelog is not signed by the maintainer"

# The maintainer scripts, with a udevadm that records its calls, then with one that fails.
dpkg-deb -e "$deb" "$work/control"
! grep -rq ldconfig "$work/control" || fail "a maintainer script runs ldconfig"
mkdir "$work/bin"
printf '#!/bin/sh\necho "$*" >>"%s"\nexit ${UDEVADM_EXIT:-0}\n' "$work/udevadm.log" >"$work/bin/udevadm"
chmod +x "$work/bin/udevadm"
for script in postinst postrm; do
    action=configure
    [ $script = postrm ] && action=remove
    : >"$work/udevadm.log"
    PATH=$work/bin:$PATH sh "$work/control/$script" $action || fail "$script $action"
    [ "$(cat "$work/udevadm.log")" = $'control --reload-rules\ntrigger --subsystem-match=usb' ] ||
        fail "$script $action called: $(cat "$work/udevadm.log")"
    UDEVADM_EXIT=1 PATH=$work/bin:$PATH sh "$work/control/$script" $action ||
        fail "$script $action fails where udev does not run"
done

echo "$(basename "$deb"): $(wc -l <"$work/files") entries; Depends: $depends; lintian clean"
