# The product sources built natively against the simulated Windows, with
# AddressSanitizer and UndefinedBehaviorSanitizer, for unit and flow tests.
set(KIT_SANITIZE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
add_compile_options(${KIT_SANITIZE})
add_link_options(${KIT_SANITIZE})

add_subdirectory(winsim)

include(cmake/simulated_programs.cmake)

find_package(GTest REQUIRED)
include(CTest)
include(GoogleTest)
add_subdirectory(tests/host)
add_subdirectory(tests/repository)
