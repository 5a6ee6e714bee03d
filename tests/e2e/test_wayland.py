#!/usr/bin/env python3
"""Which desktop the program runs on in a Wayland session. Where the session
offers XWayland (DISPLAY is set too) the program runs on X, where it can
place its notes and keep their levels, unless the user chose a platform
through QT_QPA_PLATFORM; without X it runs on Wayland itself. A stand-in
Wayland display here only counts who connects to it, and turns them away."""

import os
import socket
import sys
import threading

import desktop as d

folder, _, _ = d.fresh_folder(sys.argv[1], [d.record_bytes((100, 100, 260, 140))])

WAYLAND = "wayland-cevelmo-test"
listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
listener.bind(os.path.join(os.environ["XDG_RUNTIME_DIR"], WAYLAND))
listener.listen(8)
connections = []


def serve():
    while True:
        client, _ = listener.accept()
        connections.append(client)
        client.close()


threading.Thread(target=serve, daemon=True).start()
session = dict(os.environ, WAYLAND_DISPLAY=WAYLAND, XDG_SESSION_TYPE="wayland")
session.pop("QT_QPA_PLATFORM", None)

p = d.start(folder, env=session)
d.check(d.wait_for(lambda: len(d.note_windows()) == 1), "with XWayland at hand the note shows on the X display")
d.check(connections == [], "the program never connected to the Wayland display")
d.check(d.stop(p) == 0, "SIGTERM ends the program")

# The user's own choice of platform stands.
p = d.start(folder, env=dict(session, QT_QPA_PLATFORM="wayland"))
d.check(d.wait_for(lambda: connections), "with QT_QPA_PLATFORM=wayland the program goes to the Wayland display")
d.check(p.wait(30) != 0 and d.note_windows() == [], "turned away there, it ends without a window on X")

# Without X it runs on Wayland itself.
before = len(connections)
bare = dict(session)
bare.pop("DISPLAY")
p = d.start(folder, env=bare)
d.check(d.wait_for(lambda: len(connections) > before), "without DISPLAY the program goes to the Wayland display")
d.check(p.wait(30) != 0, "turned away there, it ends")
