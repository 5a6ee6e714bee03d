# Runs last when the program is installed straight into its prefix (no
# DESTDIR): keeps the list of the installed files, one absolute path a
# line, itself included, as <share>/installed-files, where
# scripts/uninstall.sh finds it once the build folder is gone. Needs
# CEVELMO_SHARE_DIR, absolute or relative to the prefix.

if(NOT "$ENV{DESTDIR}" STREQUAL "")
  return()
endif()
include("${CMAKE_CURRENT_LIST_DIR}/install_paths.cmake")
cevelmo_under_prefix(share_folder "${CEVELMO_SHARE_DIR}")
set(list_file "${share_folder}/installed-files")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${list_file}")
list(REMOVE_DUPLICATES CMAKE_INSTALL_MANIFEST_FILES)
list(JOIN CMAKE_INSTALL_MANIFEST_FILES "\n" lines)
message(STATUS "Installing: ${list_file}")
file(WRITE "${list_file}" "${lines}\n")
