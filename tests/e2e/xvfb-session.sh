# shellcheck shell=bash
# Sourced (not run) by the scripts that drive ombrelclock on a private Xvfb display. Offers:
#   program_argument ARG...       the one argument, an executable, as an absolute path in $bin;
#                                 else the usage line and exit 2 (extra ARGs after it allowed)
#   need_tools TOOL...            exits 77 (skipped) naming the first TOOL not installed
#   session_begin NAME            $work, a temp dir; on exit $app_pid and $xvfb_pid end, $work goes
#   session_isolate_env [VAR...]  HOME and XDG_* dirs under $work (state under HOME); no Wayland,
#                                 platform, session manager or session bus of the caller's, nor
#                                 the VARs
#   session_start_xvfb            a private 1024x768x24 server, DISPLAY exported; else fails,
#                                 $work/xvfb.log saying why
#   session_start_openbox         Openbox managing that display; else fails, $work/openbox.log
#   start_app PROGRAM             PROGRAM in the background in $work, output to $work/app.{out,err}
#   report STATUS TEXT, fail WHY, skip WHY, run_check FUNCTION TEXT
#                                 "ok - / not ok -" lines, counted in $passed $failed $skipped
#   find_window REGEX, find_toplevel REGEX, geometry ID, press ID KEY..., window_viewable ID,
#   window_gone ID, wait_height ID FROM
#                                 windows seen through xwininfo, driven with xdotool

readonly poll_limit=200 # polls of 0.05 s: about 10 s before giving up on a window or a process

program_argument() {
    if [[ $# -lt 1 || ! -x $1 ]]; then
        echo "usage: $0 path/to/ombrelclock" >&2
        exit 2
    fi
    bin=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
}

need_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 && continue
        echo "skip - $tool is not installed"
        exit 77
    done
}

work=
xvfb_pid=
wm_pid=
app_pid=

# --- the session -------------------------------------------------------------------------
session_cleanup() {
    local pid
    for pid in "$app_pid" "$wm_pid" "$xvfb_pid"; do
        if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    rm -rf "$work"
}

session_begin() { # session_begin NAME: NAME tells the temp dirs of the scripts apart
    work=$(mktemp -d "${TMPDIR:-/tmp}/ombrel-$1.XXXXXX")
    trap session_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

# Nothing of the user's home or session may leak in or be written to.
session_isolate_env() {
    mkdir -p "$work/home" "$work/config" "$work/cache" "$work/data" "$work/runtime"
    chmod 700 "$work/runtime"
    export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
    export XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS XDG_STATE_HOME "$@"
}

session_start_xvfb() {
    local i
    # -displayfd lets the server pick a free display and say which once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    for ((i = 0; i < poll_limit; i++)); do
        grep -qE '^[0-9]+$' "$work/display" 2>/dev/null && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    grep -qE '^[0-9]+$' "$work/display" 2>/dev/null || return 1
    DISPLAY=:$(head -n 1 "$work/display")
    export DISPLAY
}

session_start_openbox() {
    local i
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    # A window manager announces itself on the root window once it manages windows.
    for ((i = 0; i < poll_limit; i++)); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        kill -0 "$wm_pid" 2>/dev/null || break
        sleep 0.05
    done
    return 1
}

start_app() { # start_app PROGRAM: its pid in $app_pid
    (cd "$work" && exec "$1" >>"$work/app.out" 2>>"$work/app.err") &
    app_pid=$!
}

# --- results -----------------------------------------------------------------------------
passed=0
failed=0
skipped=0
why=

report() { # report STATUS DESCRIPTION: STATUS 0 passes, 77 is skipped
    if [[ $1 -eq 0 ]]; then
        echo "ok - $2"
        passed=$((passed + 1))
    elif [[ $1 -eq 77 ]]; then
        echo "ok - $2 # SKIP ${why}"
        skipped=$((skipped + 1))
    else
        echo "not ok - $2${why:+ ($why)}"
        failed=$((failed + 1))
    fi
    why=
}
fail() { why=$*; return 1; }
skip() { why=$*; return 77; }

run_check() { # run_check FUNCTION DESCRIPTION: runs FUNCTION in this shell and reports it
    local status=0
    "$1" || status=$?
    report "$status" "$2"
}

# session_summary: the program's stderr when something failed, the counts, and the exit status.
session_summary() {
    if [[ $failed -ne 0 && -s $work/app.err ]]; then
        echo "# the program's stderr:"
        sed 's/^/#   /' "$work/app.err"
    fi
    echo "$passed passed, $failed failed"
    [[ $failed -eq 0 ]]
}

# --- windows -----------------------------------------------------------------------------
# find_window REGEX [SEARCH-OPTION...]: the id of a visible window titled REGEX, waiting up to ~10 s.
find_window() {
    local regex=$1 id
    shift
    id=$(timeout 10 xdotool search --sync "$@" --onlyvisible --name "$regex" 2>/dev/null | head -n 1) || true
    [[ -n $id ]] && echo "$id"
}

# find_toplevel REGEX: the same among the windows directly under the root alone, which are the
# top-levels where no window manager runs.
find_toplevel() { find_window "$1" --maxdepth 1; }

geometry() { # geometry ID: "x y width height", outer window, root coordinates
    xwininfo -id "$1" 2>/dev/null | awk '
        /Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF }
        END { if (w != "") print x, y, w, h }'
}

window_viewable() { # window_viewable ID: ID is mapped, and so are all its ancestors
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

window_gone() { # window_gone ID: waits until ID is no longer mapped
    local i
    for ((i = 0; i < poll_limit; i++)); do
        window_viewable "$1" || return 0
        sleep 0.05
    done
    return 1
}

# wait_height ID FROM: waits until ID's height is no longer FROM and prints it; fails, printing
# FROM, where it stays, and at once, printing nothing, where ID is gone.
wait_height() {
    local i h
    for ((i = 0; i < poll_limit; i++)); do
        read -r _ _ _ h <<<"$(geometry "$1")"
        [[ -n $h ]] || return 1
        if [[ $h != "$2" ]]; then echo "$h"; return 0; fi
        sleep 0.05
    done
    echo "$2"
    return 1
}

# press ID KEY...: gives ID the keyboard (no window manager does) and types the KEYs through XTEST.
press() {
    local id=$1
    shift
    xdotool windowfocus --sync "$id" 2>/dev/null || return 1
    xdotool key --clearmodifiers "$@"
}
