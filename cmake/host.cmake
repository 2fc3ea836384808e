# The product sources built natively against the simulated Windows, with
# AddressSanitizer and UndefinedBehaviorSanitizer, for unit and flow tests.
set(KIT_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(${KIT_SANITIZE})
add_link_options(${KIT_SANITIZE})

add_subdirectory(winsim)

add_library(quorlin_host STATIC ${COMMON_SOURCES} ${INSTALLER_SOURCES})
target_include_directories(quorlin_host PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quorlin_host PUBLIC winsim)

add_library(veskot_host STATIC ${COMMON_SOURCES} ${UNINSTALLER_SOURCES})
target_include_directories(veskot_host PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(veskot_host PUBLIC winsim)

find_package(GTest REQUIRED)
include(CTest)
include(GoogleTest)
add_subdirectory(tests/host)
