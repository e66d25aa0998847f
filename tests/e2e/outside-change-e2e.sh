#!/usr/bin/env bash
# End-to-end checks of how the ombrelclock binary follows changes other programs make to its
# profile, on a private Xvfb display driven with xdotool: a file replaced by rename shows as a bold
# date and is not written back, an edit in the window keeps the other dates' entries byte for byte,
# and a cancelled edit leaves a date changed outside as the file says.
# Usage: outside-change-e2e.sh path/to/ombrelclock   (exit 0 all passed, 1 some failed, 77 tools missing)
# syncthing-e2e.sh sources this file for the helpers alone.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=xvfb-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"

readonly clock_title='^[0-2][0-9]:[0-5][0-9]  [01][0-9]/[0-3][0-9] (Sun|Mon|Tue|Wed|Thu|Fri|Sat)$'
# The calendar opens on the current month, so the dates used are of that month.
year=$(date +%Y)
month=$((10#$(date +%m)))
today=$((10#$(date +%d)))

entry() { printf '[%4d:%2d:%2d]%s' "$year" "$month" "$1" "$2"; } # entry DAY TEXT: as the file spells it
has_line() { grep -qxF -- "$2"$'\r' "$1"; }                       # has_line FILE LINE
# replace_by_rename FILE LINE...: a [TOPICS] section of the LINEs, put in place the way sync tools do.
replace_by_rename() {
    local file=$1
    shift
    printf '[TOPICS]\r\nNUMBER=%d\r\n' $# >"$file.tmp"
    printf '%s\r\n' "$@" >>"$file.tmp"
    mv "$file.tmp" "$file"
}

# --- the calendar on screen --------------------------------------------------------------
grid_left='' grid_top='' cell_w='' cell_h=''

# calendar_grid ID: finds the day grid of the unfolded window ID in a picture of it, waiting up to
# ~10 s for it to be drawn; sets grid_left grid_top cell_w cell_h, window coordinates. The grey
# rule under the weekday row is the lowest pixel row drawn over more than half the width, and the
# first not to fill it (the caption's last rows do); it spans the 7 columns less a quarter column
# at each end, and the six weeks share the rest of the window.
calendar_grid() {
    local w h y x0 len i
    read -r _ _ w h <<<"$(geometry "$1")"
    for ((i = 0; i < poll_limit; i++)); do
        read -r y x0 len < <(import -window "$1" -depth 8 txt:- 2>/dev/null | awk -F'[,: ]+' -v w="$w" '
            NR > 1 && !/#FFFFFF/ { if (!n[$2]++) first[$2] = $1 }
            END { best = -1; for (r in n) if (n[r] > w / 2 && r + 0 > best) best = r + 0
                  print best, first[best] + 0, n[best] + 0 }') || true
        [[ $len -lt $w && $y -gt 0 ]] && break
        sleep 0.05
    done
    for ((cell_w = 1; 7 * cell_w - 2 * (cell_w / 4) < len; cell_w++)); do :; done
    ((7 * cell_w - 2 * (cell_w / 4) == len)) || fail "no weekday rule in the window's picture" || return 1
    grid_left=$((x0 - cell_w / 4)) grid_top=$((y + 1)) cell_h=$(((h - y - 1) / 6))
}

cell_of() { # cell_of DAY: "X Y" of DAY's cell, window coordinates; the grid starts 1-7 days early
    local first i
    first=$(date -d "$year-$month-01" +%w)
    i=$(((first == 0 ? 7 : first) + $1 - 1))
    echo $((grid_left + i % 7 * cell_w)) $((grid_top + (i / 7) * cell_h))
}

dark_pixels() { # dark_pixels ID DAY: how many pixels of DAY's cell are dark
    local x y
    read -r x y <<<"$(cell_of "$2")"
    import -window "$1" -crop "${cell_w}x$cell_h+$x+$y" -depth 8 txt:- 2>/dev/null |
        awk -F'[(,)]' 'NR > 1 && $3 + $4 + $5 < 384 { n++ } END { print n + 0 }'
}

# wait_bold ID DAY BEFORE: waits up to ~10 s for DAY's number to be drawn darker than BEFORE pixels.
wait_bold() {
    local now end=$((SECONDS + 10))
    while now=$(dark_pixels "$1" "$2") && ((now <= $3 && SECONDS < end)); do sleep 0.1; done
    ((now > $3)) || fail "day $2 still $now dark pixels, $3 before" || return 1
}

# edit_topic ID DAY KEY [TEXT]: as a user does, a click on DAY selects it and a second click
# opens its editor; types TEXT there and closes it with KEY.
edit_topic() {
    local wx wy x y title editor
    read -r wx wy _ <<<"$(geometry "$1")"
    read -r x y <<<"$(cell_of "$2")"
    xdotool mousemove --sync $((wx + x + cell_w / 2)) $((wy + y + cell_h / 2)) click 1 sleep 0.3 click 1
    title=$(printf '^%4d/%2d/%2d$' "$year" "$month" "$2")
    editor=$(find_toplevel "$title") || fail "no editor titled '$title'" || return 1
    if [[ -n ${4:-} ]]; then
        xdotool windowfocus --sync "$editor" type --delay 20 "$4"
    fi
    press "$editor" "$3" && window_gone "$editor" || fail "editor still up after $3" || return 1
}

# poll SECONDS WHAT COMMAND...: waits up to SECONDS for COMMAND to succeed; fails saying WHAT.
poll() {
    local limit=$1 what=$2 end=$((SECONDS + $1))
    shift 2
    until "$@"; do
        ((SECONDS < end)) || fail "$what not within $limit s" || return 1
        sleep 0.5
    done
}

[[ ${BASH_SOURCE[0]} == "$0" ]] || return 0

# --- the checks --------------------------------------------------------------------------
program_argument "$@"
need_tools Xvfb xdotool xwininfo import

session_begin outside
# The default light palette, whatever the caller's desktop: the cells are told apart by colour.
session_isolate_env QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE
profile=$XDG_CONFIG_HOME/$(basename "$bin").ini
if ! session_start_xvfb; then
    echo "not ok - Xvfb did not start: $(cat "$work/xvfb.log")"
    exit 1
fi

# Three dates of this month other than today, whose cell the selection does not paint over.
read -r d2 d3 d4 _ <<<"$(printf '%s\n' 12 18 24 9 | grep -vx "$today" | tr '\n' ' ')"
d1_line=00000=$(entry 1 text)
d2_line="00001=$(entry "$d2" 'Party<CR>bring a cake')"
clock=

# untouched: the profile is still the file last put there by rename (no save renamed another over it).
untouched() {
    if ! cmp -s "$profile" "$work/last" || [[ $(stat -c %i "$profile") != "$inode" ]]; then
        fail "the program wrote the profile: $(tr '\r\n' '|' <"$profile")"
    fi
}
put_profile() { replace_by_rename "$profile" "$@" && cp "$profile" "$work/last" && inode=$(stat -c %i "$profile"); }

check_outside_change_shows() {
    local before
    put_profile "$d1_line"
    start_app "$bin"
    clock=$(find_toplevel "$clock_title") || fail "no clock window within 10 s" || return 1
    read -r _ _ _ before <<<"$(geometry "$clock")"
    press "$clock" Return && wait_height "$clock" "$before" >/dev/null || fail "Enter did not unfold" || return 1
    calendar_grid "$clock" || return 1
    before=$(dark_pixels "$clock" "$d2")
    put_profile "$d1_line" "$d2_line"
    wait_bold "$clock" "$d2" "$before" || return 1
    untouched
}

check_edit_keeps_other_dates() {
    [[ -n $grid_top ]] || fail "no calendar on screen" || return 1
    edit_topic "$clock" "$d3" Return 'Meet at 10' || return 1
    poll 10 "the new entry in the profile" has_line "$profile" "00002=$(entry "$d3" 'Meet at 10')" || return 1
    if ! has_line "$profile" "$d2_line" || ! has_line "$profile" "$d1_line"; then
        fail "the other dates changed: $(tr '\r\n' '|' <"$profile")"
    fi
}

check_cancel_keeps_outside_text() {
    local before
    [[ -n $grid_top ]] || fail "no calendar on screen" || return 1
    before=$(dark_pixels "$clock" "$d4")
    # A date added with the change tells when the program has read it.
    put_profile "$d1_line" "00001=$(entry "$d2" 'changed outside')" "00002=$(entry "$d3" 'Meet at 10')" \
        "00003=$(entry "$d4" new)"
    wait_bold "$clock" "$d4" "$before" || return 1
    edit_topic "$clock" "$d2" Escape 'typed, then cancelled' || return 1
    sleep 1 # a save would follow the editor's close at once
    untouched
}

run_check check_outside_change_shows "a profile replaced by rename shows its new date bold and is not written back"
run_check check_edit_keeps_other_dates "an edit in the window saves its date and keeps the others' entries byte for byte"
run_check check_cancel_keeps_outside_text "Escape in the editor of a date changed outside writes nothing"

session_summary
