# What the Windows build needs besides the compiler: GoogleTest and Google Benchmark built from
# Debian's sources for the cross compiler (there is no MinGW package of either), and static programs.

# Every program of the build (tools, tests, the game) carries MinGW's runtime inside: Wine and
# Windows would otherwise need its DLLs beside each one.
add_link_options(-static)
# Sections laid out in the file on page boundaries, as in memory: Wine then maps the program's
# pages from the file as they are needed, where otherwise it copies the whole image, the built-in
# pictures and sounds with it, into memory at every start.
add_link_options(-Wl,--file-alignment,4096)
# A release carries no debugging sections: the MinGW runtime's own would otherwise come along.
add_link_options($<$<CONFIG:Release>:-s>)
# The system's wide-character calls throughout; the process's ANSI code page never decides anything.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)

set(KELVORA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources built for Windows")
if(NOT KELVORA_FUZZ AND EXISTS "${KELVORA_GOOGLETEST_SOURCE}/CMakeLists.txt")
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory("${KELVORA_GOOGLETEST_SOURCE}" "${PROJECT_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
  # GoogleTest's own texts are UTF-8 and stay so (the game's GBK literals are not its business).
  foreach(target gtest gtest_main gmock gmock_main)
    target_compile_options(${target} PRIVATE -fexec-charset=UTF-8 -Wno-error)
  endforeach()
  set(GTest_FOUND TRUE)
endif()

# Google Benchmark as scripts/build-windows-benchmark.sh installs it into the build folder; without
# it the benchmark programs are left out.
set(KELVORA_BENCHMARK_PREFIX "${PROJECT_BINARY_DIR}/third_party/benchmark/install" CACHE PATH
    "Google Benchmark built for Windows")
if(KELVORA_TESTS AND KELVORA_BENCH AND NOT KELVORA_FUZZ AND
   EXISTS "${KELVORA_BENCHMARK_PREFIX}/lib/cmake/benchmark/benchmarkConfig.cmake")
  # Outside the MinGW root, so the toolchain's search rules would not find it there.
  find_package(benchmark CONFIG REQUIRED PATHS "${KELVORA_BENCHMARK_PREFIX}" NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
endif()
