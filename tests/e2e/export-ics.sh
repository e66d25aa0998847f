#!/usr/bin/env bash
# The command-line export of the built program, with no display, read back by a second,
# independent iCalendar reader (python3-icalendar, tests/e2e/check-ics.py).
# Usage: export-ics.sh path/to/ombrelclock   (exit 0 passed, 1 failed, 77 reader missing)
set -uo pipefail
bin=$1
here=$(dirname "${BASH_SOURCE[0]}")
/usr/bin/python3 -c 'import icalendar' 2>/dev/null || { echo "skip - python3-icalendar is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_CONFIG_HOME=$work/config HOME=$work
mkdir -p "$XDG_CONFIG_HOME"
failed=0
check() { # check DESCRIPTION COMMAND...: the command must succeed
    local what=$1
    shift
    if "$@"; then echo "ok - $what"; else echo "not ok - $what"; failed=1; fi
}

# A Windows-made profile: a two-line topic, a blank one, a second entry of a shown date (the
# first one counts), text that needs escaping, a backslash, and one long enough to be folded.
long=$(printf '長い行%.0s' {1..100}) # 300 characters
printf '[TOPICS]\r\nNUMBER=6\r\n00000=[2026:12:24]忘年会<CR>19時 駅前\r\n00001=[2026:12:25] \r\n00002=[2026:12:24]not shown\r\n00003=[2027: 1: 1]元日; "quoted", comma\r\n00004=[2027: 2: 3]%s\r\n00005=[2027: 3: 4]C:\\tmp\\メモ\r\n' "$long" |
    iconv -f UTF-8 -t CP932 >"$XDG_CONFIG_HOME/$(basename "$bin").ini"
cat >"$work/expected.json" <<JSON
[{"date": "2026-12-24", "text": "忘年会\n19時 駅前"},
 {"date": "2027-01-01", "text": "元日; \"quoted\", comma"},
 {"date": "2027-02-03", "text": "$long"},
 {"date": "2027-03-04", "text": "C:\\\\tmp\\\\メモ"}]
JSON
check "--export-ics FILE writes every shown topic, read back by another reader" \
    eval '"$bin" --export-ics "$work/out.ics" && /usr/bin/python3 "$here/check-ics.py" "$work/out.ics" "$work/expected.json"'
check "--export-ics - writes the same to standard output" \
    eval '[[ -s $work/out.ics ]] && diff <(grep -v ^DTSTAMP "$work/out.ics") <("$bin" --export-ics - | grep -v ^DTSTAMP)'
printf '[TOPICS]\r\nNUMBER=1\r\n00000=[2026:12:25]  \r\n' >"$XDG_CONFIG_HOME/$(basename "$bin").ini"
check "nothing to export: status 1, a message, no file" \
    eval '! "$bin" --export-ics "$work/none.ics" 2>"$work/err" && grep -q "holds no topic to export" "$work/err" && [[ ! -e $work/none.ics ]]'
exit $failed
