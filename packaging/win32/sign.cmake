# Authenticode signatures by osslsigncode, so that Windows names the publisher and AppLocker
# publisher rules can match: NETSETUP_SIGN_CERT (the PEM certificate, with the chain up to the
# root) and NETSETUP_SIGN_KEY (its PEM private key) in the environment, as full paths, turn it on;
# NETSETUP_SIGN_TIMESTAMP names an RFC 3161 time-stamping server, whose stamp keeps a signature
# valid after the certificate expires. Without them nothing is signed, and the build says so.
# Included by sign-programs.cmake (the staged programs, before cpack packs them) and msi.cmake
# (the package, once made).
set(netsetup_sign_cert "$ENV{NETSETUP_SIGN_CERT}")
set(netsetup_sign_key "$ENV{NETSETUP_SIGN_KEY}")
set(netsetup_signing OFF)
if(NOT netsetup_sign_cert STREQUAL "" OR NOT netsetup_sign_key STREQUAL "")
  foreach(variable NETSETUP_SIGN_CERT NETSETUP_SIGN_KEY)
    if(NOT IS_ABSOLUTE "$ENV{${variable}}" OR NOT EXISTS "$ENV{${variable}}")
      message(FATAL_ERROR "sign: ${variable} is '$ENV{${variable}}', not the full path of a file; "
                          "NETSETUP_SIGN_CERT and NETSETUP_SIGN_KEY name the certificate and its key")
    endif()
  endforeach()
  find_program(netsetup_osslsigncode osslsigncode)
  if(NOT netsetup_osslsigncode)
    message(FATAL_ERROR "sign: osslsigncode is missing (scripts/setup.sh windows installs it)")
  endif()
  set(netsetup_signing ON)
endif()

# Signs FILE in place; any failure (a time-stamping server that does not answer, too) stops the build.
function(netsetup_sign file)
  set(options -certs ${netsetup_sign_cert} -key ${netsetup_sign_key} -h sha256 -n netsetup
              -i https://github.com/netsetup/netsetup)
  if(NOT "$ENV{NETSETUP_SIGN_TIMESTAMP}" STREQUAL "")
    list(APPEND options -ts "$ENV{NETSETUP_SIGN_TIMESTAMP}")
  endif()
  execute_process(COMMAND ${netsetup_osslsigncode} sign ${options} -in ${file} -out ${file}.signed
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    file(REMOVE ${file}.signed)
    message(FATAL_ERROR "sign: osslsigncode could not sign ${file} (exit ${status}):\n${output}")
  endif()
  file(RENAME ${file}.signed ${file})
  message(STATUS "- signed: ${file}")
endfunction()
