# Shared by the scripts that run at install time: a folder given absolute or
# relative to the prefix, made absolute. Before DESTDIR, as the installed
# program will see it.
function(cevelmo_under_prefix out path)
  if(IS_ABSOLUTE "${path}")
    set(${out} "${path}" PARENT_SCOPE)
  else()
    get_filename_component(prefix "${CMAKE_INSTALL_PREFIX}" ABSOLUTE)
    set(${out} "${prefix}/${path}" PARENT_SCOPE)
  endif()
endfunction()
