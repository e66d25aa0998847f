#!/usr/bin/env bash
# End-to-end check of two ombrelclock programs whose profile folders a real Syncthing pair keeps in
# step over the loopback, on one private Xvfb display: dates edited one after the other on the two
# sides end up in both files, with no conflict copy and both programs still running.
# Usage: syncthing-e2e.sh path/to/ombrelclock   (exit 0 all passed, 1 some failed, 77 tools missing)
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=outside-change-e2e.sh
source "$(dirname "${BASH_SOURCE[0]}")/outside-change-e2e.sh"

program_argument "$@"
need_tools Xvfb xdotool xwininfo import syncthing curl

readonly api_key=ombrel-e2e-key folder_id=ombrel
declare -A st_pid app id gui_port sync_port window
session_begin syncthing
stop_all() {
    local pid
    for pid in "${app[@]}" "${st_pid[@]}"; do
        if kill "$pid" 2>/dev/null; then wait "$pid" 2>/dev/null || true; fi
    done
    session_cleanup
}
trap stop_all EXIT
session_isolate_env QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE
if ! session_start_xvfb; then
    echo "not ok - Xvfb did not start: $(cat "$work/xvfb.log")"
    exit 1
fi

# Each side: config/ is the synced folder and the program's XDG_CONFIG_HOME; Syncthing's keys,
# config and database stay in st/, the program's other folders beside them.
profile_of() { echo "$work/$1/config/$(basename "$bin").ini"; }
for side in a b; do
    mkdir -p "$work/$side"/{config,home,state,runtime}
    chmod 700 "$work/$side/runtime"
    syncthing generate --home="$work/$side/st" --no-default-folder --skip-port-probing >"$work/$side/st.log" 2>&1 ||
        { echo "not ok - syncthing generate failed: $(tail -n 1 "$work/$side/st.log")"; exit 1; }
    id[$side]=$(syncthing serve --home="$work/$side/st" --device-id)
done

free_port() { # free_port: a loopback port nothing listens on, and not handed out before
    local p
    while p=$((20000 + RANDOM % 40000)); do
        [[ " ${gui_port[*]} ${sync_port[*]} " == *" $p "* ]] && continue
        (exec 3<>"/dev/tcp/127.0.0.1/$p") 2>/dev/null || { echo "$p"; return; }
    done
}
for side in a b; do
    gui_port[$side]=$(free_port)
    sync_port[$side]=$(free_port)
done

# narrow_config SIDE: Syncthing's generated config, kept to the loopback from its first start: no
# discovery, relays, NAT traversal, usage or crash reports, upgrades or browser; quick reconnects.
narrow_config() {
    sed -i -e "s|<listenAddress>default<|<listenAddress>tcp://127.0.0.1:${sync_port[$1]}<|" \
        -e 's/<\(globalAnnounce\|localAnnounce\|relays\|nat\|crashReporting\)Enabled>true</<\1Enabled>false</' \
        -e 's|<urAccepted>0<|<urAccepted>-1<|; s|<startBrowser>true<|<startBrowser>false<|' \
        -e 's|<autoUpgradeIntervalH>[0-9]*<|<autoUpgradeIntervalH>0<|; s|<reconnectionIntervalS>[0-9]*<|<reconnectionIntervalS>5<|' \
        "$work/$1/st/config.xml"
}
loopback_only() { # loopback_only SIDE: the running instance took narrow_config's options
    local o
    o=$(rest "$1" /rest/config/options) || return 1
    [[ $o == *"\"tcp://127.0.0.1:${sync_port[$1]}\""* && $o == *'"globalAnnounceEnabled": false'* &&
        $o == *'"localAnnounceEnabled": false'* && $o == *'"relaysEnabled": false'* &&
        $o == *'"natEnabled": false'* && $o == *'"urAccepted": -1'* ]]
}

rest() { # rest SIDE PATH [JSON]: GET from SIDE's REST API, or POST JSON to it
    local post=()
    [[ -z ${3:-} ]] || post=(-X POST -d "$3")
    curl -fsS --max-time 5 -H "X-API-Key: $api_key" "${post[@]}" "http://127.0.0.1:${gui_port[$1]}$2" 2>/dev/null
}

side_in_sync() { # side_in_sync SIDE OTHER: SIDE is idle with nothing to fetch and OTHER is up to date
    local status completion
    status=$(rest "$1" "/rest/db/status?folder=$folder_id") &&
        completion=$(rest "$1" "/rest/db/completion?folder=$folder_id&device=${id[$2]}") &&
        [[ $status == *'"state": "idle"'* && $status == *'"needTotalItems": 0'* &&
            $completion == *'"completion": 100'* ]]
}
in_sync() { cmp -s "$(profile_of a)" "$(profile_of b)" && side_in_sync a b && side_in_sync b a; }
pinged() { rest a /rest/system/ping >/dev/null && rest b /rest/system/ping >/dev/null; }

start_side() { # start_side SIDE: the program on SIDE's folders; its window in window[SIDE]
    (cd "$work/$1" && HOME=$work/$1/home XDG_CONFIG_HOME=$work/$1/config XDG_STATE_HOME=$work/$1/state \
        XDG_RUNTIME_DIR=$work/$1/runtime exec "$bin" >>app.out 2>>app.err) &
    app[$1]=$!
    window[$1]=$(find_window "$clock_title" --all --pid "${app[$1]}") || fail "no clock window on side $1"
}

d1_line=00000=$(entry 1 text)
read -r day_a day_b _ <<<"$(printf '%s\n' 12 18 24 | grep -vx "$today" | tr '\n' ' ')"
a_line=00001=$(entry "$day_a" 'from A')
b_line=00002=$(entry "$day_b" 'from B')

check_pair_in_sync() {
    local side other
    replace_by_rename "$(profile_of a)" "$d1_line"
    for side in a b; do
        narrow_config "$side"
        syncthing serve --home="$work/$side/st" --no-browser --no-restart --no-upgrade \
            --gui-address="http://127.0.0.1:${gui_port[$side]}" --gui-apikey="$api_key" >>"$work/$side/st.log" 2>&1 &
        st_pid[$side]=$!
    done
    poll 30 "both Syncthing instances answering" pinged || return 1
    loopback_only a && loopback_only b || fail "Syncthing's options are not the loopback alone" || return 1
    # Added through the API, so that Syncthing's own defaults fill in the rest (conflict copies too).
    for side in a b; do
        other=$([[ $side == a ]] && echo b || echo a)
        rest "$side" /rest/config/devices "{\"deviceID\": \"${id[$other]}\", \"name\": \"$other\",
            \"addresses\": [\"tcp://127.0.0.1:${sync_port[$other]}\"]}" >/dev/null || fail "cannot add device" || return 1
    done
    for side in a b; do
        rest "$side" /rest/config/folders "{\"id\": \"$folder_id\", \"path\": \"$work/$side/config\",
            \"type\": \"sendreceive\", \"rescanIntervalS\": 5, \"fsWatcherEnabled\": true, \"fsWatcherDelayS\": 1,
            \"devices\": [{\"deviceID\": \"${id[a]}\"}, {\"deviceID\": \"${id[b]}\"}]}" >/dev/null ||
            fail "cannot add the folder" || return 1
    done
    poll 60 "the profile in both folders, in sync" in_sync
}

check_edit_on_a_reaches_b() {
    local h before
    start_side a && start_side b || return 1
    # Side by side: without a window manager both start at the same place.
    xdotool windowmove --sync "${window[b]}" 400 0
    for side in a b; do
        read -r _ _ _ h <<<"$(geometry "${window[$side]}")"
        press "${window[$side]}" Return && wait_height "${window[$side]}" "$h" >/dev/null ||
            fail "Enter did not unfold side $side" || return 1
    done
    calendar_grid "${window[a]}" || return 1
    before=$(dark_pixels "${window[b]}" "$day_a")
    edit_topic "${window[a]}" "$day_a" Return 'from A' || return 1
    poll 45 "'$a_line' in side B's file" has_line "$(profile_of b)" "$a_line" || return 1
    wait_bold "${window[b]}" "$day_a" "$before"
}

check_edit_on_b_reaches_a() {
    [[ -n $grid_top ]] || fail "no calendar on screen" || return 1
    edit_topic "${window[b]}" "$day_b" Return 'from B' || return 1
    poll 45 "'$b_line' in side A's file" has_line "$(profile_of a)" "$b_line"
}

check_both_end_equal() {
    local side line conflicts
    poll 45 "the two folders in sync" in_sync || return 1
    for line in "$d1_line" "$a_line" "$b_line"; do
        has_line "$(profile_of a)" "$line" || fail "no '$line': $(tr '\r\n' '|' <"$(profile_of a)")" || return 1
    done
    conflicts=$(find "$work/a/config" "$work/b/config" -name '*sync-conflict*')
    [[ -z $conflicts ]] || fail "conflict copies: $conflicts" || return 1
    for side in a b; do
        kill -0 "${app[$side]}" 2>/dev/null || fail "the program on side $side ended" || return 1
    done
}

run_check check_pair_in_sync "two Syncthing instances on the loopback bring the profile to the second folder"
run_check check_edit_on_a_reaches_b "a date edited in side A's window reaches side B's file and shows bold there"
run_check check_edit_on_b_reaches_a "a date edited next in side B's window reaches side A's file"
run_check check_both_end_equal "both files end equal with every date, no conflict copy, both programs running"

if [[ $failed -ne 0 ]]; then
    for side in a b; do
        [[ -s $work/$side/app.err ]] && sed "s/^/# program $side: /" "$work/$side/app.err"
        tail -n 20 "$work/$side/st.log" | sed "s/^/# syncthing $side: /"
    done
fi
session_summary
