# Each program's code as it links it, built against the simulated Windows
# (winsim, added before): the shared support, its own sources and its own
# identity (trace tag and line numbers). The host tests and the fuzz
# targets link these.
add_library(quorlin_sim STATIC ${COMMON_SOURCES} ${INSTALLER_SOURCES})
target_include_directories(quorlin_sim PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(quorlin_sim PUBLIC winsim)

add_library(veskot_sim STATIC ${COMMON_SOURCES} ${UNINSTALLER_SOURCES})
target_include_directories(veskot_sim PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(veskot_sim PUBLIC winsim)
