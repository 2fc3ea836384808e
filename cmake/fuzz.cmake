# Coverage-guided fuzzing of the kit's input handling: the product sources
# built natively against the simulated Windows with clang's libFuzzer,
# AddressSanitizer and UndefinedBehaviorSanitizer. Every target in fuzz/ is a
# ctest test that fuzzes for a bounded time over a scratch copy of its seed
# corpus; a built target given a crash file as its argument runs that input.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "The fuzz build needs clang for libFuzzer: cmake --preset fuzz")
endif()

set(KIT_FUZZ_SECONDS 20 CACHE STRING "How long each fuzz test fuzzes, in seconds")

# -O1 keeps the sanitizers' reports exact while the fuzzers run at speed.
set(KIT_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(${KIT_SANITIZE} -fsanitize=fuzzer-no-link -O1)
add_link_options(${KIT_SANITIZE})

add_subdirectory(winsim)

# winsim has the sanitizers but, except for its INF parser and SetupAPI's
# INF calls, whose parsing decides what the INF scan is given, no coverage:
# its own branches would only slow the search and steer it away from the
# product's.
set(KIT_WINSIM_UNGUIDED simulated_windows.cpp error_handling.cpp debugging.cpp strings.cpp memory.cpp
    system_information.cpp modules.cpp synchronization.cpp dialog_boxes.cpp processes.cpp registry.cpp
    file_system.cpp file_management.cpp setupapi_devices.cpp setupapi_staging.cpp)
list(TRANSFORM KIT_WINSIM_UNGUIDED PREPEND ${CMAKE_SOURCE_DIR}/winsim/)
set_source_files_properties(${KIT_WINSIM_UNGUIDED} TARGET_DIRECTORY winsim
                            PROPERTIES COMPILE_OPTIONS -fno-sanitize=fuzzer-no-link)

include(cmake/simulated_programs.cmake)

include(CTest)
add_subdirectory(fuzz)
