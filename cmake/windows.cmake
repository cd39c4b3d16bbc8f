# The real program, cross-built; end-to-end tests run it under Wine.
enable_language(RC)

# The version resource, the manifest and the tests take the project's version
# from here.
configure_file(resources/Version.h.in ${CMAKE_BINARY_DIR}/generated/Version.h @ONLY)
configure_file(resources/PexorLauncher.manifest.in ${CMAKE_BINARY_DIR}/generated/PexorLauncher.manifest
  @ONLY)

# Small and self-contained: sections the program does not use are dropped,
# the C++ runtime is linked in, symbols are stripped.
add_compile_options(-ffunction-sections -fdata-sections)
target_compile_options(pexor_core PRIVATE -ffunction-sections -fdata-sections)

# The Win32 adapter, compiled once for the program, the contract cases and the
# benchmarks that link it.
file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
add_library(pexor_win32 OBJECT ${WIN32_SOURCES})
target_compile_definitions(pexor_win32 PUBLIC UNICODE _UNICODE NOMINMAX
  _WIN32_WINNT=0x0601 WINVER=0x0601)
target_link_libraries(pexor_win32 PUBLIC pexor_core user32 gdi32 shell32 shlwapi ole32 oleaut32 uuid
  advapi32 PRIVATE pexor_warnings)
# windows.h and the standard library parsed once per tree, not once per
# source: most of a compile here is reading them.
target_precompile_headers(pexor_win32 PRIVATE <windows.h> <string> <vector> <functional> <memory>)

# The program, and its twin: the same sources built again into folders of
# their own (objects and program), which the test release.zip links at its
# own time to find the two the same bytes.
function(pexor_program target)
  add_executable(${target} WIN32 ${ARGN} app/main.cpp resources/launcher.rc)
  target_link_libraries(${target} PRIVATE pexor_warnings pexor_win32)
  # No build time in its header (the linker's time stamp reads 0), so a
  # player can check the program against the published checksum.
  target_link_options(${target} PRIVATE -static -municode -s -Wl,--gc-sections
                      -Wl,--no-insert-timestamp)
endfunction()
pexor_program(PexorLauncher)
set_target_properties(PexorLauncher PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
pexor_program(PexorLauncherTwin EXCLUDE_FROM_ALL)
set_target_properties(PexorLauncherTwin PROPERTIES OUTPUT_NAME PexorLauncher
  RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/twin ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/twin)
set_source_files_properties(resources/launcher.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/generated/PexorLauncher.manifest;${CMAKE_SOURCE_DIR}/resources/start.bmp;${CMAKE_SOURCE_DIR}/resources/PexorLauncher.ico;${CMAKE_BINARY_DIR}/generated/Version.h")

# The release: the 32-bit program, which runs on every Windows players have,
# with a short text for them. `cmake --build --preset windows-x86 --target package`.
set(PEXOR_RELEASE_DIR ${CMAKE_SOURCE_DIR}/build/release CACHE PATH "Where the release zip goes")
set(RELEASE_ZIP ${PEXOR_RELEASE_DIR}/PexorLauncher-${PROJECT_VERSION}.zip)
set(RELEASE_TEXT ${CMAKE_SOURCE_DIR}/resources/release/PROCHETI.txt)
find_package(Python3 COMPONENTS Interpreter)
set(PACKAGE_ARGS -DTEXT=${RELEASE_TEXT} -DPYTHON=${Python3_EXECUTABLE})
set(PACKAGE_COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:PexorLauncher> ${PACKAGE_ARGS})
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  add_custom_target(package
    COMMAND ${PACKAGE_COMMAND} -DOUT=${RELEASE_ZIP} -P ${CMAKE_SOURCE_DIR}/cmake/package.cmake
    DEPENDS PexorLauncher
    COMMENT "Making ${RELEASE_ZIP}")
else()
  add_custom_target(package
    COMMAND ${CMAKE_COMMAND} -E echo "The release holds the 32-bit program: build the target package of the preset windows-x86"
    COMMAND ${CMAKE_COMMAND} -E false)
endif()

# Before e2e.cmake, whose demo and driver use its shipped folder.
if(EXISTS ${CMAKE_SOURCE_DIR}/cmake/emulator.cmake)
  include(cmake/emulator.cmake)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/cmake/e2e.cmake)
  include(cmake/e2e.cmake)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/cmake/bench.cmake)
  include(cmake/bench.cmake)
endif()
