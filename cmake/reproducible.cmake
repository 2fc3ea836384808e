# Builds of one commit give the same files, wherever and whenever they
# run. The one time a file carries, the time stamp of a PE image and of
# its signatures, is the commit's time (SOURCE_DATE_EPOCH when the caller
# sets it), which the linker takes from SOURCE_DATE_EPOCH; nothing else of
# the build machine goes into the files: the link strips all debugging
# information, and the setup program keeps no file dates.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(KIT_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  find_package(Git QUIET)
  set(KIT_SOURCE_DATE_EPOCH 0)
  if(GIT_FOUND AND EXISTS ${CMAKE_SOURCE_DIR}/.git)
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${CMAKE_SOURCE_DIR} log -1 --format=%ct
      OUTPUT_VARIABLE KIT_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE git_failed
      ERROR_QUIET)
    if(git_failed OR KIT_SOURCE_DATE_EPOCH STREQUAL "")
      set(KIT_SOURCE_DATE_EPOCH 0)
    endif()
    # A new commit is a new time: the configuration runs again.
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${CMAKE_SOURCE_DIR} rev-parse --git-path HEAD
      OUTPUT_VARIABLE head OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${CMAKE_SOURCE_DIR} rev-parse --symbolic-full-name HEAD
      OUTPUT_VARIABLE branch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    foreach(file ${head} .git/${branch})
      if(EXISTS ${CMAKE_SOURCE_DIR}/${file})
        set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${file})
      endif()
    endforeach()
  endif()
endif()
message(STATUS "Time stamp of the built files: ${KIT_SOURCE_DATE_EPOCH}")
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KIT_SOURCE_DATE_EPOCH})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KIT_SOURCE_DATE_EPOCH})
