# End-to-end: the stand-in emulator, the test shipped folder, the driver, and
# CTest running the driver through Wine on a virtual desktop.
enable_testing()

set(E2E_DIR ${CMAKE_BINARY_DIR}/e2e)
set(E2E_SHIP ${E2E_DIR}/ship/DoxPexor)
set(E2E_FIXTURES ${CMAKE_SOURCE_DIR}/tests/e2e/fixtures)
set(DEMO_DIR ${CMAKE_BINARY_DIR}/demo)

# The stand-in emulator, built straight into the test shipped folder. The
# $<0:> keeps multi-config generators from adding a folder per configuration.
add_executable(standin_dosbox WIN32 tests/standin/StandinMain.cpp)
set_target_properties(standin_dosbox PROPERTIES OUTPUT_NAME DOSBox
                                                RUNTIME_OUTPUT_DIRECTORY ${E2E_SHIP}$<0:>)
target_link_libraries(standin_dosbox PRIVATE pexor_warnings)
target_link_options(standin_dosbox PRIVATE -static -municode)

# The rest of the shipped folder: the configuration fixture, byte for byte,
# and a placeholder game.
set(E2E_SHIP_FILES ${E2E_SHIP}/dosbox-0.73.conf ${E2E_SHIP}/Pexor/Pexor.exe)
add_custom_command(
  OUTPUT ${E2E_SHIP_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${E2E_SHIP}/Pexor
  COMMAND ${CMAKE_COMMAND} -E copy ${E2E_FIXTURES}/dosbox-0.73.conf ${E2E_SHIP}/dosbox-0.73.conf
  COMMAND ${CMAKE_COMMAND} -E copy ${E2E_FIXTURES}/Pexor.exe ${E2E_SHIP}/Pexor/Pexor.exe
  DEPENDS ${E2E_FIXTURES}/dosbox-0.73.conf ${E2E_FIXTURES}/Pexor.exe
  COMMENT "Assembling the test shipped folder DoxPexor")
add_custom_target(e2e_ship ALL DEPENDS ${E2E_SHIP_FILES} standin_dosbox)

# A library a case plants beside the launcher, which must not load it by name.
add_library(pexor_planted SHARED tests/e2e/planted/PlantedLibrary.cpp)
set_target_properties(pexor_planted PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${E2E_DIR}$<0:>)
target_link_libraries(pexor_planted PRIVATE pexor_warnings)
target_link_options(pexor_planted PRIVATE -static)

# The demo: the launcher with the real emulator's shipped folder beside it.
add_custom_target(demo
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${DEMO_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DEMO_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:PexorLauncher> ${DEMO_DIR}/
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${E2E_SHIP_REAL} ${DEMO_DIR}/DoxPexor
  DEPENDS PexorLauncher e2e_ship_real
  COMMENT "Assembling the demo folder")

# The harness's host pieces (files, processes, windows, input, registry,
# display) need no test framework: the benchmark driver links them too.
set(E2E_HARNESS_SOURCES tests/e2e/HarnessBasics.cpp tests/e2e/HarnessFiles.cpp
    tests/e2e/HarnessInput.cpp tests/e2e/HarnessPictures.cpp tests/e2e/HarnessSystem.cpp
    tests/e2e/HarnessWindows.cpp)
add_library(e2e_harness STATIC EXCLUDE_FROM_ALL ${E2E_HARNESS_SOURCES})
target_include_directories(e2e_harness PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(e2e_harness PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
target_link_libraries(e2e_harness PUBLIC ole32 uuid shell32 user32 gdi32 advapi32
  PRIVATE pexor_warnings)
target_precompile_headers(e2e_harness PRIVATE <windows.h> <string> <vector> <functional>)

# GoogleTest for the Windows side, from the sources the system ships.
set(GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows build")
if(NOT EXISTS ${GOOGLETEST_SOURCE_DIR}/CMakeLists.txt)
  message(WARNING "No GoogleTest sources at ${GOOGLETEST_SOURCE_DIR}: end-to-end driver skipped")
  return()
endif()
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(t gtest gtest_main)
  # Third-party code: our warning set is not its contract. Unoptimised: its
  # speed does not matter, its build (the longest file of the tree) does.
  target_compile_options(${t} PRIVATE -w -O0)
endforeach()

file(GLOB E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
list(TRANSFORM E2E_HARNESS_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE E2E_HARNESS_PATHS)
list(REMOVE_ITEM E2E_SOURCES ${E2E_HARNESS_PATHS})
# Per-monitor aware, as the launcher is: it measures and clicks in screen
# pixels on a scaled display too.
add_executable(pexor_e2e ${E2E_SOURCES} tests/e2e/driver.rc)
set_source_files_properties(tests/e2e/driver.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/driver.manifest)
target_link_libraries(pexor_e2e PRIVATE pexor_warnings e2e_harness gtest gtest_main version)
target_precompile_headers(pexor_e2e PRIVATE <windows.h> <gtest/gtest.h> <string> <vector>
                          <functional>)
# The project's version, which the program's version resource carries.
target_include_directories(pexor_e2e PRIVATE ${CMAKE_BINARY_DIR}/generated)
target_link_options(pexor_e2e PRIVATE -static)
set_target_properties(pexor_e2e PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${E2E_DIR}$<0:>)
add_dependencies(pexor_e2e e2e_ship pexor_planted)

# Wine on a virtual desktop (see the script), each run on a display of its own
# and a copy of the build's Wine prefix that no other run holds: the display
# mode, the mouse and the keyboard are per display; the Documents folder, the
# registry and the Wine server per prefix. So cases run side by side
# (`ctest -j`); each one still runs alone in its own Wine session.
set(E2E_RUNNER "${CMAKE_SOURCE_DIR}/tests/e2e/run-under-wine.sh;--prefix;${CMAKE_BINARY_DIR}/wineprefix;--pool")
if(CMAKE_CROSSCOMPILING)
  set_target_properties(pexor_e2e PROPERTIES CROSSCOMPILING_EMULATOR "${E2E_RUNNER}")
endif()

# One CTest test per GoogleTest case, except in the suites below: a Wine
# session costs more processor time than most cases, so each of these suites
# runs in one session, case after case as in one process (each case makes its
# own folder, puts the display mode back and ends its launcher). The names
# come from the sources, since a cross-built driver cannot be asked for its
# list at build time. The road and its faults keep a session per case.
set(E2E_SESSION_SUITES Startup Configuration BadInput Shutdown Bitness Choice ProgramFile Standin)
set(E2E_TEST_COUNT 0)
set(E2E_SUITES_ADDED "")
foreach(src ${E2E_SOURCES})
  file(READ ${src} text)
  string(REGEX MATCHALL "\nTEST(_F)?\\([ \t\r\n]*[A-Za-z0-9_]+,[ \t\r\n]*[A-Za-z0-9_]+\\)" cases
         "${text}")
  foreach(case ${cases})
    string(REGEX REPLACE "[\n\r\t ]" "" case "${case}")
    string(REGEX REPLACE "^TEST(_F)?\\(([A-Za-z0-9_]+),([A-Za-z0-9_]+)\\)$" "\\2.\\3" name
           "${case}")
    string(REGEX REPLACE "\\..*$" "" suite "${name}")
    math(EXPR E2E_TEST_COUNT "${E2E_TEST_COUNT} + 1")
    if(suite IN_LIST E2E_SESSION_SUITES)
      if(NOT suite IN_LIST E2E_SUITES_ADDED)
        list(APPEND E2E_SUITES_ADDED ${suite})
        add_test(NAME e2e.${suite} COMMAND pexor_e2e --gtest_filter=${suite}.*)
        set_tests_properties(e2e.${suite} PROPERTIES TIMEOUT 600 LABELS e2e
                                                     ENVIRONMENT "PEXOR_WINE_TIMEOUT=560")
      endif()
      continue()
    endif()
    add_test(NAME e2e.${name} COMMAND pexor_e2e --gtest_filter=${name})
    set_tests_properties(e2e.${name} PROPERTIES TIMEOUT 240 LABELS e2e)
    if(name MATCHES "^SmallDisk")
      # Documents on a small file system of its own (see the runner).
      set_tests_properties(e2e.${name} PROPERTIES ENVIRONMENT "PEXOR_SMALL_DISK=4m")
    endif()
    if(name MATCHES "^Bulgarian")
      # The users' own system: Bulgarian locale, code page 1251.
      set_tests_properties(e2e.${name} PROPERTIES ENVIRONMENT "LC_ALL=bg_BG.UTF-8")
    endif()
    if(name MATCHES "WesternSystem")
      # A Western system, whose ANSI code page (1252) has no Cyrillic.
      set_tests_properties(e2e.${name} PROPERTIES ENVIRONMENT "LC_ALL=C.UTF-8")
    endif()
    if(name MATCHES "^RealEmulator")
      # Its shipped folder is made first (the emulator's build, the first time).
      set_tests_properties(e2e.${name} PROPERTIES FIXTURES_REQUIRED real_emulator
                                                  LABELS "e2e;real_emulator")
    endif()
    if(name MATCHES "^Scaled")
      # A display at 150 %: 144 DPI (see run-under-wine.sh).
      set_tests_properties(e2e.${name} PROPERTIES ENVIRONMENT "PEXOR_DPI=144")
    endif()
  endforeach()
endforeach()
message(STATUS "End-to-end cases registered: ${E2E_TEST_COUNT}")
add_test(NAME e2e.RealEmulatorShippedFolder
         COMMAND ${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target e2e_ship_real)
set_tests_properties(e2e.RealEmulatorShippedFolder PROPERTIES FIXTURES_SETUP real_emulator
                     LABELS "e2e;real_emulator" TIMEOUT 3600)

# The runner's own check: Wine's virtual desktop later than the 10 s a
# program waits for it still gives the program a whole desktop.
add_test(NAME runner.LateDesktop
         COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/late-desktop.sh ${E2E_RUNNER} $<TARGET_FILE:pexor_e2e>
                 --gtest_filter=Startup.WindowShowsCentredOnTheScreen)
set_tests_properties(runner.LateDesktop PROPERTIES TIMEOUT 240 LABELS e2e)

# The port's contract against the Win32 adapter: the cases the native build
# runs against the simulated desktop, all in one Wine session, as they run in
# one process there; each leaves the desktop as it found it.
add_executable(pexor_contract tests/contract/test_port_contract.cpp
                              tests/contract/Win32PortUnderTest.cpp)
target_link_libraries(pexor_contract PRIVATE pexor_warnings pexor_win32 gtest)
target_link_options(pexor_contract PRIVATE -static)
set_target_properties(pexor_contract PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${E2E_DIR}$<0:>)
if(CMAKE_CROSSCOMPILING)
  set_target_properties(pexor_contract PROPERTIES CROSSCOMPILING_EMULATOR "${E2E_RUNNER}")
endif()
add_test(NAME contract.PortContract COMMAND pexor_contract)
set_tests_properties(contract.PortContract PROPERTIES TIMEOUT 240 LABELS contract)

# The release zip, made as the package target makes it, into the build tree,
# and the same bytes from a second build of the program.
add_test(NAME release.zip
         COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
                 -DEXE=$<TARGET_FILE:PexorLauncher> -DTWIN=$<TARGET_FILE:PexorLauncherTwin>
                 ${PACKAGE_ARGS} -P ${CMAKE_SOURCE_DIR}/cmake/release_check.cmake)
