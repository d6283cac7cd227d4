# Installable packages, made by cpack from the install rules below: on Linux a Debian package
# (`cmake --build BUILD --target package`, or `cpack -G DEB` in BUILD), on Windows a zip of the
# two programs and a README and, from the same files, a Windows Installer package (the same, or
# `cpack -G ZIP`).

set(netsetup_packaging ${PROJECT_SOURCE_DIR}/packaging)

set(CPACK_PACKAGE_NAME netsetup)
set(CPACK_PACKAGE_VENDOR "netsetup authors")
set(CPACK_PACKAGE_CONTACT "netsetup maintainers <netsetup@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "read and change the network settings of VRN-207K instruments")
set(CPACK_STRIP_FILES ON)
# `package_source` would otherwise pack every build folder of the tree.
set(CPACK_SOURCE_IGNORE_FILES "/[.]git/" "/build[^/]*/")

if(WIN32)
  install(TARGETS netsetup-cli RUNTIME DESTINATION .)
  if(TARGET netsetup)
    install(TARGETS netsetup RUNTIME DESTINATION .)
  endif()
  # Notepad before Windows 10 shows bare LF line ends as one long line, and takes the text for
  # UTF-8 only by the byte-order mark the source file starts with.
  configure_file(${netsetup_packaging}/README-windows.txt ${CMAKE_BINARY_DIR}/packaging/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME netsetup-${PROJECT_VERSION}-win32)

  find_program(NETSETUP_WIXL wixl REQUIRED)          # Debian's wixl
  find_program(NETSETUP_MSIBUILD msibuild REQUIRED)  # Debian's msitools
  set(CPACK_NETSETUP_WIXL ${NETSETUP_WIXL})
  set(CPACK_NETSETUP_MSIBUILD ${NETSETUP_MSIBUILD})
  set(CPACK_NETSETUP_ICON ${NETSETUP_ICON})
  # The package's product code is derived from it and the version (msi.cmake).
  set(CPACK_NETSETUP_UPGRADE_CODE 115902E4-9442-43E3-8819-49FAC5F3909C)
  # The programs' version resource (cmake/WindowsResources.cmake), for the File table, and the
  # window's title (src/window/Controls.h), which names its Start-menu entry.
  set(CPACK_NETSETUP_FILE_VERSION ${NETSETUP_VERSION_QUAD})
  set(CPACK_NETSETUP_WINDOW_TITLE "Настройка сети VRN-207K")
  set(CPACK_NETSETUP_WXS ${CMAKE_BINARY_DIR}/packaging/netsetup.wxs)
  configure_file(${netsetup_packaging}/win32/netsetup.wxs.in ${CPACK_NETSETUP_WXS} @ONLY)
  # Signed when the environment names a certificate and key (packaging/win32/sign.cmake).
  set(CPACK_PRE_BUILD_SCRIPTS ${netsetup_packaging}/win32/sign-programs.cmake)
  set(CPACK_POST_BUILD_SCRIPTS ${netsetup_packaging}/win32/msi.cmake)
else()
  include(GNUInstallDirs)
  install(TARGETS netsetup-cli netsetup-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(manpages netsetup-sim)
  if(TARGET netsetup)
    install(TARGETS netsetup RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${netsetup_packaging}/netsetup.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${netsetup_packaging}/netsetup.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    list(APPEND manpages netsetup)
  endif()

  # Man pages and the changelog go in gzip-compressed, without a name or time stamp inside,
  # so the same sources make the same package.
  set(gzipped)
  foreach(page IN LISTS manpages)
    configure_file(${netsetup_packaging}/man/${page}.1 ${CMAKE_BINARY_DIR}/packaging/${page}.1 @ONLY)
  endforeach()
  # netsetup-cli's is written by the build, from the tables its --help comes from.
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/packaging/netsetup-cli.1
                     COMMAND netsetup-cli-man ${CMAKE_BINARY_DIR}/packaging/netsetup-cli.1
                     DEPENDS netsetup-cli-man VERBATIM)
  list(APPEND manpages netsetup-cli)
  foreach(page IN LISTS manpages)
    list(APPEND gzipped ${CMAKE_BINARY_DIR}/packaging/${page}.1)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  # A package whose version has no Debian revision is a native one: its changelog is changelog.gz.
  configure_file(${netsetup_packaging}/changelog ${CMAKE_BINARY_DIR}/packaging/changelog COPYONLY)
  list(APPEND gzipped ${CMAKE_BINARY_DIR}/packaging/changelog)
  set(gzip_outputs)
  foreach(file IN LISTS gzipped)
    add_custom_command(OUTPUT ${file}.gz COMMAND gzip -9nkf ${file} DEPENDS ${file} VERBATIM)
    list(APPEND gzip_outputs ${file}.gz)
  endforeach()
  add_custom_target(netsetup_package_docs ALL DEPENDS ${gzip_outputs})

  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${netsetup_packaging}/copyright
                ${CMAKE_BINARY_DIR}/packaging/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR})

  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_PRE_BUILD_SCRIPTS ${netsetup_packaging}/folder-permissions.cmake)
  # CPack puts the summary above this as the description's first line.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "A service engineer's tool to read and change the network settings of a
VRN-207K field instrument over its serial line or over TCP: the Ethernet
unit (address, mask, gateway, port, DHCP), the dispatch server it reports
to, and the USB modem's access point.

The package holds the window (netsetup), a command-line tool for scripts
and commissioning many instruments (netsetup-cli: backup, verified write,
diff, scan, worklists), and a simulated instrument (netsetup-sim) to try
both without hardware.")
endif()

include(CPack)
