#!/usr/bin/env python3
"""The Debian package, made from a build folder as a user makes it
(cpack -G DEB), and what it holds: its control fields with the libraries
found by dpkg-shlibdeps, every file of the install layout and nothing else,
the icon at each size, a launcher that desktop-file-validate accepts, an
AppStream entry that appstreamcli accepts, the install record naming
/usr/bin, a manual page that man renders without a warning, and no error
from lintian.

    test_deb.py BUILD_FOLDER"""

import glob
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

ID = "org.example.cevelmo"
SIZES = (16, 24, 32, 48, 64, 128, 256)


def check(condition, message, detail=""):
    """Prints the check; what went wrong (detail) only when it fails."""
    if not condition:
        print("FAIL: %s %s" % (message, detail), flush=True)
        sys.exit(1)
    print("ok: " + message, flush=True)


def run(*args, **kwargs):
    return subprocess.run(args, capture_output=True, text=True, **kwargs)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


build = os.path.abspath(sys.argv[1])
work = tempfile.mkdtemp(prefix="cevelmo-deb-")
try:
    # A folder of its own for the package, so that an older package lying in
    # the build folder is never the one checked.
    made = run("cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"),
               "-B", os.path.join(work, "out"))
    debs = glob.glob(os.path.join(work, "out", "cevelmo_*.deb"))
    check(made.returncode == 0 and len(debs) == 1, "cpack -G DEB makes one package", "%s%s" % (debs, made.stderr))
    deb = debs[0]

    root = os.path.join(work, "root")
    check(run("dpkg-deb", "-x", deb, root).returncode == 0, "the package unpacks")
    field = lambda name: run("dpkg-deb", "-f", deb, name).stdout.strip()
    program = os.path.join(root, "usr/bin/cevelmo")
    version = run(program, "--version").stdout.strip()
    check(version == "CeVelmo " + field("Version"),
          "the package's version is the program's: %r, %r" % (field("Version"), version))
    check(os.path.basename(deb) == "cevelmo_%s_%s.deb" % (field("Version"), field("Architecture")),
          "the package file is named the Debian way: " + os.path.basename(deb))
    depends = field("Depends")
    libraries = ("libqt6widgets6", "libqt6gui6", "libqt6core6", "libc6", "qt6-qpa-plugins")
    check(all(re.search(r"(^|, )%s( |,|$)" % re.escape(name), depends) for name in libraries),
          "it depends on the Qt and C libraries it links and on Qt's desktop plug-ins", depends)
    check(field("Section") == "utils" and field("Priority") == "optional", "section utils, priority optional")
    check(re.fullmatch(r".+ <[^@ ]+@[^@ ]+>", field("Maintainer")) is not None,
          "a maintainer with an address: " + field("Maintainer"))
    description = field("Description").splitlines()
    check(len(description) > 2 and "CeVelmo" in description[1], "a summary and a longer description")
    check("stripped" in run("file", "-L", program).stdout and "not stripped" not in run("file", "-L", program).stdout,
          "the program is stripped of its debugging symbols")

    expected = {
        "usr/bin/cevelmo",
        "usr/share/applications/%s.desktop" % ID,
        "usr/share/metainfo/%s.metainfo.xml" % ID,
        "usr/share/icons/hicolor/scalable/apps/%s.svg" % ID,
        "usr/share/cevelmo/CeVelmo.htm",
        "usr/share/cevelmo/install-record",
        "usr/share/man/man1/cevelmo.1.gz",
        "usr/share/doc/cevelmo/copyright",
        "usr/share/doc/cevelmo/changelog.gz",
    } | {"usr/share/icons/hicolor/%dx%d/apps/%s.png" % (n, n, ID) for n in SIZES}
    found = {os.path.relpath(os.path.join(folder, name), root)
             for folder, _, names in os.walk(root) for name in names}
    check(found == expected, "the package holds the install layout and nothing else: extra %s, missing %s"
          % (sorted(found - expected), sorted(expected - found)))

    for n in SIZES:
        path = os.path.join(root, "usr/share/icons/hicolor/%dx%d/apps/%s.png" % (n, n, ID))
        check(png_size(path) == (n, n), "the %d-pixel icon is a %d x %d PNG" % (n, n, n))

    desktop = os.path.join(root, "usr/share/applications/%s.desktop" % ID)
    validated = run("desktop-file-validate", desktop)
    check(validated.returncode == 0 and validated.stdout.strip() == "",
          "desktop-file-validate accepts the launcher without a remark", validated.stdout)
    with open(desktop, encoding="utf-8") as f:
        entry = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
    check(entry.get("Name[ja]") == "付箋紙" and entry.get("Exec") == "cevelmo" and entry.get("Icon") == ID,
          "the launcher is 付箋紙 in Japanese, starts cevelmo and shows the installed icon")
    check(all(entry.get(key) for key in ("Name", "Comment", "Comment[ja]", "Categories", "Keywords")),
          "the launcher has a comment in both languages, categories and keywords")

    metainfo = os.path.join(root, "usr/share/metainfo/%s.metainfo.xml" % ID)
    validated = run("appstreamcli", "validate", "--no-net", "--pedantic", metainfo)
    check(validated.returncode == 0, "appstreamcli validate --no-net --pedantic accepts the metadata",
          validated.stdout)
    with open(metainfo, encoding="utf-8") as f:
        xml = f.read()
    check("<id>%s</id>" % ID in xml and '<launchable type="desktop-id">%s.desktop</launchable>' % ID in xml,
          "the AppStream entry has the component id and launches the launcher")

    with open(os.path.join(root, "usr/share/cevelmo/install-record"), encoding="utf-8") as f:
        record = f.read()
    check(re.search(r"^Instl=1$", record, re.M) and re.search(r"^InstlDir=/usr/bin$", record, re.M),
          "the install record says the program is installed in /usr/bin", record)

    man = run("man", "--warnings", "-E", "UTF-8", "-l", os.path.join(root, "usr/share/man/man1/cevelmo.1.gz"),
              env=dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8"))
    check(man.returncode == 0 and man.stderr.strip() == "", "man renders the manual page without a warning",
          man.stderr)
    check("--help" in man.stdout and "--version" in man.stdout, "the manual page names --help and --version")

    lintian = run("lintian", "--fail-on", "error", deb)
    errors = [line for line in lintian.stdout.splitlines() if line.startswith("E:")]
    check(lintian.returncode == 0 and not errors, "lintian reports no error", errors or lintian.stderr)
    print(lintian.stdout, end="")
finally:
    shutil.rmtree(work, ignore_errors=True)
