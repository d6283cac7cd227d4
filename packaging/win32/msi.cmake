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

# A name-based (version 5) UUID of the version in the upgrade code's namespace: each version has a
# product code of its own, and a rebuild of a version has the same one, so Windows Installer takes
# it for the product already installed instead of putting a second copy beside it.
string(UUID product_code NAMESPACE ${CPACK_NETSETUP_UPGRADE_CODE} NAME ${version} TYPE SHA1 UPPER)

set(msi ${CPACK_PACKAGE_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi)
# wixl looks for a file's Source only relative to the current folder: the staged programs' one,
# where the icon joins them (the zip is already made). msibuild imports tables from the current
# folder: one of their own.
file(COPY ${CPACK_NETSETUP_ICON} DESTINATION ${CPACK_TEMPORARY_DIRECTORY})
set(tables ${CPACK_TEMPORARY_DIRECTORY}-msi)
file(MAKE_DIRECTORY ${tables})
# The Start-menu entry's Cyrillic name needs the strings in a Cyrillic code page.
file(WRITE ${tables}/_ForceCodepage.idt "\r\n\r\n1251\t_ForceCodepage\r\n")
# The package's title, which Explorer shows (wixl writes only "Installation Database").
file(WRITE ${tables}/_SummaryInformation.idt
     "PropertyId\tValue\r\ni2\tl255\r\n_SummaryInformation\tPropertyId\r\n2\tnetsetup Installation Database\r\n")
execute_process(
  COMMAND ${CPACK_NETSETUP_WIXL} --arch x86 -D Version=${version} -D ProductCode=${product_code} -o ${msi} ${CPACK_NETSETUP_WXS}
  WORKING_DIRECTORY ${CPACK_TEMPORARY_DIRECTORY}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${msi})
  message(FATAL_ERROR "msi: wixl could not build ${msi} from ${CPACK_NETSETUP_WXS} (exit ${status}); see above")
endif()

# What wixl cannot write, as WiX writes it:
# - the PATH entry of the PathEntry component: "=-*PATH" sets the system variable and takes the
#   part off again on uninstall, "[~];" keeps what PATH held before it;
# - the places of the custom actions of netsetup.wxs.in in the sequences;
# - the Start-menu entry, named as the window is, not advertised (the file itself, not a request to
#   Windows Installer), "netsetup" as its short name;
# - the two programs' version and language, so that a repair or an upgrade compares versions;
#   Windows Installer keeps hashes only of files without one;
# - the programs' feature may not be absent (msidbFeatureAttributesUIDisallowAbsent), which only
#   binds a dialog: naming any feature on the command line (REMOVE=CommandLinePath alone, or
#   REMOVE=Programs on an installed copy) still sets aside the default choice and would leave the
#   programs out, so an error action refuses any install or change after which they are not there.
#   It runs after MigrateFeatureStates, when the states an upgrade carries over are known.
set(no_programs "netsetup: this command line would leave the programs (the feature Programs) off \
this computer. To install without the PATH entry use ADDLOCAL=Programs, to take the entry off an \
installed copy REMOVE=CommandLinePath, to uninstall msiexec /x.")
set(no_programs_condition "NOT REMOVE~=\"ALL\" AND NOT (&Programs=3 OR (!Programs=3 AND &Programs<>2))")
set(programs "`File` = 'netsetup.exe' OR `File` = 'netsetup_cli.exe'")
execute_process(
  COMMAND ${CPACK_NETSETUP_MSIBUILD} ${msi} -i _ForceCodepage.idt _SummaryInformation.idt -q
          "CREATE TABLE `Environment` (`Environment` CHAR(72) NOT NULL, `Name` CHAR(255) NOT NULL LOCALIZABLE, `Value` CHAR(255) LOCALIZABLE, `Component_` CHAR(72) NOT NULL PRIMARY KEY `Environment`)"
          -q "INSERT INTO `Environment` (`Environment`, `Name`, `Value`, `Component_`) VALUES ('PATH', '=-*PATH', '[~];[INSTALLDIR]', 'PathEntry')"
          -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveEnvironmentStrings', 3300)"
          -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('WriteEnvironmentStrings', 5200)"
          -q "INSERT INTO `InstallUISequence` (`Action`, `Condition`, `Sequence`) VALUES ('UseInstalledDir', 'INSTALLEDDIR AND NOT INSTALLDIR', 51)"
          -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('UseInstalledDir', 'INSTALLEDDIR AND NOT INSTALLDIR', 51)"
          -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('SetInstallLocation', 1001)"
          -q "INSERT INTO `Shortcut` (`Shortcut`, `Directory_`, `Name`, `Component_`, `Target`, `Description`, `WkDir`) VALUES ('WindowShortcut', 'ProgramMenuFolder', 'netsetup|${CPACK_NETSETUP_WINDOW_TITLE}', 'Window', '[#netsetup.exe]', 'Read and change the network settings of a VRN-207K instrument', 'INSTALLDIR')"
          -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RemoveShortcuts', 3200)"
          -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('CreateShortcuts', 4500)"
          -q "UPDATE `File` SET `Version` = '${CPACK_NETSETUP_FILE_VERSION}', `Language` = '1033' WHERE ${programs}"
          -q "DELETE FROM `MsiFileHash` WHERE `File_` = 'netsetup.exe'"
          -q "DELETE FROM `MsiFileHash` WHERE `File_` = 'netsetup_cli.exe'"
          -q "UPDATE `Feature` SET `Attributes` = 16 WHERE `Feature` = 'Programs'"
          -q "INSERT INTO `CustomAction` (`Action`, `Type`, `Target`) VALUES ('NoProgramsError', 19, '${no_programs}')"
          -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('NoProgramsError', '${no_programs_condition}', 1300)"
  WORKING_DIRECTORY ${tables}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE ${msi})
  message(FATAL_ERROR "msi: msibuild could not add the rows wixl cannot write to ${msi} (exit ${status}); see above")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/sign.cmake)
if(netsetup_signing)
  netsetup_sign(${msi})
endif()
message(STATUS "- package: ${msi} generated.")
