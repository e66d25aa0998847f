#!/usr/bin/env bash
# End-to-end checks of the ombrelclock binary on a private Xvfb display, driven with xdotool:
# the clock window, fold/unfold, the quit question (both answers), the hand-over to a running copy
# (also past a symlinked folder, and not to a stranger's listener) and the start without a display.
# Usage: run-e2e.sh path/to/ombrelclock   (exit 0 all passed, 1 some failed, 77 tools missing)
# Set OMBREL_E2E_SCREENSHOT=file.png to also save a picture of the screen with the window unfolded.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=xvfb-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"

program_argument "$@"

need_tools Xvfb xdotool xwininfo

readonly clock_title='^[0-2][0-9]:[0-5][0-9]  [01][0-9]/[0-3][0-9] (Sun|Mon|Tue|Wed|Thu|Fri|Sat)$'
readonly quit_title='^終了$'

session_begin e2e
session_isolate_env
mkdir -p "$work/nodisplay"

if ! session_start_xvfb; then
    echo "not ok - Xvfb did not start:" >&2
    cat "$work/xvfb.log" >&2
    echo "0 passed, 1 failed"
    exit 1
fi

# --- helpers -----------------------------------------------------------------------------
# Mapped windows directly under the root: without a window manager these are the top-levels.
# Named or not, so a stray untitled window counts too.
visible_toplevels() {
    local id
    for id in $(xwininfo -root -children | awk '$1 ~ /^0x/ { print $1 }'); do
        if window_viewable "$id"; then
            echo "$id"
        fi
    done
}

# wait_exit: waits up to ~10 s for the program to end; sets app_status (empty while it runs).
app_status=
wait_exit() {
    local i
    app_status=
    for ((i = 0; i < poll_limit; i++)); do
        if ! kill -0 "$app_pid" 2>/dev/null; then
            app_status=0
            wait "$app_pid" || app_status=$?
            app_pid=
            return 0
        fi
        sleep 0.05
    done
    return 1
}

# socket_of PROFILE: where the copy for PROFILE listens: SHA-1 of the canonical path, 16 digits.
socket_of() {
    echo "$XDG_RUNTIME_DIR/ombrelclock-$(printf %s "$(realpath -m "$1")" | sha1sum | cut -c1-16)"
}

# Listens on argv[1] and never accepts; as root it is nobody (65534) by the time it listens, so
# it stands for another user's program. Says "listening" on stdout, ends by itself after 60 s.
readonly squatter_py='
import os, socket, sys, time
s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
s.bind(sys.argv[1])
if os.getuid() == 0:
    os.chown(sys.argv[1], 65534, 65534)
    os.setgroups([]); os.setgid(65534); os.setuid(65534)
s.listen(8)
print("listening", flush=True)
time.sleep(60)
'

# ask_to_quit ID: Escape on the clock; prints the question box's id once it is up.
ask_to_quit() {
    local box
    press "$1" Escape || return 1
    box=$(find_toplevel "$quit_title") || return 1
    echo "$box"
}

# --- checks ------------------------------------------------------------------------------
clock=

check_one_clock_window() {
    local ids count title
    start_app "$bin"
    clock=$(find_toplevel "$clock_title") || fail "no clock window within 10 s" || return 1
    ids=$(visible_toplevels)
    count=$(grep -c . <<<"$ids" || true)
    [[ $count -eq 1 ]] || fail "$count visible top-level windows" || return 1
    title=$(xdotool getwindowname "$clock")
    [[ $title =~ $clock_title ]] || fail "title '$title'" || return 1
}

check_fold_unfold() {
    local x0 y0 w0 h0 x1 y1 w1 h1 h2
    [[ -n $clock ]] || fail "no clock window" || return 1
    read -r x0 y0 w0 h0 <<<"$(geometry "$clock")"
    [[ -n $h0 ]] || fail "no geometry" || return 1

    press "$clock" Return || fail "cannot type into the window" || return 1
    wait_height "$clock" "$h0" >/dev/null
    read -r x1 y1 w1 h1 <<<"$(geometry "$clock")"
    ((h1 - h0 > 100)) || fail "height $h0 -> $h1 after Enter" || return 1
    [[ $x1 == "$x0" && $y1 == "$y0" ]] || fail "moved from $x0,$y0 to $x1,$y1 while unfolding" || return 1
    if [[ -n ${OMBREL_E2E_SCREENSHOT:-} ]] && command -v import >/dev/null; then
        import -window root "$OMBREL_E2E_SCREENSHOT" 2>/dev/null || true
    fi

    press "$clock" Return || fail "cannot type into the window" || return 1
    h2=$(wait_height "$clock" "$h1")
    [[ $h2 == "$h0" ]] || fail "height $h0 -> $h1 -> $h2, expected back to $h0" || return 1
    read -r x1 y1 w1 h1 <<<"$(geometry "$clock")"
    [[ $x1 == "$x0" && $y1 == "$y0" && $w1 == "$w0" ]] || fail "folded geometry changed" || return 1
}

check_drag_moves() {
    local x0 y0 w0 h0 x1 y1 w1 h1 i
    [[ -n $clock ]] || fail "no clock window" || return 1
    read -r x0 y0 w0 h0 <<<"$(geometry "$clock")"
    # Grab the caption left of the close box, drag by (100, 80) in steps, let go.
    xdotool mousemove --sync $((x0 + w0 / 2 - 10)) $((y0 + h0 / 2)) mousedown 1
    for i in 1 2 3 4 5; do
        xdotool mousemove --sync $((x0 + w0 / 2 - 10 + 20 * i)) $((y0 + h0 / 2 + 16 * i))
    done
    xdotool mouseup 1
    for ((i = 0; i < poll_limit; i++)); do
        read -r x1 y1 w1 h1 <<<"$(geometry "$clock")"
        [[ $x1 != "$x0" || $y1 != "$y0" ]] && break
        sleep 0.05
    done
    [[ $x1 -eq $((x0 + 100)) && $y1 -eq $((y0 + 80)) ]] || fail "from $x0,$y0 to $x1,$y1" || return 1
    [[ $w1 == "$w0" && $h1 == "$h0" ]] || fail "size changed" || return 1
}

check_quit_answered_no() {
    local before after box
    [[ -n $clock ]] || fail "no clock window" || return 1
    before=$(geometry "$clock")
    box=$(ask_to_quit "$clock") || fail "no question box after Escape" || return 1
    # In a Yes/No box Escape answers No.
    press "$box" Escape || fail "cannot type into the question box" || return 1
    window_gone "$box" || fail "question box still up after Escape" || return 1
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended" || return 1
    window_viewable "$clock" || fail "clock window unmapped" || return 1
    after=$(geometry "$clock")
    [[ $after == "$before" ]] || fail "geometry '$before' -> '$after'" || return 1
}

check_quit_answered_yes() {
    local box
    # The window left over from the checks above is used (asking a second time is part of it);
    # a fresh one if they left none.
    if [[ -z $app_pid ]] || ! kill -0 "$app_pid" 2>/dev/null || [[ -z $clock ]]; then
        start_app "$bin"
        clock=$(find_toplevel "$clock_title") || fail "no clock window within 10 s" || return 1
    fi
    box=$(ask_to_quit "$clock") || fail "no question box after Escape" || return 1
    press "$box" Return || fail "cannot type into the question box" || return 1
    wait_exit || fail "still running 10 s after Yes" || return 1
    [[ $app_status -eq 0 ]] || fail "exit status $app_status" || return 1
}

check_second_start_hands_over() {
    local second status=0 count
    [[ -n $app_pid ]] && kill -0 "$app_pid" 2>/dev/null || fail "no running copy" || return 1
    (cd "$work" && exec "$bin" >>"$work/second.out" 2>>"$work/second.err") &
    second=$!
    for ((i = 0; i < poll_limit; i++)); do
        kill -0 "$second" 2>/dev/null || break
        sleep 0.05
    done
    if kill -0 "$second" 2>/dev/null; then
        kill "$second"
        fail "a second copy kept running"
        return 1
    fi
    wait "$second" || status=$?
    [[ $status -eq 0 ]] || fail "second start ended with status $status" || return 1
    count=$(visible_toplevels | grep -c . || true)
    [[ $count -eq 1 ]] || fail "$count visible top-level windows" || return 1
    kill -0 "$app_pid" 2>/dev/null || fail "the first copy ended" || return 1
}

check_symlinked_profile_hands_over() {
    [[ -S $(socket_of "$XDG_CONFIG_HOME/$(basename "$bin").ini") ]] || fail "no socket where expected" || return 1
    ln -sfn "$XDG_CONFIG_HOME" "$work/config-link"
    XDG_CONFIG_HOME=$work/config-link check_second_start_hands_over
}

check_held_name_does_not_stop_the_start() {
    local sock squatter i status=0
    [[ -x /usr/bin/python3 ]] || skip "no /usr/bin/python3" || return
    sock=$(socket_of "$XDG_CONFIG_HOME/$(basename "$bin").ini")
    [[ ! -e $sock ]] || fail "$sock left behind by the last copy" || return 1
    /usr/bin/python3 -c "$squatter_py" "$sock" >"$work/squatter.out" 2>&1 &
    squatter=$!
    for ((i = 0; i < poll_limit; i++)); do
        grep -q listening "$work/squatter.out" && break
        sleep 0.05
    done
    if ! grep -q listening "$work/squatter.out"; then
        kill "$squatter" 2>/dev/null || true
        fail "the listener did not start: $(cat "$work/squatter.out")"
        return 1
    fi
    start_app "$bin"
    clock=$(find_toplevel "$clock_title") || status=$?
    kill "$app_pid" "$squatter" 2>/dev/null || true
    wait_exit || true
    wait "$squatter" 2>/dev/null || true
    rm -f "$sock"
    [[ $status -eq 0 ]] || fail "no clock window within 10 s" || return 1
    grep -qF "$sock" "$work/app.err" || fail "the program did not meet the held name" || return 1
}

check_stored_rectangle() {
    local x y w h
    printf '[LOCATE]\r\nLEFT=300\r\nTOP=200\r\nRIGHT=511\r\nBOTTOM=244\r\n[SETTING]\r\nFLAG=1\r\n' \
        >"$XDG_CONFIG_HOME/$(basename "$bin").ini"
    start_app "$bin"
    clock=$(find_toplevel "$clock_title") || fail "no clock window within 10 s" || return 1
    read -r x y w h <<<"$(geometry "$clock")"
    kill "$app_pid" 2>/dev/null || true
    wait_exit || true
    [[ "$x $y $w $h" == "300 200 211 44" ]] || fail "window at $x,$y size ${w}x$h" || return 1
}

check_no_display() {
    local status=0 lines
    # A core dump, if the program crashed, would land in its working directory.
    (cd "$work/nodisplay" && { ulimit -c unlimited 2>/dev/null || true; }
     exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$bin" \
         >"$work/nodisplay.out" 2>"$work/nodisplay.err") || status=$?
    [[ $status -eq 1 ]] || fail "exit status $status" || return 1
    lines=$(wc -l <"$work/nodisplay.err")
    [[ $lines -eq 1 ]] || fail "$lines lines on stderr: $(tr '\n' '|' <"$work/nodisplay.err")" || return 1
    grep -q 'xvfb-run' "$work/nodisplay.err" || fail "stderr: $(cat "$work/nodisplay.err")" || return 1
    [[ ! -s $work/nodisplay.out ]] || fail "wrote to stdout" || return 1
    ! compgen -G "$work/nodisplay/core*" >/dev/null || fail "left a core file" || return 1
}

run_check check_one_clock_window "one visible top-level window titled with the clock"
run_check check_fold_unfold "Enter unfolds by the calendar's height in place, Enter again folds back"
run_check check_drag_moves "dragging the caption moves the window with the pointer"
run_check check_quit_answered_no "Escape then No (Escape) keeps the window open with the same geometry"
run_check check_second_start_hands_over "a second start for the same profile hands over to the running copy and ends"
run_check check_symlinked_profile_hands_over "a second start for the same profile through a symlinked folder hands over too"
run_check check_quit_answered_yes "Escape then Yes (Enter) ends the program with exit status 0"
run_check check_held_name_does_not_stop_the_start "a listener of another program on the socket's name does not stop the start"
run_check check_stored_rectangle "a stored rectangle puts the real window exactly there"
run_check check_no_display "without a display: one line on stderr naming xvfb-run, exit status 1, no core"

session_summary
