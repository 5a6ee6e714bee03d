// An installed copy of the program and an unpacked one.
//
// An installation (cmake --install, or the Debian package) puts the program
// in <prefix>/bin and its own files in <prefix>/share/cevelmo: the help page
// and the install record, a small text file that says that the program was
// installed and in which folder:
//
//   Instl=1
//   InstlDir=/usr/bin
//
// A copy is installed when the record beside it says so and names the
// folder its program file lies in. Its notes and log then live in the user's
// data folder ($XDG_DATA_HOME/cevelmo), since nobody may write into
// <prefix>/bin, and its help page is the installation's. Any other copy (a
// build folder, a folder the user copied the program into, a prefix moved as
// a whole) is unpacked and keeps everything beside the program file.
#pragma once

#include <optional>
#include <string>

// Whether the running copy is installed; set with the paths at start-up.
extern bool installedCopy;

// The reverse-DNS id of the installation: the name of its launcher, of its
// icon and of its entry in the desktop's software centre.
std::u16string ComponentId();

// The installation's own folder for a program file in programFolder
// (<prefix>/share/cevelmo for <prefix>/bin); nullopt when there is none
// above it.
std::optional<std::u16string> InstallationFolder(const std::u16string& programFolder);

// True when the install record says that the program is installed ("Instl"
// a number other than 0) in programFolder ("InstlDir" names it, by this or
// any other path to the same folder). A missing or unreadable record, or
// one that lacks either value, says no.
bool IsInstalled(const std::u16string& programFolder);

// The folder an installed copy keeps its data and log in, inside the user's
// data folder; nullopt when the desktop names no such folder.
std::optional<std::u16string> UserDataFolder();

// The icon file the program's launchers show: the installation's scalable
// icon for an installed copy, CeVelmo.svg beside an unpacked program. Empty
// before the paths are set.
std::u16string ProgramIconPath();
