# Benchmarks: programs that time the launcher against its budgets. Not part
# of the default build; `cmake --build --preset windows --target bench` makes
# them, scripts/bench.sh makes them and runs them under Wine.
if(NOT TARGET standin_dosbox)
  message(STATUS "No stand-in emulator target: benchmarks skipped")
  return()
endif()

set(BENCH_DIR ${CMAKE_BINARY_DIR}/bench)
set(BENCH_STAGE ${BENCH_DIR}/stage)
set(BENCH_WIN_DEFS UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

# The floor: one bare window, built the way the launcher is.
add_executable(bench_bare_window WIN32 EXCLUDE_FROM_ALL bench/bare_window.cpp)
target_compile_definitions(bench_bare_window PRIVATE ${BENCH_WIN_DEFS})
target_link_libraries(bench_bare_window PRIVATE pexor_warnings)
target_link_options(bench_bare_window PRIVATE -static -municode -s -Wl,--gc-sections)
set_target_properties(bench_bare_window PROPERTIES OUTPUT_NAME bare_window
                                                   RUNTIME_OUTPUT_DIRECTORY ${BENCH_DIR}$<0:>)

# The launcher's install copy alone, over the same Win32 port.
add_executable(bench_copy EXCLUDE_FROM_ALL bench/bench_copy.cpp)
target_link_libraries(bench_copy PRIVATE pexor_warnings pexor_win32)
target_link_options(bench_copy PRIVATE -static -municode -s -Wl,--gc-sections)
set_target_properties(bench_copy PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${BENCH_DIR}$<0:>)

# The driver that runs everything and prints the table.
add_executable(bench_driver EXCLUDE_FROM_ALL bench/bench_driver.cpp bench/BenchSupport.cpp)
target_compile_definitions(bench_driver PRIVATE ${BENCH_WIN_DEFS})
target_link_libraries(bench_driver PRIVATE pexor_warnings e2e_harness psapi)
target_link_options(bench_driver PRIVATE -static -municode)
set_target_properties(bench_driver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${BENCH_DIR}$<0:>)

# The launcher beside a shipped folder of realistic size. The stand-in
# emulator comes from the end-to-end set-up.
set(BENCH_CONF ${CMAKE_SOURCE_DIR}/tests/e2e/fixtures/dosbox-0.73.conf)
set(BENCH_GAME ${CMAKE_SOURCE_DIR}/tests/e2e/fixtures/Pexor.exe)
set(BENCH_SHIP_STAMP ${BENCH_STAGE}/DoxPexor.stamp)
add_custom_command(
  OUTPUT ${BENCH_SHIP_STAMP}
  COMMAND ${CMAKE_SOURCE_DIR}/bench/make_shipped_folder.sh ${BENCH_STAGE}/DoxPexor
          $<TARGET_FILE:standin_dosbox> ${BENCH_CONF} ${BENCH_GAME}
  COMMAND ${CMAKE_COMMAND} -E touch ${BENCH_SHIP_STAMP}
  DEPENDS ${CMAKE_SOURCE_DIR}/bench/make_shipped_folder.sh standin_dosbox ${BENCH_CONF}
  COMMENT "Generating the benchmark's shipped folder")
add_custom_command(
  OUTPUT ${BENCH_STAGE}/PexorLauncher.exe
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:PexorLauncher> ${BENCH_STAGE}/PexorLauncher.exe
  DEPENDS PexorLauncher)

add_custom_target(bench DEPENDS ${BENCH_SHIP_STAMP} ${BENCH_STAGE}/PexorLauncher.exe)
add_dependencies(bench bench_bare_window bench_copy bench_driver)
