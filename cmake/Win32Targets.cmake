# Win32 build: tallywave.exe (PE32, GUI subsystem, statically linked, importing
# only system DLLs), the driver library, the programs that drive tallywave.exe
# with it and the end-to-end tests.

enable_language(RC)
# windres reads the resource script with the source root on its include path.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I ${CMAKE_SOURCE_DIR} -O coff")
# The resource compiler names no dependencies: the pictures it links in are
# given here, so a picture made anew (tools/art) reaches the program.
file(GLOB TALLY_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.bmp
     ${CMAKE_SOURCE_DIR}/resources/*.ico)
set_source_files_properties(resources/tallywave.rc PROPERTIES OBJECT_DEPENDS "${TALLY_PICTURES}")
add_executable(tallywave WIN32 startup/main.cpp resources/tallywave.rc)
target_link_libraries(tallywave PRIVATE tallygui tallyframework)
# Shipped without symbols, and without the link time in its header, so that
# the same sources give the same bytes (tools/package).
target_link_options(tallywave PRIVATE -s -Wl,--no-insert-timestamp)
tally_product(tallywave)

option(TALLY_E2E_TESTS "Build the end-to-end tests, and the drivers, run under Wine" ON)
if(NOT TALLY_E2E_TESTS)
  return()
endif()

# GoogleTest, cross-built from its sources (Debian's package googletest puts
# them in /usr/src/googletest).
find_path(TALLY_GOOGLETEST_SOURCE NAMES googletest/CMakeLists.txt PATHS /usr/src/googletest
          NO_CMAKE_FIND_ROOT_PATH DOC "GoogleTest's source folder, cross-built for Win32")
if(NOT EXISTS "${TALLY_GOOGLETEST_SOURCE}/googletest/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest's sources not found (Debian: tools/setup installs the package "
                      "googletest); name their folder with -DTALLY_GOOGLETEST_SOURCE=DIR, or "
                      "leave the end-to-end tests out with -DTALLY_E2E_TESTS=OFF")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${TALLY_GOOGLETEST_SOURCE}/googletest ${CMAKE_BINARY_DIR}/googletest
                 EXCLUDE_FROM_ALL)

# windriver/: drives the real program from another process, through window
# messages. The end-to-end tests, the tools' drivers and the batch benchmark
# use it; it answers with results and reports to no test framework, so it
# links no GoogleTest.
add_library(windriver STATIC windriver/WinDriver.cpp)
target_include_directories(windriver PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(windriver PUBLIC user32 gdi32)
tally_warnings(windriver)

# tools/demo's driver: runs tallywave.exe on the samples, prints its window's
# text, saves a screenshot of the window and closes it as a user would.
add_executable(demodriver tools/demodriver/DemoDriver.cpp)
target_link_libraries(demodriver PRIVATE windriver)
add_dependencies(demodriver tallywave)
tally_warnings(demodriver)

# tools/screenshots' driver: runs tallywave.exe in graphic mode, selects and
# counts the samples, and saves pictures of the main, output and help windows.
add_executable(screenshotdriver tools/screenshotdriver/ScreenshotDriver.cpp)
target_link_libraries(screenshotdriver PRIVATE windriver)
add_dependencies(screenshotdriver tallywave)
tally_warnings(screenshotdriver)

include(cmake/E2eTests.cmake)
