#!/bin/bash
# Started where there is no window system to open, the program says so in one
# line, in Chinese and English, naming what is missing, and ends with status 1:
# no abort, no core dump, no advice to reinstall.
#
#   no_display.sh PROGRAM

set -u

program=$1
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT

# A display number no X server here answers on.
unused=4242
while [[ -e /tmp/.X11-unix/X$unused || -e /tmp/.X$unused-lock ]]; do
    unused=$((unused + 1))
done

failures=0
# run SECONDS [VARIABLE=VALUE...] [env -u VARIABLE]: runs the program with only those display
# settings and an empty runtime folder (unless they unset it), for at most SECONDS; leaves its exit
# status in $status, what it wrote to standard output in $output and to
# standard error in $said.
run() {
    local seconds=$1
    shift
    output=$(env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE \
        XDG_RUNTIME_DIR="$runtime" "$@" timeout "$seconds" "$program" 2>"$runtime/said" </dev/null)
    status=$?
    said=$(<"$runtime/said")
}

# expect NAME EXPECTED_LINE VARIABLE=VALUE...: the line on standard error,
# nothing on standard output, status 1.
expect() {
    local name=$1 expected=$2
    shift 2
    run 20 "$@"
    if [[ $status == 1 && $said == "$expected" && -z $output ]]; then
        echo "ok - $name: status 1, \"$said\" on standard error"
    else
        echo "FAIL: $name: status $status, expected 1; said on standard error:" >&2
        echo "$said" >&2
        echo "and on standard output:" >&2
        echo "$output" >&2
        echo "expected on standard error: $expected" >&2
        failures=$((failures + 1))
    fi
}

expect "no display at all" \
    "ferolune: 没有可用的图形显示（未设置 DISPLAY，未设置 WAYLAND_DISPLAY）; no display to open (DISPLAY is not set, WAYLAND_DISPLAY is not set)"
# Root in a container or over ssh: no runtime folder for a compositor's socket.
expect "no display and no runtime folder" \
    "ferolune: 没有可用的图形显示（未设置 DISPLAY，未设置 WAYLAND_DISPLAY）; no display to open (DISPLAY is not set, WAYLAND_DISPLAY is not set)" \
    env -u XDG_RUNTIME_DIR
expect "an X display that does not answer" \
    "ferolune: 没有可用的图形显示（DISPLAY=:$unused 无法连接，未设置 WAYLAND_DISPLAY）; no display to open (DISPLAY=:$unused does not answer, WAYLAND_DISPLAY is not set)" \
    DISPLAY=:$unused
expect "X11 asked for, no DISPLAY" \
    "ferolune: 没有可用的图形显示（未设置 DISPLAY）; no display to open (DISPLAY is not set)" \
    QT_QPA_PLATFORM=xcb
expect "Wayland asked for, a compositor that does not answer" \
    "ferolune: 没有可用的图形显示（WAYLAND_DISPLAY=wayland-9 无法连接）; no display to open (WAYLAND_DISPLAY=wayland-9 does not answer)" \
    QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=wayland-9

# A platform that needs no display starts as usual: still running when stopped.
run 3 QT_QPA_PLATFORM=offscreen
if [[ $status == 124 ]]; then
    echo "ok - the offscreen platform, no display: the program starts"
else
    echo "FAIL: the offscreen platform, no display: status $status, not still running; said: $said" >&2
    failures=$((failures + 1))
fi

((failures == 0)) || exit 1
