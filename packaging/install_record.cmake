# Runs when the program is installed (cmake --install, or while the Debian
# package is made): writes the install record, <share>/install-record, which
# tells the program that it was installed and in which folder.
#
#   Instl=1
#   InstlDir=<the folder of the installed program file>
#
# The program counts as installed only when the record names the folder its
# program file lies in; a copy of the program elsewhere, or a prefix moved as
# a whole, is an unpacked copy. Needs CEVELMO_BINDIR and CEVELMO_SHARE_DIR,
# each absolute or relative to the prefix.

include("${CMAKE_CURRENT_LIST_DIR}/install_paths.cmake")

cevelmo_under_prefix(program_folder "${CEVELMO_BINDIR}")
cevelmo_under_prefix(share_folder "${CEVELMO_SHARE_DIR}")
# The running program knows its folder by its real path (no symbolic links),
# so the record names it so when the folder is already where it will run
# from; a staged installation (DESTDIR, as for the package) names the
# folder as given.
if("$ENV{DESTDIR}" STREQUAL "" AND IS_DIRECTORY "${program_folder}")
  file(REAL_PATH "${program_folder}" program_folder)
endif()

set(record "$ENV{DESTDIR}${share_folder}/install-record")
message(STATUS "Installing: ${record}")
file(WRITE "${record}"
  "# Written by the installation of CeVelmo: the program counts as installed\n"
  "# when InstlDir names the folder its program file lies in.\n"
  "Instl=1\n"
  "InstlDir=${program_folder}\n")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${record}")
