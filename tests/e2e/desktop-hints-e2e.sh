#!/usr/bin/env bash
# End-to-end checks of the window menu's keep-on-top and all-desktops items under a real window
# manager, Openbox, on a private Xvfb display: Shift+F10 and the Menu key open the menu, each item
# sets the window manager's state at once (read back with xprop), the choice is stored, and the
# stored choice applies again at the next start.
# Usage: desktop-hints-e2e.sh path/to/ombrelclock   (exit 0 all passed, 1 some failed, 77 a tool missing)
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=xvfb-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"

program_argument "$@"
need_tools openbox Xvfb xdotool xprop xwininfo

readonly clock_title='^[0-2][0-9]:[0-5][0-9]  [01][0-9]/[0-3][0-9] (Sun|Mon|Tue|Wed|Thu|Fri|Sat)$'
readonly all_desktops=4294967295 # 0xFFFFFFFF
# The window menu's entries counted with Down from none chosen: 移動, 閉じる, About, then these.
readonly topmost_item=4 sticky_item=5

session_begin desktop
session_isolate_env
profile=$XDG_CONFIG_HOME/$(basename "$bin").ini
if ! session_start_xvfb || ! session_start_openbox; then
    echo "not ok - Xvfb and Openbox did not start: $(cat "$work/xvfb.log" "$work/openbox.log" 2>/dev/null)"
    exit 1
fi
# Openbox shows a window on every desktop through _NET_WM_DESKTOP alone; a window manager that
# has the sticky state must set it too.
sticky_state=
if xprop -root _NET_SUPPORTED | grep -q '_NET_WM_STATE_STICKY'; then
    sticky_state=_NET_WM_STATE_STICKY
fi

# --- helpers -----------------------------------------------------------------------------
# choose ID KEY N: opens the window menu of ID with KEY and chooses its Nth entry.
choose() {
    local i downs=()
    xdotool windowactivate --sync "$1" 2>/dev/null && xdotool key --clearmodifiers "$2" || return 1
    # The menu is the program's one window the window manager does not frame.
    for ((i = 0; i < poll_limit; i++)); do
        [[ -n $(xdotool search --onlyvisible --maxdepth 1 --class ombrelclock 2>/dev/null) ]] && break
        sleep 0.05
    done
    ((i < poll_limit)) || fail "no window menu after $2" || return 1
    for ((i = 0; i < $3; i++)); do downs+=(Down); done
    xdotool key "${downs[@]}" Return
}

# wait_prop ID PROPERTY REGEX: waits up to ~10 s for xprop's line of PROPERTY to match REGEX;
# ID -root is the root window.
wait_prop() {
    local i line target=(-id "$1")
    [[ $1 == -root ]] && target=(-root)
    for ((i = 0; i < poll_limit; i++)); do
        line=$(xprop "${target[@]}" "$2" 2>&1) || true
        [[ $line =~ $3 ]] && return 0
        sleep 0.05
    done
    fail "$line"
}

# on_desktop N: switches to desktop N and waits until the window manager has shown and hidden
# the windows for it: a change of the number of desktops asked for after the switch is done
# after it, and shows on the root window.
on_desktop() {
    local count
    count=$(xdotool get_num_desktops)
    count=$((count == 4 ? 5 : 4))
    xdotool set_desktop "$1" set_num_desktops "$count" 2>/dev/null
    wait_prop -root _NET_NUMBER_OF_DESKTOPS "= $count\$"
}

# shown_on N ID: whether ID is shown on desktop N; desktop 0 is shown afterwards.
shown_on() {
    local status=0
    on_desktop "$1" || return 2
    window_viewable "$2" || status=1
    on_desktop 0 || return 2
    return $status
}

# setting LINE: the profile has it, waiting up to ~10 s (the hint may reach the window manager
# before the key reaches the file).
setting() {
    local i
    for ((i = 0; i < poll_limit; i++)); do
        tr -d '\r' <"$profile" 2>/dev/null | grep -qx "$1" && return 0
        sleep 0.05
    done
    return 1
}

stop_app() {
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=
}

# --- checks ------------------------------------------------------------------------------
clock=

check_keep_on_top() {
    start_app "$bin"
    clock=$(find_window "$clock_title") || fail "no clock window within 10 s" || return 1
    wait_prop "$clock" _NET_WM_DESKTOP '= 0$' || return 1
    [[ $(xprop -id "$clock" _NET_WM_STATE) != *ABOVE* ]] || fail "above before it was chosen" || return 1
    choose "$clock" shift+F10 $topmost_item || return 1
    wait_prop "$clock" _NET_WM_STATE '_NET_WM_STATE_ABOVE' || return 1
    setting TOPMOST=1 || fail "TOPMOST=1 not stored" || return 1
}

check_all_desktops() {
    [[ -n $clock ]] || fail "no clock window" || return 1
    shown_on 2 "$clock" && { fail "shown on desktop 2 before it was chosen"; return 1; }
    [[ $? -eq 1 ]] || return 1
    choose "$clock" Menu $sticky_item || return 1
    wait_prop "$clock" _NET_WM_DESKTOP "= $all_desktops\$" || return 1
    wait_prop "$clock" _NET_WM_STATE "${sticky_state:-.}" || return 1
    shown_on 2 "$clock" || fail "not shown on desktop 2" || return 1
    setting STICKY=1 || fail "STICKY=1 not stored" || return 1
}

check_stored_choice_at_start() {
    stop_app
    start_app "$bin"
    clock=$(find_window "$clock_title") || fail "no clock window within 10 s" || return 1
    wait_prop "$clock" _NET_WM_STATE "_NET_WM_STATE_ABOVE.*${sticky_state}|${sticky_state}.*_NET_WM_STATE_ABOVE" || return 1
    wait_prop "$clock" _NET_WM_DESKTOP "= $all_desktops\$" || return 1
    shown_on 3 "$clock" || fail "not shown on desktop 3" || return 1
}

check_turned_off() {
    local state
    [[ -n $clock ]] || fail "no clock window" || return 1
    choose "$clock" shift+F10 $topmost_item || return 1
    choose "$clock" shift+F10 $sticky_item || return 1
    wait_prop "$clock" _NET_WM_DESKTOP '= 0$' || return 1
    state=$(xprop -id "$clock" _NET_WM_STATE)
    [[ $state != *ABOVE* && $state != *STICKY* ]] || fail "$state" || return 1
    shown_on 2 "$clock" && { fail "still shown on desktop 2"; return 1; }
    [[ $? -eq 1 ]] || return 1
    setting TOPMOST=0 && setting STICKY=0 || fail "not stored: $(tr '\r\n' '|' <"$profile")" || return 1
}

run_check check_keep_on_top "Shift+F10, 常に手前に表示: the window manager keeps the window above, and TOPMOST=1 is stored"
run_check check_all_desktops "Menu key, すべてのデスクトップに表示: on every desktop (_NET_WM_DESKTOP 0xFFFFFFFF${sticky_state:+, sticky}), STICKY=1 stored"
run_check check_stored_choice_at_start "the next start comes up above and on every desktop"
run_check check_turned_off "both chosen again: neither above nor on every desktop, 0 stored"

session_summary
