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
# The tree's test names: the 64-bit tree's start with "win64.", so that a run
# over both trees says which build each test ran.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(TALLY_TEST_PREFIX win64.)
  set(TALLY_PE_KIND pe32plus)
  set(TALLY_PE_MACHINE x86-64)
else()
  set(TALLY_TEST_PREFIX "")
  set(TALLY_PE_KIND pe32)
  set(TALLY_PE_MACHINE i386)
endif()

# The program: a PE file of its processor and the GUI subsystem that imports
# only system DLLs (read with objdump: nothing runs).
add_test(NAME ${TALLY_TEST_PREFIX}tallywave_is_a_self_contained_${TALLY_PE_KIND}_gui_program
         COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/check-pe ${TALLY_PE_MACHINE} $<TARGET_FILE:tallywave>)
set_tests_properties(${TALLY_TEST_PREFIX}tallywave_is_a_self_contained_${TALLY_PE_KIND}_gui_program
                     PROPERTIES LABELS e2e)

# Whether this tree's programs run here: tools/build says so (the 32-bit ones
# do not where the host runs no 32-bit code; the 64-bit tree then runs the
# end-to-end tests instead).
option(TALLY_RUNS_HERE "This tree's programs run under Wine on this host" ON)
set(TALLY_ZIP_TEST ${TALLY_TEST_PREFIX}release_zip_is_reproducible_and_runs_from_a_folder_with_blanks)
if(NOT TALLY_RUNS_HERE)
  # What needs no running is checked; what needs running is reported as
  # skipped, with the reason (tests/e2e/skipped exits 77).
  set(TALLY_NOT_RUN "this host runs no 32-bit code, so no 32-bit Wine starts")
  add_test(NAME ${TALLY_ZIP_TEST}
           COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/package-check --no-run "${TALLY_NOT_RUN}"
                   $<TARGET_FILE:tallywave>)
  add_test(NAME ${TALLY_TEST_PREFIX}CoreOnWin32.ThresholdsInExtendedPrecision
           COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/skipped
                   "the x87 thresholds of the 32-bit code: ${TALLY_NOT_RUN}")
  set_tests_properties(${TALLY_ZIP_TEST} ${TALLY_TEST_PREFIX}CoreOnWin32.ThresholdsInExtendedPrecision
                       PROPERTIES LABELS e2e SKIP_RETURN_CODE 77)
  return()
endif()

gtest_discover_tests(e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     TEST_FILTER "-BatchStress*:PassClicks*" TEST_PREFIX "${TALLY_TEST_PREFIX}"
                     PROPERTIES RUN_SERIAL TRUE TIMEOUT 120 LABELS e2e)
# The stress tests make and count thousands of files and check texts of
# hundreds of thousands of characters, and the clicks test clicks through
# several long Counts: a minute or two under Wine, several on a loaded
# machine.
gtest_discover_tests(e2e_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     TEST_FILTER "BatchStress*:PassClicks*" TEST_PREFIX "${TALLY_TEST_PREFIX}"
                     PROPERTIES RUN_SERIAL TRUE TIMEOUT 300 LABELS e2e)

# The release zip of tools/package: the same bytes twice, and the program in
# it, unpacked into a folder whose path holds blanks, counts its samples.
add_test(NAME ${TALLY_ZIP_TEST}
         COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/package-check $<TARGET_FILE:tallywave>
                 $<TARGET_FILE:demodriver>)
set_tests_properties(${TALLY_ZIP_TEST} PROPERTIES RUN_SERIAL TRUE TIMEOUT 120 LABELS e2e)
