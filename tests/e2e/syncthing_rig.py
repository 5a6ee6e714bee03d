"""Two Syncthing instances on this machine that keep two folders in step as
one shared folder, for the end-to-end tests of notes kept on two computers.

Nothing may leave the machine, and Syncthing's defaults reach out at the
first start (global discovery, relays, STUN and NAT traversal, usage and
crash reports, upgrade checks; local discovery broadcasts to the network).
So each configuration is rewritten between `syncthing generate` and the
first `syncthing serve`: an instance is never started from a default
configuration. Each one listens for its peer and serves its REST API (with
an API key) on 127.0.0.1 only, at ports chosen free at run time, and is
started and ended by its process id. Whatever is still running when the
test ends is killed with the test's other helpers."""

import ctypes
import json
import os
import random
import signal
import socket
import subprocess
import urllib.request
import xml.etree.ElementTree as ET

import desktop as d

FOLDER = "notes"
OFFLINE_OPTIONS = (
    ("globalAnnounceEnabled", "false"), ("localAnnounceEnabled", "false"), ("relaysEnabled", "false"),
    ("natEnabled", "false"), ("announceLANAddresses", "false"), ("stunKeepaliveStartS", "0"),
    ("stunKeepaliveMinS", "0"), ("urAccepted", "-1"), ("urSeen", "3"), ("crashReportingEnabled", "false"),
    ("autoUpgradeIntervalH", "0"), ("startBrowser", "false"))
# Servers that the options above leave unused: emptied all the same.
UNUSED_SERVERS = ("globalAnnounceServer", "stunServer", "releasesURL", "urURL", "crURL")
# No proxy from the environment, for Syncthing's connections and for ours.
ENVIRONMENT = {k: v for k, v in os.environ.items() if not k.lower().endswith("_proxy")}
ENVIRONMENT.update(STNODEFAULTFOLDER="1", STNOUPGRADE="1", STNORESTART="1",
                   STMONITORED="yes")  # no monitor process: the process id is the instance's own
_opener = urllib.request.build_opener(urllib.request.ProxyHandler({}))
_ports = set()


def free_port():
    """A port on 127.0.0.1 that nothing listens on, below the range the kernel
    hands out to outgoing connections, so that none takes it meanwhile."""
    while True:
        port = random.randint(20000, 32000)
        with socket.socket() as s:
            try:
                s.bind(("127.0.0.1", port))
            except OSError:
                continue
        if port not in _ports:
            _ports.add(port)
            return port


def _end_with_parent():
    """In the instance's process before it starts: the kernel kills it when
    the test's process ends, however that ends (a timeout's SIGKILL too)."""
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def _set(parent, name, value):
    element = parent.find(name)
    if element is None:
        element = ET.SubElement(parent, name)
    element.text = value


class Peer:
    """One instance: its home, its shared folder, its device id and ports."""

    def __init__(self, name, folder):
        self.name, self.folder = name, folder
        self.home = d.scratch_folder("syncthing-%s-" % name)
        subprocess.run(["syncthing", "generate", "--home=" + self.home, "--no-default-folder"],
                       env=ENVIRONMENT, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.config = ET.parse(os.path.join(self.home, "config.xml"))
        self.id = self.config.getroot().find("device").get("id")
        self.port, self.gui_port = free_port(), free_port()
        self.key = "cevelmo-test-%s-%d" % (name, random.getrandbits(64))
        self.api = "http://127.0.0.1:%d" % self.gui_port
        self.log = d.log_file("syncthing-%s-" % name)
        self.process = None

    def configure(self):
        """Rewrites the configuration before the first start: offline, and
        the REST API on loopback with our API key."""
        root = self.config.getroot()
        options = root.find("options")
        for name, value in OFFLINE_OPTIONS:
            _set(options, name, value)
        for element in (e for name in UNUSED_SERVERS for e in options.findall(name)):
            element.text = ""
        _set(options, "listenAddress", "tcp://127.0.0.1:%d" % self.port)
        gui = root.find("gui")
        gui.find("address").text = "127.0.0.1:%d" % self.gui_port
        _set(gui, "apikey", self.key)
        self.config.write(os.path.join(self.home, "config.xml"))

    def share(self, other):
        """Adds the other instance, at its loopback address, and the folder
        shared with it, both from Syncthing's own defaults (conflict copies
        kept, as a user's Syncthing keeps them); whether both were taken."""
        device = self.rest("/rest/config/defaults/device")
        folder = self.rest("/rest/config/defaults/folder")
        if device is None or folder is None:
            return False
        device.update(deviceID=other.id, name=other.name, addresses=["tcp://127.0.0.1:%d" % other.port])
        folder.update(id=FOLDER, label=FOLDER, path=self.folder, type="sendreceive", fsWatcherDelayS=1,
                      devices=[{"deviceID": self.id}, {"deviceID": other.id}])
        return (self.rest("/rest/config/devices/" + other.id, "PUT", device) is not None
                and self.rest("/rest/config/folders/" + FOLDER, "PUT", folder) is not None)

    def start(self):
        with open(self.log, "wb") as log:
            self.process = subprocess.Popen(
                ["syncthing", "serve", "--home=" + self.home, "--no-browser", "--no-restart"],
                env=ENVIRONMENT, stdout=log, stderr=subprocess.STDOUT, start_new_session=True,
                preexec_fn=_end_with_parent)
        d.add_helper(self.process)

    def rest(self, path, method="GET", body=None):
        """The answer of the REST API, decoded; None when it did not answer."""
        request = urllib.request.Request(self.api + path, method=method, headers={"X-API-Key": self.key},
                                         data=None if body is None else json.dumps(body).encode())
        try:
            with _opener.open(request, timeout=30) as response:
                text = response.read()
        except OSError:
            return None
        return json.loads(text) if text.strip() else {}

    def connected(self, other):
        connections = self.rest("/rest/system/connections") or {}
        return connections.get("connections", {}).get(other.id, {}).get("connected", False)

    def settled_view(self, other):
        """What this side counts in the shared folder once it has scanned it,
        needs nothing and knows that the other side needs nothing it has;
        None before."""
        if self.rest("/rest/db/scan?folder=" + FOLDER, "POST") is None or not self.connected(other):
            return None
        status = self.rest("/rest/db/status?folder=" + FOLDER) or {}
        completion = self.rest("/rest/db/completion?folder=%s&device=%s" % (FOLDER, other.id)) or {}
        if (status.get("state") != "idle" or status.get("needTotalItems") != 0 or completion.get("completion") != 100
                or completion.get("needItems") != 0 or completion.get("needDeletes") != 0):
            return None
        return status.get("globalFiles"), status.get("globalDeleted"), status.get("globalBytes")

    def sockets(self):
        """Local and remote addresses of this instance's TCP and UDP sockets."""
        lines = d.run("ss", "-tuanpH").splitlines()
        return [tuple(line.split()[4:6]) for line in lines if "pid=%d," % self.process.pid in line]


class Rig:
    """Two instances that share folder_a and folder_b as one folder. Each
    folder gets the ignore lines first, which Syncthing reads from it."""

    def __init__(self, folder_a, folder_b, ignore_lines):
        self.a, self.b = Peer("a", folder_a), Peer("b", folder_b)
        for me in (self.a, self.b):
            with open(os.path.join(me.folder, ".stignore"), "w") as f:
                f.write("\n".join(ignore_lines) + "\n")
            me.configure()
            me.start()
        for me, other in ((self.a, self.b), (self.b, self.a)):
            if not d.wait_for(lambda: me.share(other), 60, 0.2):
                self.fail("Syncthing %s did not take the other instance and the folder" % me.name)
        if not d.wait_for(lambda: self.a.connected(self.b) and self.b.connected(self.a), 60, 0.2):
            self.fail("the two Syncthing instances did not connect over loopback")

    def fail(self, message):
        for me in (self.a, self.b):
            print("--- Syncthing %s (pid %d):\n%s" % (me.name, me.process.pid,
                  d.read(me.log, b"").decode("utf-8", "replace")[-4000:]), flush=True)
        d.fail(message)

    def in_sync(self):
        """Both sides settled on the same folder. (Before the first exchange
        each side, knowing nothing of the other's files, is settled alone.)"""
        view = self.a.settled_view(self.b)
        return view is not None and view == self.b.settled_view(self.a)

    def wait_in_sync(self, timeout=60):
        return d.wait_for(self.in_sync, timeout, 0.3)

    def pause(self, paused=True):
        """Pauses (or resumes) the shared folder on both sides; whether both
        say it is paused (or no longer paused)."""
        for me in (self.a, self.b):
            if me.rest("/rest/config/folders/" + FOLDER, "PATCH", {"paused": paused}) is None:
                return False
        # A paused folder has no runner, and no state to tell ("" here).
        state = lambda me: (me.rest("/rest/db/status?folder=" + FOLDER) or {}).get("state", "?")
        return d.wait_for(lambda: all((state(me) in ("", "paused")) == paused for me in (self.a, self.b)), 30)

    def loopback_only(self):
        """Every socket of both instances, on both ends: 127.0.0.1 (or not
        connected); the addresses otherwise."""
        addresses = self.a.sockets() + self.b.sockets()
        loopback = lambda address: address.startswith("127.0.0.1:")
        stray = [(here, there) for here, there in addresses
                 if not loopback(here) or not (loopback(there) or there in ("0.0.0.0:*", "*:*"))]
        return not stray and bool(addresses) or addresses

    def stop(self):
        for me in (self.a, self.b):
            d.stop(me.process)
