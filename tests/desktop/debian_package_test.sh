#!/bin/sh
# `make package`: the Debian package declares what it needs, and the program unpacked from it runs headless
# with its own page and examples. Usage: debian_package_test.sh BUILD_DIR SOURCE_DIR
set -eu
build="$1"
source="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ ! -f "$source/web/dist/index.html" ]; then
    echo "the page is not built (make web)"
    exit 77
fi
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    exit 1
}
package=$(ls "$work"/out/pelagrin_*.deb)
fields=$(dpkg-deb -f "$package" Depends Recommends)
for expected in "Depends: .*libc6" "Depends: .*libcurl4" "Depends: .*libsqlite3-0" "Recommends: chromium"; do
    echo "$fields" | grep -q "$expected" || {
        echo "the package does not declare $expected:" >&2
        echo "$fields" >&2
        exit 1
    }
done

dpkg-deb -x "$package" "$work/root"
test -f "$work/root/usr/share/pelagrin/web/index.html"
"$work/root/usr/bin/pelagrin" run "$work/root/usr/share/pelagrin/examples/kettle-pond.pelagrinproj" \
    --speed 1000 --csv "$work/run.csv" >/dev/null 2>&1
head -n 1 "$work/run.csv" | grep -q '^Time (s),Stuck Particles'
