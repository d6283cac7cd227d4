# Run by cpack once the zip is made (CPACK_POST_BUILD_SCRIPTS): wixl builds the Windows Installer
# package from the same staged, stripped files, beside the zip. `cpack -D CPACK_PACKAGE_VERSION=X
# -D CPACK_PACKAGE_FILE_NAME=Y` makes a package of another version from the same programs.

# Windows Installer compares versions as three numbers up to 255.65535.65535.
if(NOT CPACK_PACKAGE_VERSION MATCHES "^([0-9]+)[.]([0-9]+)([.]([0-9]+))?$"
   OR CMAKE_MATCH_1 GREATER 255 OR CMAKE_MATCH_2 GREATER 255 OR CMAKE_MATCH_4 GREATER 65535)
  message(FATAL_ERROR "msi: version '${CPACK_PACKAGE_VERSION}' is not MAJOR.MINOR[.BUILD] within "
                      "255.255.65535; set a version Windows Installer can compare")
endif()
set(version ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.0)
if(NOT "${CMAKE_MATCH_4}" STREQUAL "")
  set(version ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_4})
endif()

set(msi ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi)
# wixl looks for a file's Source only relative to the current folder: the staged programs' one,
# where the icon joins them (the zip is already made).
file(COPY ${CPACK_NETSETUP_ICON} DESTINATION ${CPACK_TEMPORARY_DIRECTORY})
execute_process(
  COMMAND ${CPACK_NETSETUP_WIXL} --arch x86 -D Version=${version} -o ${msi} ${CPACK_NETSETUP_WXS}
  WORKING_DIRECTORY ${CPACK_TEMPORARY_DIRECTORY}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${msi})
  message(FATAL_ERROR "msi: wixl could not build ${msi} from ${CPACK_NETSETUP_WXS} (exit ${status}); see above")
endif()

# wixl knows no Environment element, so the PATH entry of the PathEntry component goes in here,
# as WiX writes it: "=-*PATH" sets the system variable and takes the part off again on uninstall,
# "[~];" keeps what PATH held before it.
execute_process(
  COMMAND ${CPACK_NETSETUP_MSIBUILD} ${msi} -q
          "CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)"
          -q "INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES ('PATH', '=-*PATH', '[~];[INSTALLDIR]', 'PathEntry')"
          -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)"
          -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${msi})
  message(FATAL_ERROR "msi: msibuild could not add the PATH entry to ${msi} (exit ${status}); see above")
endif()
message(STATUS "- package: ${msi} generated.")
