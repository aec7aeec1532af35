# End-to-end tests: a GoogleTest program that drives tallywave.exe under Wine
# with windriver/, one scenario per test, one test at a time.

# A test-only program that makes the report named on its command line.
add_executable(reportprobe WIN32 tests/e2e/ReportProbe.cpp)
target_link_libraries(reportprobe PRIVATE tallycore)
tally_warnings(reportprobe)

file(GLOB E2E_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*Test.cpp)
add_executable(e2e_tests ${E2E_TEST_SOURCES})
target_link_libraries(e2e_tests PRIVATE windriver tallygui tallytextui tallycore gtest_main)
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

# The release zip of tools/package: the same bytes twice, and the program in
# it, unpacked into a folder whose path holds blanks, counts its samples.
add_test(NAME release_zip_is_reproducible_and_runs_from_a_folder_with_blanks
         COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/package-check $<TARGET_FILE:tallywave>
                 $<TARGET_FILE:demodriver>)
set_tests_properties(release_zip_is_reproducible_and_runs_from_a_folder_with_blanks
                     PROPERTIES RUN_SERIAL TRUE TIMEOUT 120 LABELS e2e)

# The shipped program: a PE32 GUI program that imports only system DLLs.
add_test(NAME tallywave_is_a_self_contained_pe32_gui_program
         COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/check-pe $<TARGET_FILE:tallywave>)
set_tests_properties(tallywave_is_a_self_contained_pe32_gui_program PROPERTIES LABELS e2e)
