#!/usr/bin/env bash
# The clock as a desktop shows it, on bare Xvfb or under Openbox: the title reads at 4.5 : 1
# with the window active and with another window active (measured from a screenshot), the window
# manager cannot resize or maximise the clock, and the editor opened for a date of the last row,
# with the clock at the bottom edge, lies wholly on the screen.
# Usage: desktop-e2e.sh path/to/ombrelclock [openbox]   (exit 0 passed, 1 failed, 77 tools missing)
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=xvfb-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
program_argument "$@"
manager=${2:-}
need_tools Xvfb xdotool xwininfo xprop xmessage import convert ${manager}
readonly clock_title='^[0-2][0-9]:[0-5][0-9]  [01][0-9]/[0-3][0-9] (Sun|Mon|Tue|Wed|Thu|Fri|Sat)$'

session_begin desktop
session_isolate_env
session_start_xvfb || { echo "not ok - Xvfb did not start"; exit 1; }
if [[ -n $manager ]]; then
    session_start_openbox || { echo "not ok - Openbox did not start"; cat "$work/openbox.log"; exit 1; }
fi

# The clock unfolded at the screen's bottom edge (1024 x 768), with a topic on 2026-12-24.
printf '[LOCATE]\nLEFT=10\nTOP=611\nRIGHT=176\nBOTTOM=768\n[SETTING]\nFLAG=1\n[TOPICS]\nNUMBER=1\n00000=[2026:12:24]忘年会\n' \
    >"$XDG_CONFIG_HOME/$(basename "$bin").ini"
start_app "$bin"
clock=$(find_window "$clock_title") || { echo "not ok - no clock window"; exit 1; }

activate() { # activate ID: the window manager's way where one runs, else the focus alone
    if [[ -n $manager ]]; then xdotool windowactivate --sync "$1"; else xdotool windowfocus --sync "$1"; fi
    sleep 0.3 # the caption repaints on the next event-loop turn
}

# title_contrast: the worst ratio of the caption's title, from a screenshot.
title_contrast() {
    local x y w
    read -r x y w _ <<<"$(geometry "$clock")"
    # The title runs from beside the icon (16 px at 3) to before the close box (at the right).
    import -window root -crop "${w}x22+${x}+${y}" +repage -depth 8 ppm:- | /usr/bin/python3 "$here/caption-contrast.py" 24 $((w - 22))
}

readable_when() { # readable_when WINDOW-TO-ACTIVATE
    local measured
    activate "$1"
    measured=$(title_contrast) || fail "no screenshot"
    echo "# $measured"
    awk -v r="${measured%% *}" 'BEGIN { exit !(r >= 4.5) }' || fail "contrast $measured"
}
active_readable() { readable_when "$clock"; }
inactive_readable() {
    xmessage -geometry +400+100 "another window" &
    other=$(find_window '^xmessage$') || fail "no other window"
    readable_when "$other"
}

fixed_size() {
    local before after
    before=$(geometry "$clock")
    xdotool windowsize "$clock" 600 400
    sleep 0.5
    after=$(geometry "$clock")
    [[ ${after#* * } == "${before#* * }" ]] || fail "resized from $before to $after"
    ! xprop -id "$clock" _NET_WM_ALLOWED_ACTIONS | grep -qE 'ACTION_(RESIZE|MAXIMIZE)' ||
        fail "the window manager offers $(xprop -id "$clock" _NET_WM_ALLOWED_ACTIONS)"
}

editor_on_screen() {
    local x y w h editor
    activate "$clock"
    read -r x y w h <<<"$(geometry "$clock")"
    # 2026-12-28, Monday of the month's last row (the row above the grey January days).
    xdotool mousemove $((x + 45)) $((y + h - 24)) click 1
    sleep 0.8
    xdotool click 1
    editor=$(find_window '^2026/12/28$') || fail "no editor for 2026/12/28"
    sleep 0.5 # the window manager's frame
    read -r x y w h <<<"$(xwininfo -frame -id "$editor" | awk '/Absolute upper-left X:/ { x = $NF }
        /Absolute upper-left Y:/ { y = $NF } /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }')"
    ((x >= 0 && y >= 0 && x + w <= 1024 && y + h <= 768)) || fail "the editor's frame is at $x,$y ${w}x$h"
    xdotool key --window "$editor" Escape 2>/dev/null || true # the check is done; the editor may close first
}

what=${manager:-no window manager}
run_check active_readable "$what: the title reads at 4.5:1 or better, window active"
run_check inactive_readable "$what: the title reads at 4.5:1 or better, another window active"
[[ -n $manager ]] && run_check fixed_size "$what: the window manager can neither resize nor maximise the clock"
run_check editor_on_screen "$what: the editor of a last-row date at the bottom edge lies wholly on screen"
session_summary
