#!/usr/bin/env bash
# The command line of the built program, with no display at all: what it prints, where, and the
# exit status. Usage: command-line.sh path/to/ombrelclock
set -uo pipefail
bin=$1
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
failed=0
# check STATUS STDOUT-REGEX STDERR-REGEX ARG...: the run's exit status and both outputs (whole,
# newlines kept) must match.
check() {
    local want_status=$1 want_out=$2 want_err=$3 out err status
    shift 3
    out=$("$bin" "$@" 2>/tmp/ombrel-cli-err.$$)
    status=$?
    err=$(cat /tmp/ombrel-cli-err.$$)
    if [[ $status -eq $want_status && $out =~ ^${want_out}$ && $err =~ ^${want_err}$ ]]; then
        echo "ok - ombrelclock $*"
    else
        echo "not ok - ombrelclock $*: status $status, stdout '${out:0:200}', stderr '${err:0:200}'"
        failed=1
    fi
}
trap 'rm -f /tmp/ombrel-cli-err.$$' EXIT
tab=$'\t'
nl=$'\n'
usage='usage: ombrelclock \[--help \| --version \| --holidays YEAR\[-YEAR\] \| --export-ics FILE\] \[toolkit options\]'
check 0 "$usage$nl.*--holidays YEARS.*" '' --help
check 0 'ombrelclock [0-9]+(\.[0-9]+)+' '' --version
check 0 "2026-01-01${tab}元日$nl(.*$nl)?2026-05-06${tab}振替休日$nl.*2026-09-22${tab}国民の休日$nl.*2026-11-23${tab}勤労感謝の日" '' --holidays 2026
check 0 "2028-01-01${tab}元日${tab}projected$nl.*2029-11-23${tab}勤労感謝の日${tab}projected" '' --holidays=2028-2029
check 2 '' "ombrelclock: unknown option '--frob'; $usage" --frob
check 0 'ombrelclock [0-9.]+' '' -platform offscreen -session abc --version # the toolkit's options pass
check 2 '' "ombrelclock: unknown option '--help=x'; $usage" --help=x
check 2 '' "ombrelclock: --holidays needs a year; $usage" --holidays
check 2 '' "ombrelclock: --export-ics needs a file .*; $usage" --export-ics
for bad in 1947 2100 2027-2026 2026- -2026 ２０２６ 20x6; do # outside the law's years, or no year
    check 2 '' "ombrelclock: --holidays takes a year .*, not '$bad'; $usage" --holidays "$bad"
done
check 1 '' 'ombrelclock: no display found;.*' -- --frob # after "--" nothing is an option
check 1 '' 'ombrelclock: no display found;.*' # without options it wants a window
exit $failed
