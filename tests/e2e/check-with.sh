#!/usr/bin/env bash
# Runs one validator on the shipped desktop files and fails on any error or warning it reports,
# also those it only prints: desktop-file-validate exits 0 after warnings.
# Usage: check-with.sh TOOL [ARGS...]   (exit 0 clean, 1 findings, 77 TOOL not installed)
set -uo pipefail

if [[ $# -lt 1 ]]; then
    echo "usage: $0 TOOL [ARGS...]" >&2
    exit 2
fi
if ! command -v "$1" >/dev/null 2>&1; then
    echo "skip - $1 is not installed (apt-get install desktop-file-utils appstream)"
    exit 77
fi

status=0
output=$("$@" 2>&1) || status=$?
[[ -n $output ]] && printf '%s\n' "$output"
if [[ $status -ne 0 ]]; then
    echo "not ok - $* exited with status $status"
    exit 1
fi
# "file: error: ..." and "file: warning: ..." (desktop-file-validate), "E:" and "W:" (appstreamcli).
if grep -qE '(^|: )(error|warning): |^[EW]: ' <<<"$output"; then
    echo "not ok - $1 reported findings"
    exit 1
fi
echo "ok - $1 found nothing to fix"
