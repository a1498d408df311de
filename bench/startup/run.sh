#!/bin/bash
# Start-up benchmark on a private Xvfb: ferolune against the floor window (one
# CJK label) and a bare Qt window.
#
#   bench/startup/run.sh BUILD_DIR [startup_bench options...]
#
# e.g. bench/startup/run.sh build/release --runs 20
# FEROLUNE=path/to/ferolune measures another build of the program against the
# same yardsticks (e.g. an older commit's).

set -u

build=${1:?usage: run.sh BUILD_DIR [options]}
shift

bench=$build/bench/startup/startup_bench
bare=$build/bench/startup/bare_window
floor=$build/bench/startup/floor_window
program=${FEROLUNE:-$build/app/ferolune}
for f in "$bench" "$bare" "$floor" "$program"; do
    [[ -x $f ]] || { echo "run.sh: $f is not built" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

exec 3>"$work/display"
setpriv --pdeathsig TERM Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
[[ -s $work/display ]] || { cat "$work/xvfb.log" >&2; echo "run.sh: Xvfb did not start" >&2; exit 1; }

# Both programs start the same way whatever the calling desktop session sets.
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING \
    QT_FONT_DPI QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE WAYLAND_DISPLAY
export DISPLAY=:$(head -n1 "$work/display")
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$bench" "$@" "$program" "$floor" "$bare"
