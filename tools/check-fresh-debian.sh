#!/usr/bin/env bash
# Tries the README's commands the way a newcomer meets them: a minimal Debian 12 made with
# debootstrap, a clean clone of this repository inside, each command run as root in a chroot.
#   tools/check-fresh-debian.sh DIR [COMMAND...]
# COMMAND defaults to "test run deb": `./dev.sh test`; `./dev.sh run`, which must show the clock
# window on its virtual display within the time limit; `./dev.sh deb`, whose package is then
# installed into a second fresh Debian with apt and must show the clock there too. DIR is made
# (debootstrap --variant=minbase bookworm) once and kept as a pristine copy, DIR.tar, so later
# runs start from a fresh system again. Needs root, debootstrap and a reachable Debian mirror.
set -euo pipefail

if [[ $# -lt 1 ]]; then
    echo "usage: $0 DIR [test|run|deb ...]" >&2
    exit 2
fi
root=$(realpath -m "$1")
shift
commands=("$@")
[[ ${#commands[@]} -gt 0 ]] || commands=(test run deb)
repo=$(cd "$(dirname "$0")/.." && pwd)
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

mounted=()
unmount_all() {
    local i
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
    mounted=()
}
trap unmount_all EXIT

fresh_system() { # fresh_system DIR: a pristine minimal Debian 12 in DIR
    local dir=$1
    if [[ ! -f $root.tar ]]; then
        rm -rf "$root.new"
        debootstrap --variant=minbase bookworm "$root.new" "$mirror" >"$root.debootstrap.log" 2>&1
        tar -C "$root.new" -cf "$root.tar" .
        rm -rf "$root.new"
    fi
    rm -rf "$dir"
    mkdir -p "$dir"
    tar -C "$dir" -xf "$root.tar"
    cp /etc/resolv.conf "$dir/etc/resolv.conf"
    local m
    for m in proc sys dev dev/pts dev/shm; do
        mount --bind "/$m" "$dir/$m"
        mounted+=("$dir/$m")
    done
}

in_chroot() { # in_chroot DIR COMMAND: COMMAND in a login-like root shell of DIR
    chroot "$1" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 bash -c "$2"
}

# wait_for_clock DIR: the clock window shows on the chroot's virtual display (xvfb-run's :99).
wait_for_clock() {
    local i
    for ((i = 0; i < 600; i++)); do
        if in_chroot "$1" 'auth=$(ls /tmp/xvfb-run.*/Xauthority 2>/dev/null | head -n 1)
                [ -n "$auth" ] && command -v xdotool >/dev/null &&
                XAUTHORITY=$auth DISPLAY=:99 xdotool search --onlyvisible --name "^[0-9]{2}:[0-9]{2}  " >/dev/null 2>&1'; then
            return 0
        fi
        sleep 1
    done
    return 1
}

status=0
for command in "${commands[@]}"; do
    echo "== ./dev.sh $command on a fresh Debian 12"
    fresh_system "$root"
    git clone -q "$repo" "$root/root/ombrelclock"
    case $command in
    test)
        if in_chroot "$root" 'cd /root/ombrelclock && ./dev.sh test' >"$root.test.log" 2>&1; then
            echo "ok - ./dev.sh test: $(grep -E 'tests passed' "$root.test.log")"
        else
            echo "not ok - ./dev.sh test (log: $root.test.log)"; status=1
        fi
        ;;
    run)
        in_chroot "$root" 'cd /root/ombrelclock && exec ./dev.sh run' >"$root.run.log" 2>&1 &
        pid=$!
        # The run command installs and builds first; the window comes after that.
        if wait_for_clock "$root"; then
            echo "ok - ./dev.sh run shows the clock window under xvfb-run"
        else
            echo "not ok - ./dev.sh run showed no clock window (log: $root.run.log)"; status=1
        fi
        pkill -f -- "$root/.*ombrelclock" 2>/dev/null || true
        in_chroot "$root" 'pkill ombrelclock; pkill Xvfb' 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        ;;
    deb)
        if in_chroot "$root" 'cd /root/ombrelclock && ./dev.sh deb' >"$root.deb.log" 2>&1; then
            deb=$(ls "$root"/root/ombrelclock/build/*.deb | head -n 1)
            cp "$deb" "$root.pkg.deb"
            unmount_all
            fresh_system "$root"
            cp "$root.pkg.deb" "$root/root/ombrelclock.deb"
            if in_chroot "$root" 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ./root/ombrelclock.deb xvfb xauth xdotool' >"$root.apt.log" 2>&1; then
                in_chroot "$root" 'exec xvfb-run -a ombrelclock' >>"$root.apt.log" 2>&1 &
                pid=$!
                if wait_for_clock "$root"; then
                    echo "ok - the package installs with apt on a fresh Debian 12 and shows the clock"
                else
                    echo "not ok - the installed package showed no clock window (log: $root.apt.log)"; status=1
                fi
                in_chroot "$root" 'pkill ombrelclock; pkill Xvfb' 2>/dev/null || true
                wait "$pid" 2>/dev/null || true
            else
                echo "not ok - apt could not install the package (log: $root.apt.log)"; status=1
            fi
        else
            echo "not ok - ./dev.sh deb (log: $root.deb.log)"; status=1
        fi
        ;;
    *)
        echo "unknown command $command" >&2; status=2
        ;;
    esac
    unmount_all
done
exit $status
