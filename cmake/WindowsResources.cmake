# The resources of the Windows programs (packaging/win32/program.rc.in): the one manifest
# (asInvoker, so no program is taken for an installer), the icon the Debian package uses, made
# from packaging/netsetup.svg at build time, and a version block with the project's version.
enable_language(RC)
find_program(NETSETUP_RSVG_CONVERT rsvg-convert REQUIRED)  # Debian's librsvg2-bin
find_program(NETSETUP_ICOTOOL icotool REQUIRED)            # Debian's icoutils

set(netsetup_win32_resources ${CMAKE_BINARY_DIR}/packaging/win32)

# Windows wants four numbers: 0.1 is 0.1.0.0 in the manifest and 0,1,0,0 in the version block.
set(NETSETUP_VERSION_QUAD ${PROJECT_VERSION})
foreach(part PATCH TWEAK)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    string(APPEND NETSETUP_VERSION_QUAD ".0")
  endif()
endforeach()
string(REPLACE "." "," NETSETUP_VERSION_COMMAS ${NETSETUP_VERSION_QUAD})

set(NETSETUP_MANIFEST ${netsetup_win32_resources}/netsetup.manifest)
configure_file(${PROJECT_SOURCE_DIR}/packaging/win32/netsetup.manifest.in ${NETSETUP_MANIFEST} @ONLY)

# The sizes Explorer, the taskbar and the caption ask for at 96 to 192 dpi; the largest is kept
# PNG-compressed, as Windows (from Vista on) reads it.
set(NETSETUP_ICON ${netsetup_win32_resources}/netsetup.ico)
set(svg ${PROJECT_SOURCE_DIR}/packaging/netsetup.svg)
set(small_pngs)
foreach(size 16 20 24 32 40 48 64 256)
  set(png ${netsetup_win32_resources}/icon-${size}.png)
  add_custom_command(OUTPUT ${png} COMMAND ${NETSETUP_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${svg}
                     DEPENDS ${svg} VERBATIM)
  if(size LESS 256)
    list(APPEND small_pngs ${png})
  endif()
endforeach()
add_custom_command(OUTPUT ${NETSETUP_ICON}
                   COMMAND ${NETSETUP_ICOTOOL} -c -o ${NETSETUP_ICON} ${small_pngs} -r ${png}
                   DEPENDS ${small_pngs} ${png} VERBATIM)
add_custom_target(netsetup_icon DEPENDS ${NETSETUP_ICON})

# Gives a program its resources; `description` is what Explorer and the Task Manager show.
function(netsetup_windows_resources target description)
  set(NETSETUP_PROGRAM ${target})
  set(NETSETUP_FILE_DESCRIPTION ${description})
  set(rc ${netsetup_win32_resources}/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/win32/program.rc.in ${rc} @ONLY)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${NETSETUP_MANIFEST};${NETSETUP_ICON}")
  target_sources(${target} PRIVATE ${rc})
  add_dependencies(${target} netsetup_icon)
endfunction()
