# Static analysis of the product code, as tests of the windows build:
# clang-tidy over the real Windows headers of the cross compiler, with
# the checks in .clang-tidy, and cppcheck with its Win32 library.
set(KIT_PRODUCT_FILES ${COMMON_SOURCES} ${INSTALLER_SOURCES} ${UNINSTALLER_SOURCES}
  ${CMAKE_SOURCE_DIR}/common/program_start.cpp ${CMAKE_SOURCE_DIR}/installer/entry.cpp
  ${CMAKE_SOURCE_DIR}/uninstaller/entry.cpp ${CMAKE_SOURCE_DIR}/remove_action/remove_kit.cpp
  ${CMAKE_SOURCE_DIR}/remove_action/inf_snapshot.cpp)

find_program(CLANG_TIDY_EXECUTABLE clang-tidy REQUIRED)
add_test(NAME static_analysis_clang_tidy
  COMMAND ${CLANG_TIDY_EXECUTABLE} -p ${CMAKE_BINARY_DIR} --quiet --extra-arg=--target=i686-w64-mingw32
    ${KIT_PRODUCT_FILES})
# Any finding fails the run, and so does a file that cannot be parsed.
set_tests_properties(static_analysis_clang_tidy PROPERTIES FAIL_REGULAR_EXPRESSION "([Ww]arning|[Ee]rror)[: ]")

# Left out: LocalAllocCalled (the uninstaller's device and INF buffers
# are LocalAlloc'd by design) and useStlAlgorithm (no C++ library is
# linked into the programs).
find_program(CPPCHECK_EXECUTABLE cppcheck REQUIRED)
add_test(NAME static_analysis_cppcheck
  COMMAND ${CPPCHECK_EXECUTABLE} --quiet --enable=warning,style,performance,portability --inconclusive
    --std=c++17 --language=c++ --platform=win32A --library=windows -I ${CMAKE_SOURCE_DIR} --error-exitcode=1
    --inline-suppr
    --suppress=LocalAllocCalled --suppress=useStlAlgorithm
    ${KIT_PRODUCT_FILES})
