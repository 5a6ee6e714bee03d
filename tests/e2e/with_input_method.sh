#!/bin/bash
# Runs a command with a Japanese input method: fcitx5 (IBus with
# CEVELMO_INPUT_METHOD=ibus) with the Anthy engine and Qt's module for it, in
# a D-Bus session and a home folder of its own, so that the user's input
# method and settings are never touched. Run it on a desktop (inside
# with_desktop.sh); exits with the command's code.
#
#   with_input_method.sh COMMAND [ARGS...]
set -u

if [ $# -lt 1 ]; then
    echo "usage: $0 COMMAND [ARGS...]" >&2
    exit 2
fi
for tool in fcitx5 dbus-run-session dbus-send; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "with_input_method.sh: '$tool' is not installed; the input-method tests need" \
             "fcitx5, fcitx5-anthy, fcitx5-frontend-qt6 and dbus-x11" >&2
        exit 1
    fi
done

# A private bus of our own: the first run starts one and runs again inside it.
if [ -z "${CEVELMO_IN_PRIVATE_BUS:-}" ]; then
    export CEVELMO_IN_PRIVATE_BUS=1
    exec dbus-run-session -- "$0" "$@"
fi

home=$(mktemp -d "${TMPDIR:-/tmp}/with_input_method.XXXXXX") || exit 1
fcitx_pid=""
stop_all() {
    [ -n "$fcitx_pid" ] && kill "$fcitx_pid" 2>/dev/null && wait "$fcitx_pid" 2>/dev/null
    rm -rf "$home"
}
trap stop_all EXIT
trap 'exit 130' INT TERM

export HOME="$home"
export XDG_CONFIG_HOME="$home/.config"

if [ "${CEVELMO_INPUT_METHOD:-fcitx}" = ibus ]; then
    # The US layout and Anthy, the layout in use, as a desktop's IBus panel
    # sets them at the start of a session. Anthy's engine is a Python
    # program of Debian's: Debian's python3 first.
    gsettings set org.freedesktop.ibus.general preload-engines "['xkb:us::eng', 'anthy']"
    PATH="/usr/bin:$PATH" ibus-daemon --panel=disable >"$home/ibus.log" 2>&1 &
    fcitx_pid=$!  # the input method's, whichever it is
    for _ in $(seq 300); do
        ibus engine xkb:us::eng >/dev/null 2>&1 && break
        sleep 0.1
    done
    ibus engine xkb:us::eng >/dev/null 2>&1 || { echo "IBus (ibus, ibus-anthy) did not start" >&2; tail "$home/ibus.log" >&2; exit 1; }
    export QT_IM_MODULE=ibus XMODIFIERS=@im=ibus
    "$@"
    exit
fi
mkdir -p "$XDG_CONFIG_HOME/fcitx5"
# One group: the US keyboard when closed, Anthy when open.
cat >"$XDG_CONFIG_HOME/fcitx5/profile" <<'PROFILE'
[Groups/0]
Name=Default
Default Layout=us
DefaultIM=anthy

[Groups/0/Items/0]
Name=keyboard-us
Layout=

[Groups/0/Items/1]
Name=anthy
Layout=

[GroupOrder]
0=Default
PROFILE

fcitx5 --disable=wayland >"$home/fcitx5.log" 2>&1 &
fcitx_pid=$!
# Asking the bus who owns the name, not fcitx itself: a call to fcitx's name
# before it is taken would have the bus start a second fcitx5.
answers() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.fcitx.Fcitx5 2>/dev/null | grep -q 'boolean true'
}
for _ in $(seq 100); do
    answers && break
    kill -0 "$fcitx_pid" 2>/dev/null || break
    sleep 0.1
done
if ! answers; then
    echo "with_input_method.sh: fcitx5 did not start" >&2
    tail -n 20 "$home/fcitx5.log" >&2
    exit 1
fi

export QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx
"$@"
