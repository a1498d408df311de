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

# The X server, and the programs' settings, the same whatever the calling desktop session's.
exec "$(dirname "$0")/../../tests/app/xsession.py" "$bench" "$@" "$program" "$floor" "$bare"
