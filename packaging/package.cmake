# The Debian package (cpack -G DEB in the build folder): the files of an
# installation under /usr, the program stripped of its debugging symbols,
# with the libraries it links found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME cevelmo)
set(CPACK_PACKAGE_VERSION ${CEVELMO_VERSION})
# The install record must name /usr/bin, not the folder the package is
# staged in: the installation runs with DESTDIR and the real prefix.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "CeVelmo Maintainers <maintainers@cevelmo.example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its desktop plug-in (xcb) at run time, so no library the program
# links names its package.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# What makes the program whole without being needed to run it: Japanese
# glyphs for the notes and menus; Japanese buttons in Qt's own dialogs (the
# message boxes, the colour and file choosers); an input method to write
# Japanese; xdg-open for the help page, the log and the software centre.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-noto-cjk, qt6-translations-l10n, fcitx5-anthy | ibus-anthy | ibus-mozc | fcitx5-mozc, xdg-utils")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sticky notes that float on the desktop")
# The summary is the description's first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "CeVelmo (付箋紙) puts sticky notes on the desktop. Each note is a small
borderless window with its own text, colours and font that floats above,
among or below the other windows. A tray icon and a hotkey reach everything
else: new notes, the list of hidden notes, hiding and showing all of them,
the log of peeled-off notes, settings and help.
.
The user interface is Japanese. The notes are kept in the user's data
folder (~/.local/share/cevelmo).")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://cevelmo.example.org/")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
