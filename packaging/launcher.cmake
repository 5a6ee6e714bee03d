# Runs when the program is installed: writes the launcher of the desktop's
# menus, <datadir>/applications/<id>.desktop, from cevelmo.desktop.in. A
# program in a folder that every login has on its PATH (a system package in
# /usr/bin) is started by its bare name, as Debian wants; one installed
# anywhere else (~/.local/bin, which a login puts on PATH only once it
# exists, or /opt/...) by its full path, so that the menu entry works from
# the first login on. Needs CEVELMO_BINDIR, CEVELMO_DATADIR, CEVELMO_ID and
# CEVELMO_LAUNCHER_TEMPLATE; folders absolute or relative to the prefix.

include("${CMAKE_CURRENT_LIST_DIR}/install_paths.cmake")
cevelmo_under_prefix(program_folder "${CEVELMO_BINDIR}")
cevelmo_under_prefix(data_folder "${CEVELMO_DATADIR}")

if(program_folder MATCHES "^(/usr|/usr/local)?/bin/?$")
  set(CEVELMO_EXEC cevelmo)
else()
  # The desktop entry's rules: a command with a reserved character is
  # quoted, with ", `, $ and \ escaped inside the quotes; every \ of the
  # value is escaped again as a string, and a % is doubled.
  set(exec "${program_folder}/cevelmo")
  string(REPLACE "%" "%%" exec "${exec}")
  if(exec MATCHES "[] \t\n\"'\\\\><~|&;$*?#()`[]")
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" exec "${exec}")
    set(exec "\"${exec}\"")
  endif()
  string(REPLACE "\\" "\\\\" CEVELMO_EXEC "${exec}")
endif()

set(launcher "$ENV{DESTDIR}${data_folder}/applications/${CEVELMO_ID}.desktop")
message(STATUS "Installing: ${launcher}")
configure_file("${CEVELMO_LAUNCHER_TEMPLATE}" "${launcher}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${launcher}")
