# The real emulator and a DOS program for it: a second test shipped folder,
# ship-real, for the runs that play the road against the emulator players
# run (and for the demo).
#
# The emulator is built from Debian's source packages by
# scripts/build-emulator.sh, once for both Windows trees (it is 32-bit for
# both programs); the script itself decides whether anything changed, so
# the target runs it on every build and it returns at once when nothing did.
# Not part of the default build: it takes minutes the first time, and only
# the demo and the cases that play against it need it (CTest builds it for
# them first, see e2e.cmake), so the program and its driver never wait for it.

set(E2E_SHIP_REAL ${CMAKE_BINARY_DIR}/e2e/ship-real/DoxPexor)

# Wine's 32-bit loader is a 32-bit Linux program: where the kernel starts
# none, Wine runs no 32-bit Windows program, the players' emulator included.
# There the 64-bit tree plays the road against a 64-bit build of the same
# sources, and the 32-bit tree, whose programs cannot run, builds none.
set(emulator_host i686-w64-mingw32)
set(emulator_name emulator)
if(CMAKE_HOST_UNIX AND EXISTS /usr/lib/wine/wine)
  execute_process(COMMAND /usr/lib/wine/wine --version RESULT_VARIABLE wine32_status
                  OUTPUT_QUIET ERROR_QUIET)
  if(NOT wine32_status EQUAL 0)
    set(emulator_host x86_64-w64-mingw32)
    set(emulator_name emulator-x86_64)
  endif()
endif()

# Building it takes Debian's apt and a shell: elsewhere (on Windows) the
# folder of the stand-in takes its place.
find_program(APT_GET apt-get)
if(NOT CMAKE_HOST_UNIX OR NOT APT_GET OR (emulator_host STREQUAL x86_64-w64-mingw32 AND
                                          CMAKE_SIZEOF_VOID_P EQUAL 4))
  message(STATUS "The real emulator is not built for this tree; the demo uses the stand-in")
  set(E2E_SHIP_REAL ${CMAKE_BINARY_DIR}/e2e/ship/DoxPexor)
  add_custom_target(e2e_ship_real)
  add_dependencies(e2e_ship_real e2e_ship)
  return()
endif()

# One emulator for both Windows trees; PEXOR_EMULATOR_DIR in the environment
# can keep it outside the tree, for fresh clones on one machine to share.
set(emulator_dir ${CMAKE_SOURCE_DIR}/build/${emulator_name})
if(DEFINED ENV{PEXOR_EMULATOR_DIR})
  set(emulator_dir $ENV{PEXOR_EMULATOR_DIR})
endif()
set(PEXOR_EMULATOR_DIR ${emulator_dir} CACHE PATH "Where scripts/build-emulator.sh puts DOSBox.exe")
set(EMULATOR_EXE ${PEXOR_EMULATOR_DIR}/DOSBox.exe)
add_custom_target(emulator
  COMMAND ${CMAKE_COMMAND} -E env PEXOR_EMULATOR_DIR=${PEXOR_EMULATOR_DIR}
          PEXOR_EMULATOR_HOST=${emulator_host} ${CMAKE_SOURCE_DIR}/scripts/build-emulator.sh
  BYPRODUCTS ${EMULATOR_EXE}
  COMMENT "The DOS emulator from Debian's source packages (built the first time only: some minutes)"
  VERBATIM)

# The game: a .COM image, which DOS runs whatever the file's name.
find_program(NASM nasm)
if(NOT NASM)
  message(FATAL_ERROR "nasm is missing (it builds the DOS program of the tests): run scripts/setup.sh")
endif()
set(DOS_GAME_SRC ${CMAKE_SOURCE_DIR}/tests/dos/pexor.asm)
set(DOS_GAME ${CMAKE_BINARY_DIR}/dos/pexor.com)
add_custom_command(
  OUTPUT ${DOS_GAME}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/dos
  COMMAND ${NASM} -f bin -o ${DOS_GAME} ${DOS_GAME_SRC}
  DEPENDS ${DOS_GAME_SRC}
  VERBATIM)

# The shipped folder: the emulator, the configuration fixture (silent: no
# sound device, no MIDI) and the game as Pexor\Pexor.exe.
set(E2E_SHIP_REAL_CONF ${CMAKE_SOURCE_DIR}/tests/e2e/fixtures/dosbox-0.73.conf)
set(E2E_SHIP_REAL_FILES ${E2E_SHIP_REAL}/DOSBox.exe ${E2E_SHIP_REAL}/dosbox-0.73.conf
    ${E2E_SHIP_REAL}/Pexor/Pexor.exe)
add_custom_command(
  OUTPUT ${E2E_SHIP_REAL_FILES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${E2E_SHIP_REAL}/Pexor
  COMMAND ${CMAKE_COMMAND} -E copy ${EMULATOR_EXE} ${E2E_SHIP_REAL}/DOSBox.exe
  COMMAND ${CMAKE_COMMAND} -E copy ${E2E_SHIP_REAL_CONF} ${E2E_SHIP_REAL}/dosbox-0.73.conf
  COMMAND ${CMAKE_COMMAND} -E copy ${DOS_GAME} ${E2E_SHIP_REAL}/Pexor/Pexor.exe
  DEPENDS ${EMULATOR_EXE} ${E2E_SHIP_REAL_CONF} ${DOS_GAME}
  COMMENT "Assembling the shipped folder with the real emulator, ship-real/DoxPexor"
  VERBATIM)
add_custom_target(e2e_ship_real DEPENDS ${E2E_SHIP_REAL_FILES})
add_dependencies(e2e_ship_real emulator)
