#!/usr/bin/env bash
# Start-up time, resident memory and idle wake-ups of ombrelclock against a bare Qt calendar window.
#
#   bench/measure-startup.sh BUILD/ombrelclock BUILD/bench/bare_calendar [RUNS]
#
# RUNS (default 9, at least 7) runs of each, interleaved (clock, bare, clock, bare, ...) after one
# uncounted warm-up pair, on a private Xvfb 1024x768x24 with a temp XDG_CONFIG_HOME. Per run:
#   start  - exec to the first top-level window mapped. A small Xlib watcher (built here with cc
#            from the source below) forks the program and takes the MapNotify event on the root
#            window; CLOCK_MONOTONIC, event-driven, so the resolution is well under 1 ms.
#   RSS    - VmRSS from /proc/PID/status 1 s after the window was mapped.
#   idle   - ombrelclock only: context switches over the 10 s after that, from /proc/PID/status
#            (main thread, voluntary) and summed over /proc/PID/task/*/status (all threads).
#            One tick is expected when the window spans the turn of a minute; that is reported.
# Prints each run, then the medians. Needs Xvfb, cc and the Xlib headers (libx11-dev).
#
# OMBREL_PROFILE=FILE: the first program starts with a copy of FILE as its profile, the second
# with an empty settings folder; give the clock twice to see what a large date book costs
# (bench/make-topics-profile.py writes one).
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../tests/e2e/xvfb-session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/xvfb-session.sh"

if [[ $# -lt 2 || $# -gt 3 ]]; then
    echo "usage: $0 path/to/ombrelclock path/to/bare_calendar [runs]" >&2
    exit 2
fi
abs() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
clock_bin=$(abs "$1")
bare_bin=$(abs "$2")
runs=${3:-9}
if ! [[ $runs =~ ^[0-9]+$ ]] || ((runs < 7)); then
    echo "runs must be a number, at least 7 (medians of fewer are too noisy)" >&2
    exit 2
fi
for tool in Xvfb cc; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 77; }
done

session_begin bench

# The watcher: forks PROGRAM, waits for its first managed top-level window to be mapped, samples
# /proc at map+RSS_MS and over the IDLE_MS after that, then ends the program (SIGTERM) and prints
#   map_ms rss_kb main_voluntary main_involuntary all_voluntary all_involuntary minute_turned
cat >"$work/mapwatch.c" <<'EOF'
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

static void sleep_until(double t_ms)
{
    double left;
    while ((left = t_ms - now_ms()) > 0) {
        struct timespec ts = { (time_t)(left / 1e3), (long)((left - (time_t)(left / 1e3) * 1e3) * 1e6) };
        nanosleep(&ts, NULL);
    }
}

/* One "Name:  value" field of a /proc status file, or -1. */
static long status_field(const char* path, const char* name)
{
    FILE* f = fopen(path, "r");
    char line[256];
    long value = -1;
    size_t n = strlen(name);
    if (!f)
        return -1;
    while (fgets(line, sizeof line, f))
        if (!strncmp(line, name, n) && line[n] == ':') {
            value = strtol(line + n + 1, NULL, 10);
            break;
        }
    fclose(f);
    return value;
}

/* Context switches of the main thread and of all threads: vol, invol, all vol, all invol. */
static void switches(pid_t pid, long out[4])
{
    char path[128];
    snprintf(path, sizeof path, "/proc/%d/status", pid);
    out[0] = status_field(path, "voluntary_ctxt_switches");
    out[1] = status_field(path, "nonvoluntary_ctxt_switches");
    out[2] = out[3] = 0;
    snprintf(path, sizeof path, "/proc/%d/task", pid);
    DIR* d = opendir(path);
    struct dirent* e;
    while (d && (e = readdir(d))) {
        if (e->d_name[0] == '.')
            continue;
        char task[300];
        snprintf(task, sizeof task, "/proc/%d/task/%s/status", pid, e->d_name);
        long v = status_field(task, "voluntary_ctxt_switches");
        long i = status_field(task, "nonvoluntary_ctxt_switches");
        out[2] += v > 0 ? v : 0;
        out[3] += i > 0 ? i : 0;
    }
    if (d)
        closedir(d);
}

static long minute_now(void) { return (long)(time(NULL) / 60); }

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: mapwatch RSS_MS IDLE_MS PROGRAM [ARGS...]\n");
        return 2;
    }
    const double rss_ms = atof(argv[1]), idle_ms = atof(argv[2]);
    Display* dpy = XOpenDisplay(NULL);
    if (!dpy) {
        fprintf(stderr, "mapwatch: no display\n");
        return 2;
    }
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);

    const double start = now_ms();
    pid_t pid = fork();
    if (pid == 0) {
        close(ConnectionNumber(dpy));
        execv(argv[3], argv + 3);
        _exit(127);
    }

    double mapped = -1;
    struct pollfd pfd = { ConnectionNumber(dpy), POLLIN, 0 };
    while (mapped < 0 && now_ms() - start < 10000) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == MapNotify && !ev.xmap.override_redirect && mapped < 0)
                mapped = now_ms();
        }
        if (mapped < 0 && waitpid(pid, NULL, WNOHANG) == pid) {
            fprintf(stderr, "mapwatch: %s ended before mapping a window\n", argv[3]);
            return 1;
        }
        if (mapped < 0)
            poll(&pfd, 1, 50);
    }
    if (mapped < 0) {
        fprintf(stderr, "mapwatch: no window from %s within 10 s\n", argv[3]);
        kill(pid, SIGKILL);
        waitpid(pid, NULL, 0);
        return 1;
    }

    sleep_until(mapped + rss_ms);
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/status", pid);
    const long rss = status_field(path, "VmRSS");

    long before[4] = { 0 }, after[4] = { 0 };
    long minute_turned = 0;
    if (idle_ms > 0) {
        const long m0 = minute_now();
        switches(pid, before);
        sleep_until(mapped + rss_ms + idle_ms);
        switches(pid, after);
        minute_turned = minute_now() - m0;
    }
    kill(pid, SIGTERM);
    waitpid(pid, NULL, 0);

    printf("%.2f %ld", mapped - start, rss);
    if (idle_ms > 0)
        printf(" %ld %ld %ld %ld %ld", after[0] - before[0], after[1] - before[1], after[2] - before[2],
               after[3] - before[3], minute_turned);
    printf("\n");
    XCloseDisplay(dpy);
    return 0;
}
EOF
cc -O2 -Wall -o "$work/mapwatch" "$work/mapwatch.c" -lX11

# The programs' own settings and caches go to temp directories.
mkdir -p "$work/home" "$work/config" "$work/cache" "$work/runtime"
chmod 700 "$work/runtime"
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER

# The first program's own settings folder, holding the profile to measure with.
first=("$clock_bin")
if [[ -n ${OMBREL_PROFILE:-} ]]; then
    mkdir -p "$work/config-profile"
    cp "$OMBREL_PROFILE" "$work/config-profile/$(basename "$clock_bin").ini"
    first=(/usr/bin/env "XDG_CONFIG_HOME=$work/config-profile" "$clock_bin")
fi

session_start_xvfb || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }

mb() { awk -v kb="$1" 'BEGIN { printf "%.1f", kb / 1024 }'; }
median() { # median of the numbers on stdin
    sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

: >"$work/clock.txt"
: >"$work/bare.txt"
"$work/mapwatch" 1000 0 "${first[@]}" >/dev/null # warm-up: file cache, font cache
"$work/mapwatch" 1000 0 "$bare_bin" >/dev/null
printf '%-4s %-14s %9s %8s  %s\n' run program "start ms" "RSS MB" "idle 10 s: switches main vol/invol, all vol/invol, minute turned"
for ((run = 1; run <= runs; run++)); do
    read -r ms kb v i av ai turned < <("$work/mapwatch" 1000 10000 "${first[@]}")
    echo "$ms $kb $v $i $av $ai $turned" >>"$work/clock.txt"
    printf '%-4s %-14s %9.1f %8s  %s/%s, %s/%s, %s\n' "$run" ombrelclock "$ms" "$(mb "$kb")" \
        "$v" "$i" "$av" "$ai" "$turned"
    read -r ms kb < <("$work/mapwatch" 1000 0 "$bare_bin")
    echo "$ms $kb" >>"$work/bare.txt"
    printf '%-4s %-14s %9.1f %8s\n' "$run" bare_calendar "$ms" "$(mb "$kb")"
done

echo
echo "medians over $runs runs (start: exec to window mapped; RSS: 1 s after mapping):"
for name in clock bare; do
    label=$([[ $name == clock ]] && echo ombrelclock || echo bare_calendar)
    ms=$(awk '{ print $1 }' "$work/$name.txt" | median)
    kb=$(awk '{ print $2 }' "$work/$name.txt" | median)
    printf '  %-14s start %7.1f ms   RSS %6s MB\n' "$label" "$ms" "$(mb "$kb")"
done
printf '  ombrelclock idle 10 s: voluntary switches median %s (main thread), %s (all threads); ' \
    "$(awk '{ print $3 }' "$work/clock.txt" | median)" "$(awk '{ print $5 }' "$work/clock.txt" | median)"
printf 'involuntary %s / %s; a minute turned in %s of %s runs\n' \
    "$(awk '{ print $4 }' "$work/clock.txt" | median)" "$(awk '{ print $6 }' "$work/clock.txt" | median)" \
    "$(awk '$7 > 0' "$work/clock.txt" | wc -l)" "$runs"
