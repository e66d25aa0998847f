#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks what a user would get: the binary, the
# desktop entry, the icon at every size, the AppStream metadata, and that the installed binary
# starts a clock window whose X11 class is the one the desktop entry names.
# Usage: run-installed.sh CMAKE BUILD_DIR VERSION
#   (exit 0 all passed, 1 some failed, 77 nothing failed but the window could not be tried)
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=xvfb-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/xvfb-session.sh"

if [[ $# -ne 3 || ! -d $2 ]]; then
    echo "usage: $0 path/to/cmake build-dir project-version" >&2
    exit 2
fi
cmake_bin=$1
build=$2
version=$3

readonly clock_title='^[0-9]{2}:[0-9]{2}  [0-9]{2}/[0-9]{2} [A-Z][a-z]{2}$'
readonly icon_sizes=(16 32 48 64 128)

session_begin install
prefix=$work/prefix

# desktop_key KEY: the value of KEY in the installed desktop entry's main group.
desktop_file=$prefix/share/applications/ombrelclock.desktop
desktop_key() {
    awk -F= -v key="$1" '
        /^\[/ { main = ($0 == "[Desktop Entry]") }
        main && $1 == key { sub(/^[^=]*=/, ""); print; exit }' "$desktop_file"
}

# png_size FILE: "WIDTH HEIGHT" from the PNG header, nothing if FILE is no PNG.
png_size() {
    local magic
    magic=$(od -An -tx1 -N8 "$1" | tr -d ' \n')
    [[ $magic == 89504e470d0a1a0a ]] || return 1
    od -An -tu1 -j16 -N8 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }'
}

# --- checks ------------------------------------------------------------------------------

check_install() {
    "$cmake_bin" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
        fail "cmake --install failed: $(tail -n 3 "$work/install.log" | tr '\n' '|')" || return 1
    [[ -x $prefix/bin/ombrelclock ]] || fail "no executable bin/ombrelclock" || return 1
}

check_desktop_entry() {
    local exec icon
    [[ -f $desktop_file ]] || fail "no share/applications/ombrelclock.desktop" || return 1
    exec=$(desktop_key Exec)
    [[ ${exec%% *} == ombrelclock ]] || fail "Exec=$exec" || return 1
    [[ -x $prefix/bin/${exec%% *} ]] || fail "Exec names no installed program" || return 1
    [[ $(desktop_key Type) == Application ]] || fail "Type=$(desktop_key Type)" || return 1
    [[ $(desktop_key Terminal) == false ]] || fail "Terminal=$(desktop_key Terminal)" || return 1
    icon=$(desktop_key Icon)
    [[ $icon == ombrelclock ]] || fail "Icon=$icon" || return 1
    [[ -n $(desktop_key StartupWMClass) ]] || fail "no StartupWMClass" || return 1
}

check_icons() {
    local size file got
    for size in "${icon_sizes[@]}"; do
        file=$prefix/share/icons/hicolor/${size}x${size}/apps/ombrelclock.png
        [[ -f $file ]] || fail "no ${size}x${size} icon" || return 1
        got=$(png_size "$file") || fail "${size}x${size} icon is no PNG" || return 1
        [[ $got == "$size $size" ]] || fail "${size}x${size} icon is ${got/ /x}" || return 1
    done
}

check_metainfo() {
    local files file id launchable
    files=("$prefix"/share/metainfo/*.metainfo.xml)
    [[ -f ${files[0]} ]] || fail "no share/metainfo/*.metainfo.xml" || return 1
    [[ ${#files[@]} -eq 1 ]] || fail "${#files[@]} metainfo files" || return 1
    file=${files[0]}
    id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$file" | head -n 1)
    [[ $(basename "$file") == "$id.metainfo.xml" ]] || fail "$(basename "$file") for id '$id'" || return 1
    launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$file")
    [[ -f $prefix/share/applications/$launchable ]] || fail "launchable '$launchable' not installed" || return 1
    grep -q "<release version=\"$version\"" "$file" || fail "no release $version" || return 1
    if command -v appstreamcli >/dev/null 2>&1; then
        # The tree check also finds the desktop entry and the icons the way software centres do.
        appstreamcli validate-tree --no-net --strict --override=cid-maybe-not-rdns=pedantic "$prefix" \
            >"$work/tree.log" 2>&1 || fail "validate-tree: $(grep -E '^ *[EWI]: ' "$work/tree.log" | tr '\n' '|')" || return 1
    fi
}

check_installed_window() {
    local tool id title class wanted
    for tool in Xvfb xdotool xprop; do
        command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (apt-get install xvfb xdotool x11-utils)" || return
    done
    [[ -x $prefix/bin/ombrelclock ]] || fail "nothing installed" || return 1
    session_start_xvfb || fail "Xvfb did not start: $(tr '\n' '|' <"$work/xvfb.log")" || return 1

    # Nothing of the user's home or session may leak into the program.
    session_isolate_env
    start_app "$prefix/bin/ombrelclock"
    id=$(find_window "$clock_title") ||
        fail "no clock window within 10 s: $(tr '\n' '|' <"$work/app.err")" || return 1
    title=$(xdotool getwindowname "$id")
    [[ $title =~ $clock_title ]] || fail "title '$title'" || return 1
    # Launchers match the running window to its menu entry by this class.
    class=$(xprop -id "$id" WM_CLASS | sed -n 's/.*= "\([^"]*\)", "\([^"]*\)"$/\2/p')
    wanted=$(desktop_key StartupWMClass)
    [[ -n $class && $class == "$wanted" ]] || fail "WM_CLASS class '$class', desktop entry says '$wanted'" || return 1
}

run_check check_install "cmake --install puts an executable bin/ombrelclock into a fresh prefix"
run_check check_desktop_entry "the desktop entry is installed and names the installed program and icon"
run_check check_icons "the icon is installed as a PNG of the right size at ${icon_sizes[*]}"
run_check check_metainfo "the AppStream metadata is installed under its id, for this release, launching the entry"
run_check check_installed_window "the installed program shows a clock window of the desktop entry's X11 class"

echo "$passed passed, $failed failed, $skipped skipped"
if [[ $failed -ne 0 ]]; then
    exit 1
fi
if [[ $skipped -ne 0 ]]; then
    exit 77
fi
