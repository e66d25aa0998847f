#!/usr/bin/env bash
# Takes the README's pictures of a built ombrelclock on a private Xvfb display: the folded
# caption (active and inactive), the unfolded calendar with bold days, the topic editor beside the calendar, the
# window menu and the About box. Builds nothing; needs Xvfb, xdotool, xwininfo and ImageMagick
# (import, convert).
# Usage: tools/make-screenshots.sh [path/to/ombrelclock [output-dir]]
#   defaults: build/ombrelclock and docs/screenshots, both in this repository.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source-path=SCRIPTDIR source=../tests/e2e/xvfb-session.sh
source "$root/tests/e2e/xvfb-session.sh"
bin=${1:-$root/build/ombrelclock}
out=${2:-$root/docs/screenshots}
if [[ ! -x $bin ]]; then
    echo "no program at $bin: build it first (./dev.sh run, or cmake --build build)" >&2
    exit 2
fi
bin=$(cd "$(dirname "$bin")" && pwd)/$(basename "$bin")
for tool in Xvfb xdotool xwininfo xmessage import convert; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is not installed (apt-get install xvfb xdotool x11-utils imagemagick)" >&2
        exit 2
    fi
done
mkdir -p "$out"
out=$(cd "$out" && pwd)

readonly clock_title='^[0-9]{2}:[0-9]{2}  [0-9]{2}/[0-9]{2} [A-Z][a-z]{2}$'
readonly about_title='^OmbrelClock.*情報$'
readonly margin=8   # desktop shown around the windows, in pixels
readonly settle=0.5 # after a window changes, time for Qt to paint it before the capture

session_begin shots

die() {
    echo "make-screenshots: $*" >&2
    if [[ -s $work/app.err ]]; then
        echo "the program's stderr:" >&2
        sed 's/^/  /' "$work/app.err" >&2
    fi
    exit 1
}

# --- the display -------------------------------------------------------------------------
session_start_xvfb || die "Xvfb did not start: $(cat "$work/xvfb.log")"
# A quiet desktop colour instead of black around the windows; pictures are fine without it.
convert -size 8x8 xc:'#6b8299' "$work/desktop.png"
timeout 10 display -window root "$work/desktop.png" >/dev/null 2>&1 || true

# The pictures are taken at 1:1 whatever the caller's scaling.
session_isolate_env QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

# --- helpers -----------------------------------------------------------------------------
# capture FILE ID...: the screen around the given windows, with a margin of desktop.
capture() {
    local file=$1 id x y w h left=100000 top=100000 right=0 bottom=0
    shift
    sleep "$settle"
    for id in "$@"; do
        read -r x y w h <<<"$(geometry "$id")"
        [[ -n $h ]] || die "no geometry for window $id"
        ((x < left)) && left=$x
        ((y < top)) && top=$y
        ((x + w > right)) && right=$((x + w))
        ((y + h > bottom)) && bottom=$((y + h))
    done
    left=$((left > margin ? left - margin : 0))
    top=$((top > margin ? top - margin : 0))
    right=$((right + margin))
    bottom=$((bottom + margin))
    import -window root "$work/screen.png"
    convert "$work/screen.png" -crop "$((right - left))x$((bottom - top))+$left+$top" +repage \
        -strip "$file"
    echo "wrote $file ($((right - left))x$((bottom - top)))"
}

stop_app() {
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=
}

# --- the profile -------------------------------------------------------------------------
# The first run, with no profile, tells the folded window's size at this DPI and font.
start_app "$bin"
clock=$(find_window "$clock_title") || die "no clock window within 10 s"
read -r _ _ width caption_height <<<"$(geometry "$clock")"
stop_app
rm -f "$XDG_CONFIG_HOME/ombrelclock.ini"

# Topics in the month shown, so its calendar has bold days; the 24th's has two lines.
year=$(date +%Y)
month=$((10#$(date +%m)))
today=$((10#$(date +%d)))
target_day=24
left_at=40
top_at=40
topic() { printf '[%4d:%2d:%2d]%s' "$year" "$month" "$1" "$2"; }
{
    echo "[LOCATE]"
    echo "LEFT=$left_at"
    echo "TOP=$top_at"
    echo "RIGHT=$((left_at + width))"
    echo "BOTTOM=$((top_at + caption_height))"
    echo "[SETTING]"
    echo "FLAG=0"
    echo "TOPMOST=1"
    echo "[TOPICS]"
    echo "NUMBER=3"
    echo "00000=$(topic 3 '資源ごみの日')"
    echo "00001=$(topic 10 '歯医者 15:00')"
    echo "00002=$(topic "$target_day" 'クリスマス会 19:00<CR>ケーキを受け取る')"
} | sed 's/$/\r/' >"$XDG_CONFIG_HOME/ombrelclock.ini" # CRLF, as profiles written on Windows

# --- the pictures ------------------------------------------------------------------------
start_app "$bin"
clock=$(find_window "$clock_title") || die "no clock window within 10 s"
xdotool windowfocus --sync "$clock" # an active caption, as a user sees it
capture "$out/folded.png" "$clock"
# The same with another window active, as the clock is most of the day.
xmessage -geometry +400+300 "another window" &
other=$!
xdotool windowfocus --sync "$(find_window '^xmessage$')" || die "no other window to focus"
capture "$out/folded-inactive.png" "$clock"
kill "$other"

read -r x y w folded_h <<<"$(geometry "$clock")"
press "$clock" Return
wait_height "$clock" "$folded_h" >/dev/null || die "Enter did not unfold the calendar"
capture "$out/calendar.png" "$clock"

# The grid fills the window below the caption: a title band, the weekday row, then six weeks
# of equal rows, Sunday first; the month starts in the first week unless the 1st is a Sunday,
# which gets a whole week of the month before. The title band is a little taller than a row.
read -r x y w h <<<"$(geometry "$clock")"
calendar_h=$((h - folded_h))
row_h=$(((calendar_h - 1) * 100 / 813))
grid_top=$((calendar_h - 6 * row_h))
column_w=$((w / 7))
first_weekday=$(date -d "$year-$month-01" +%w)
lead=$((first_weekday == 0 ? 7 : first_weekday))
cell=$((lead + target_day - 1))
click_x=$((x + (w - 7 * column_w) / 2 + (cell % 7) * column_w + column_w / 2))
click_y=$((y + folded_h + grid_top + (cell / 7) * row_h + row_h / 2))
# Month and day padded with a space or a zero: either reads as the date.
editor_title=$(printf '^%d/[ 0]?%d/[ 0]?%d$' "$year" "$month" "$target_day")
xdotool mousemove --sync "$click_x" "$click_y"
# The first click selects the date, a click on the selected date opens its editor.
((today == target_day)) || { xdotool click 1; sleep 0.3; }
xdotool click 1
editor=$(find_window "$editor_title") ||
    die "no editor titled $year/$month/$target_day after clicking at $click_x,$click_y"
xdotool mousemove --sync 0 0 # no hover mark on the day
capture "$out/editor.png" "$clock" "$editor"
press "$editor" Escape
window_gone "$editor" || die "Escape did not close the editor"

# The window menu from Shift+F10 over the folded caption, its first check item on (the
# profile's TOPMOST=1); its third entry opens the About box, pictured over the caption alone.
read -r x y w h <<<"$(geometry "$clock")"
press "$clock" Return
wait_height "$clock" "$h" >/dev/null || die "Enter did not fold the calendar"
press "$clock" shift+F10
menu=$(timeout 10 xdotool search --sync --onlyvisible --maxdepth 1 --class ombrelclock | grep -vx "$clock" | head -n 1) ||
    die "no window menu after Shift+F10"
capture "$out/menu.png" "$clock" "$menu"
xdotool key --clearmodifiers Down Down Down Return
about=$(find_window "$about_title") || die "no About box after the window menu's About entry"
xdotool mousemove --sync 0 0
capture "$out/about.png" "$clock" "$about"
press "$about" Escape || true

stop_app
