# End-to-end tests: a GoogleTest driver cross-built from Debian's googletest
# sources, run under Wine, one scenario per test, one test at a time.
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

add_library(e2edriver STATIC tests/e2e/driver/WinDriver.cpp)
target_include_directories(e2edriver PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(e2edriver PUBLIC gtest user32 gdi32)
tally_warnings(e2edriver)

# A test-only program that makes the report named on its command line.
add_executable(reportprobe WIN32 tests/e2e/ReportProbe.cpp)
target_link_libraries(reportprobe PRIVATE tallycore tallyplatform)
tally_warnings(reportprobe)

file(GLOB E2E_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*Test.cpp)
add_executable(e2e_tests ${E2E_TEST_SOURCES})
target_link_libraries(e2e_tests PRIVATE e2edriver tallycore tallyplatform gtest_main)
# The stress tests make their wave files with the Win32 build of wavegen.
add_dependencies(e2e_tests tallywave reportprobe wavegen)
# Wine shows the Unix root as drive Z:.
target_compile_definitions(e2e_tests PRIVATE TALLY_SAMPLES_DIR="Z:${CMAKE_SOURCE_DIR}/samples")
tally_warnings(e2e_tests)
gtest_discover_tests(e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     TEST_FILTER "-BatchStress*"
                     PROPERTIES RUN_SERIAL TRUE TIMEOUT 120 LABELS e2e)
# The stress tests make and count thousands of files and check texts of
# hundreds of thousands of characters: a minute or two under Wine, several on
# a loaded machine.
gtest_discover_tests(e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     TEST_FILTER "BatchStress*"
                     PROPERTIES RUN_SERIAL TRUE TIMEOUT 300 LABELS e2e)

# The shipped program: a PE32 GUI program that imports only system DLLs.
add_test(NAME tallywave_is_a_self_contained_pe32_gui_program
         COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/check-pe $<TARGET_FILE:tallywave>)
set_tests_properties(tallywave_is_a_self_contained_pe32_gui_program PROPERTIES LABELS e2e)

# tools/demo's driver: runs tallywave.exe on the samples, prints its window's
# text, saves a screenshot of the window and closes it as a user would.
add_executable(demodriver tools/demodriver/DemoDriver.cpp)
target_link_libraries(demodriver PRIVATE e2edriver)
add_dependencies(demodriver tallywave)
tally_warnings(demodriver)

# tools/screenshots' driver: runs tallywave.exe in graphic mode, selects and
# counts the samples, and saves pictures of the main, output and help windows.
add_executable(screenshotdriver tools/screenshotdriver/ScreenshotDriver.cpp)
target_link_libraries(screenshotdriver PRIVATE e2edriver)
add_dependencies(screenshotdriver tallywave)
tally_warnings(screenshotdriver)
