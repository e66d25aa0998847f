#!/usr/bin/env bash
# The daily reminder on a desktop without a session bus, with an address where no bus listens,
# and with a bus but no notification service: with a topic for today the clock starts and quits
# as always, prints nothing and keeps no "shown that day".
# Usage: reminder-e2e.sh path/to/ombrelclock   (exit 0 all passed, 1 some failed, 77 tools missing)
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=xvfb-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"

program_argument "$@"
need_tools Xvfb xdotool xwininfo

session_begin reminder
session_isolate_env
session_start_xvfb || { echo "not ok - Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
printf '[TOPICS]\nNUMBER=1\n00000=[%s]歯医者\n' "$(date +%Y:%_m:%_d)" >"$XDG_CONFIG_HOME/ombrelclock.ini"
kept=$HOME/.local/state/ombrelclock/reminded

# Starts the clock, quits it through the question (Escape, then Enter for Yes) and looks at
# what it left: nothing on stderr, no day kept.
start_and_quit() {
    local clock box i
    : >"$work/app.err"
    start_app "$bin"
    clock=$(find_toplevel '^[0-2][0-9]:[0-5][0-9]  ') || fail "no clock window within 10 s" || return 1
    press "$clock" Escape
    box=$(find_toplevel '^終了$') || fail "no quit question" || return 1
    press "$box" Return
    for ((i = 0; i < poll_limit; i++)); do
        kill -0 "$app_pid" 2>/dev/null || break
        sleep 0.05
    done
    wait "$app_pid" || fail "exit status $?" || return 1
    app_pid=
    [[ ! -s $work/app.err ]] || fail "it printed: $(head -c 300 "$work/app.err")" || return 1
    [[ ! -e $kept ]] || fail "a day was kept: $(cat "$kept")" || return 1
}

check_no_bus() { unset DBUS_SESSION_BUS_ADDRESS; start_and_quit; }
check_dead_address() { export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus; start_and_quit; }
check_bus_without_service() {
    command -v dbus-daemon >/dev/null || skip "dbus-daemon is not installed" || return 77
    local bus status=0
    bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || fail "dbus-daemon did not start" || return 1
    export DBUS_SESSION_BUS_ADDRESS=${bus%%$'\n'*}
    start_and_quit || status=$?
    kill "${bus##*$'\n'}"
    return "$status"
}

run_check check_no_bus "no session bus: silent, nothing kept"
run_check check_dead_address "a bus address where no bus listens: silent, nothing kept"
run_check check_bus_without_service "a bus without a notification service: silent, nothing kept"
session_summary
