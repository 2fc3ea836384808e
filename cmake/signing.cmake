# Signing with the vendor's certificate. With KIT_SIGN_PFX and
# KIT_SIGN_PASSWORD_FILE set, every program is signed as it is linked, so
# that the setup program carries signed programs, and then the setup's
# uninstall program and the setup program themselves as makensis writes
# them. Without them nothing is signed and nothing changes.
set(KIT_SIGN_PFX "" CACHE FILEPATH
  "The vendor's code-signing certificate with its key and chain (PKCS#12); signing needs KIT_SIGN_PASSWORD_FILE too")
set(KIT_SIGN_PASSWORD_FILE "" CACHE FILEPATH "A file whose first line is the password of KIT_SIGN_PFX")
set(KIT_SIGN_TIMESTAMP_URL "" CACHE STRING "A time-stamp server for the signatures (none: not time-stamped)")

set(KIT_SIGNING OFF)
if(KIT_SIGN_PFX OR KIT_SIGN_PASSWORD_FILE)
  if(NOT KIT_SIGN_PFX OR NOT KIT_SIGN_PASSWORD_FILE)
    message(FATAL_ERROR "Signing needs both KIT_SIGN_PFX and KIT_SIGN_PASSWORD_FILE.")
  endif()
  foreach(file KIT_SIGN_PFX KIT_SIGN_PASSWORD_FILE)
    if(NOT EXISTS "${${file}}")
      message(FATAL_ERROR "${file} names ${${file}}, which does not exist.")
    endif()
  endforeach()
  find_program(OSSLSIGNCODE_EXECUTABLE osslsigncode)
  find_program(OPENSSL_EXECUTABLE openssl)
  if(NOT OSSLSIGNCODE_EXECUTABLE OR NOT OPENSSL_EXECUTABLE)
    message(FATAL_ERROR "Signing needs osslsigncode and openssl (bash scripts/setup.sh installs them).")
  endif()
  # The password must open the certificate file now, not halfway through
  # the build. Certificates exported by older tools need OpenSSL's legacy
  # algorithms.
  foreach(legacy "" -legacy)
    execute_process(COMMAND ${OPENSSL_EXECUTABLE} pkcs12 ${legacy} -in ${KIT_SIGN_PFX}
        -passin file:${KIT_SIGN_PASSWORD_FILE} -noout
      RESULT_VARIABLE unopened ERROR_VARIABLE why OUTPUT_QUIET)
    if(NOT unopened)
      break()
    endif()
  endforeach()
  if(unopened)
    message(FATAL_ERROR "The password in ${KIT_SIGN_PASSWORD_FILE} does not open ${KIT_SIGN_PFX}:\n${why}")
  endif()
  set(KIT_SIGNING ON)
  set(KIT_SIGN_COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/sign_file.sh)
  set(KIT_SIGN_ARGUMENTS ${KIT_SIGN_PFX} ${KIT_SIGN_PASSWORD_FILE} ${KIT_SOURCE_DATE_EPOCH})
  if(KIT_SIGN_TIMESTAMP_URL)
    list(APPEND KIT_SIGN_ARGUMENTS ${KIT_SIGN_TIMESTAMP_URL})
  endif()
  message(STATUS "Signing with ${KIT_SIGN_PFX}")
endif()

# Signs a program target in place once it is linked.
function(kit_sign target)
  if(KIT_SIGNING)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${KIT_SIGN_COMMAND} $<TARGET_FILE:${target}> ${KIT_SIGN_ARGUMENTS}
      COMMENT "Signing ${target}"
      VERBATIM)
  endif()
endfunction()
