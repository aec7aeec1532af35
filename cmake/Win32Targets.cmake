# Win32 build: tallywave.exe (PE32, GUI subsystem, statically linked, importing
# only system DLLs) and the end-to-end tests that drive it under Wine.

# Exact doubles (no x87 excess precision) and C99 printf on both builds.
set(TALLY_WIN32_FLAGS -msse2 -mfpmath=sse)
add_compile_options(${TALLY_WIN32_FLAGS})
# The directory's options reach only targets made after them; the core is made first.
target_compile_options(tallycore PRIVATE ${TALLY_WIN32_FLAGS})
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1 WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
add_link_options(-static -static-libgcc -static-libstdc++)

add_library(tallyplatform STATIC framework/win32/Win32Seams.cpp framework/win32/Win32Windows.cpp
                          framework/win32/LeanRuntime.cpp framework/win32/Win32Controls.cpp
                          ${TALLY_FRAMEWORK_COMMON})
target_include_directories(tallyplatform PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tallyplatform PUBLIC user32 gdi32 comdlg32 advapi32)
tally_product(tallyplatform)

enable_language(RC)
# windres reads the resource script with the source root on its include path.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I ${CMAKE_SOURCE_DIR} -O coff")
# The resource compiler names no dependencies: the pictures it links in are
# given here, so a picture made anew (tools/art) reaches the program.
file(GLOB TALLY_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/gui/res/*.bmp
     ${CMAKE_SOURCE_DIR}/gui/res/*.ico)
set_source_files_properties(gui/tallywave.rc PROPERTIES OBJECT_DEPENDS "${TALLY_PICTURES}")
add_executable(tallywave WIN32 startup/main.cpp gui/tallywave.rc)
target_link_libraries(tallywave PRIVATE tallycore tallyplatform)
target_link_options(tallywave PRIVATE -s)  # shipped without symbols
tally_product(tallywave)

option(TALLY_E2E_TESTS "Build the end-to-end tests run under Wine" ON)
if(TALLY_E2E_TESTS)
  include(cmake/E2eTests.cmake)
endif()
