# Run by cpack on the staged, stripped programs before it packs them (CPACK_PRE_BUILD_SCRIPTS), so
# that the zip and the Windows Installer package (made from the same folder) hold signed programs.
include(${CMAKE_CURRENT_LIST_DIR}/sign.cmake)
if(netsetup_signing)
  file(GLOB programs ${CPACK_TEMPORARY_DIRECTORY}/*.exe)
  if(NOT programs)
    message(FATAL_ERROR "sign: no programs in ${CPACK_TEMPORARY_DIRECTORY}")
  endif()
  foreach(program IN LISTS programs)
    netsetup_sign(${program})
  endforeach()
else()
  message(STATUS "- not signed: the programs and the package "
                 "(NETSETUP_SIGN_CERT and NETSETUP_SIGN_KEY name a certificate and key to sign them)")
endif()
