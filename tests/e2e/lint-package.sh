#!/usr/bin/env bash
# Makes the Debian package from the build and checks it with lintian: errors fail, warnings are
# listed. Usage: lint-package.sh BUILD_DIR   (exit 0 clean, 1 errors, 77 tools missing)
set -euo pipefail

if [[ $# -ne 1 || ! -f $1/CPackConfig.cmake ]]; then
    echo "usage: $0 build-dir" >&2
    exit 2
fi
for tool in cpack lintian dpkg-shlibdeps file; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skip - $tool is not installed (apt-get install lintian dpkg-dev file)"
        exit 77
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/ombrel-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$1/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || {
    echo "not ok - cpack failed:"
    tail -n 20 "$work/cpack.log"
    exit 1
}
deb=$(find "$work" -maxdepth 1 -name '*.deb' | head -n 1)
[[ -n $deb ]] || { echo "not ok - cpack made no .deb"; exit 1; }

status=0
lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || status=$?
cat "$work/lintian.log"
if [[ $status -ne 0 ]]; then
    echo "not ok - lintian found errors in $(basename "$deb")"
    exit 1
fi
echo "ok - lintian found no errors in $(basename "$deb")"
