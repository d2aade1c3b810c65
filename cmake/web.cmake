# What the browser build needs besides Debian's Emscripten: GoogleTest built from Debian's sources
# with em++, and the link settings of its two kinds of program. The game is a web page (the browser
# host, Asyncify for its pauses and modal loops); the build's tools and the test programs run in
# Node and see the real file system, so that they read and write files as the desktop ones do.

# Tools and tests are run through Node; without this flag Node 20 tries to fetch the .wasm file.
find_program(KELVORA_NODE NAMES nodejs node REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR "${KELVORA_NODE};--no-experimental-fetch" CACHE STRING "" FORCE)

# Programs are Node programs unless they say they are for the browser (KELVORA_BROWSER_PROGRAM).
set(browser "$<BOOL:$<TARGET_PROPERTY:KELVORA_BROWSER_PROGRAM>>")
add_link_options(-sALLOW_MEMORY_GROWTH=1
  "$<$<NOT:${browser}>:-sNODERAWFS=1;-sENVIRONMENT=node;-sEXIT_RUNTIME=1>")
unset(browser)

set(KELVORA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources built for the browser build")
if(KELVORA_TESTS AND EXISTS "${KELVORA_GOOGLETEST_SOURCE}/CMakeLists.txt")
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory("${KELVORA_GOOGLETEST_SOURCE}" "${PROJECT_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
  foreach(target gtest gtest_main gmock gmock_main)
    target_compile_options(${target} PRIVATE -Wno-error)
  endforeach()
  set(GTest_FOUND TRUE)
endif()

# The test programs load the skin library as a side module, and a side module's code must be
# position independent, as must that of a main module that loads one.
add_compile_options(-fPIC)
