#!/bin/bash
# Runs a command on a private virtual desktop and exits with its code.
#
#   with_desktop.sh COMMAND [ARGS...]
#
# Starts a virtual X server on a display number the server picks itself (so
# runs in parallel never collide), a window manager and a system tray on it,
# then runs the command with DISPLAY, a fresh private XDG_RUNTIME_DIR and
# QT_QPA_PLATFORM=xcb. Everything it started is stopped when it ends.
#
# With DESKTOP_TRAY=none the desktop starts without a tray, for tests that
# start one themselves later: TRAY_HOST_COMMAND holds the command line of
# the tray used here.
#
# Keys repeat only with DESKTOP_KEY_REPEAT=on: on a loaded machine xdotool
# can be held up between a key's press and its release for longer than the
# repeat delay, and a typed letter would come twice.
set -u

if [ $# -lt 1 ]; then
    echo "usage: $0 COMMAND [ARGS...]" >&2
    exit 2
fi

for tool in Xvfb openbox trayer xprop xwininfo; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "with_desktop.sh: '$tool' is not installed; the desktop tests need" \
             "xvfb, openbox, trayer and x11-utils" >&2
        exit 1
    fi
done

workdir=$(mktemp -d "${TMPDIR:-/tmp}/with_desktop.XXXXXX") || exit 1
chmod 700 "$workdir"
started=()

stop_all() {
    local i
    for ((i = ${#started[@]} - 1; i >= 0; i--)); do
        kill "${started[i]}" 2>/dev/null
    done
    for pid in "${started[@]}"; do
        wait "$pid" 2>/dev/null
    done
    rm -rf "$workdir"
}
trap stop_all EXIT
trap 'exit 130' INT TERM

fail() {
    echo "with_desktop.sh: $1" >&2
    for log in "$workdir"/*.log; do
        [ -s "$log" ] && { echo "--- $(basename "$log")" >&2; tail -n 20 "$log" >&2; }
    done
    exit 1
}

# Polls a condition every 0.1 s for up to the given number of seconds.
wait_for() {
    local end=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < end)) || return 1
        sleep 0.1
    done
}

# The X server writes its display number to the descriptor once it accepts
# connections; the window manager says on the root window when it manages
# the screen. A server started at the same moment elsewhere on the machine
# can leave this one's clients without their display: then both are
# stopped and started again.
xvfb_pid=""
wm_pid=""
display_known() { ! kill -0 "$xvfb_pid" 2>/dev/null || grep -qs '^[0-9][0-9]*$' "$workdir/display"; }
wm_known() { ! kill -0 "$wm_pid" 2>/dev/null || xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
repeat_delay=60000
[ "${DESKTOP_KEY_REPEAT:-}" = on ] && repeat_delay=660
start_desktop() {
    : >"$workdir/display"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -ardelay "$repeat_delay" 3>"$workdir/display" \
        >"$workdir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    wait_for 30 display_known && kill -0 "$xvfb_pid" 2>/dev/null || return 1
    export DISPLAY=":$(head -n 1 "$workdir/display")"
    openbox --sm-disable >"$workdir/openbox.log" 2>&1 &
    wm_pid=$!
    wait_for 30 wm_known && kill -0 "$wm_pid" 2>/dev/null
}
for attempt in 1 2 3; do
    start_desktop && break
    kill ${wm_pid:+"$wm_pid"} "$xvfb_pid" 2>/dev/null
    wait ${wm_pid:+"$wm_pid"} "$xvfb_pid" 2>/dev/null
    [ "$attempt" = 3 ] && fail "the X server and the window manager did not start"
done
started+=("$xvfb_pid" "$wm_pid")
unset WAYLAND_DISPLAY

export TRAY_HOST_COMMAND="trayer --edge bottom --align right --widthtype request --height 24 \
--transparent false --SetDockType true --SetPartialStrut true"
if [ "${DESKTOP_TRAY:-}" != none ]; then
    $TRAY_HOST_COMMAND >"$workdir/trayer.log" 2>&1 &
    started+=("$!")
    tray_ready() { xwininfo -root -tree 2>/dev/null | grep -qi '"panel"\|trayer'; }
    wait_for 30 tray_ready || echo "with_desktop.sh: the tray did not show up; going on without it" >&2
fi

mkdir -m 700 "$workdir/runtime"
export XDG_RUNTIME_DIR="$workdir/runtime"
export QT_QPA_PLATFORM=xcb

"$@"
status=$?
exit "$status"
