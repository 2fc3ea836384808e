# The real 32-bit Windows programs, the trace capture tool and the
# end-to-end tests that run them under Wine.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
enable_language(RC)

# Programs that Windows 2000 loads: OS and subsystem version 5.0, every
# runtime library linked in, only system DLLs imported, and our own entry
# point (common/program_start.cpp) instead of the general start-up, which
# would import start-up entry points of the C runtime and of kernel32
# that the programs never need.
set(KIT_PE_LINK_OPTIONS
  -static
  -nostartfiles
  -Wl,-e,_KitStartup
  -Wl,--major-os-version,5,--minor-os-version,0
  -Wl,--major-subsystem-version,5,--minor-subsystem-version,0
  -Wl,--gc-sections
  -s)
set(KIT_PRODUCT_COMPILE_OPTIONS -fno-exceptions -fno-rtti -ffunction-sections -fdata-sections)

include(cmake/reproducible.cmake)
include(cmake/signing.cmake)

# One of the two programs: a GUI program without a window, entered
# through main().
function(kit_program name)
  add_executable(${name} WIN32 ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${KIT_PRODUCT_COMPILE_OPTIONS})
  target_link_options(${name} PRIVATE ${KIT_PE_LINK_OPTIONS})
  target_link_libraries(${name} PRIVATE setupapi advapi32 user32 kernel32)
endfunction()

kit_program(Quorlin ${COMMON_SOURCES} common/program_start.cpp ${INSTALLER_SOURCES} installer/entry.cpp installer/quorlin.rc)
kit_program(Veskot ${COMMON_SOURCES} common/program_start.cpp ${UNINSTALLER_SOURCES} uninstaller/entry.cpp uninstaller/veskot.rc)
kit_sign(Quorlin)
kit_sign(Veskot)

# The setup program and the Windows Installer package, which carry both
# programs and the driver package.
set(KIT_SETUP_NAME NORDAL_5120_USB_Driver_Setup.exe)
set(KIT_SETUP ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${KIT_SETUP_NAME})
set(KIT_MSI_NAME NORDAL_5120_USB_Driver.msi)
set(KIT_MSI ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${KIT_MSI_NAME})
set(KIT_VERSION 1.7.0)
# The Windows Installer package's upgrade code: one for every version, for
# ever, so that each version finds the one before and the setup program
# finds any of them.
set(KIT_UPGRADE_CODE "{23A482C4-36E3-4751-B202-9A28389751B9}")

add_subdirectory(tools/tracecap)
add_subdirectory(remove_action)
add_subdirectory(kit_actions)
add_subdirectory(setup)
# The Wine helpers of the end-to-end tests and the benchmarks.
add_subdirectory(tests/wine)
add_subdirectory(bench)

# The release: the setup program, the Windows Installer package, the two
# programs and tracecap, with their SHA-256 sums, in build/windows/dist.
set(KIT_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
set(KIT_DIST_FILES ${KIT_SETUP} ${KIT_MSI} $<TARGET_FILE:Quorlin> $<TARGET_FILE:Veskot> $<TARGET_FILE:tracecap>)
add_custom_target(dist ALL
  COMMAND ${CMAKE_COMMAND} -DDIST_DIR=${KIT_DIST_DIR} "-DFILES=${KIT_DIST_FILES}"
    -P ${CMAKE_SOURCE_DIR}/cmake/dist.cmake
  DEPENDS setup kit_msi Quorlin Veskot tracecap
  COMMENT "Putting the release into ${KIT_DIST_DIR}"
  VERBATIM)

include(CTest)
if(BUILD_TESTING)
  add_subdirectory(tests/release)
  include(cmake/analysis.cmake)
  add_subdirectory(tests/e2e)
endif()
