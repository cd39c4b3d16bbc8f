# Makes the release zip: the program and the players' text, side by side, and
# beside it OUT.sha256, its SHA-256 as sha256sum writes it.
#   cmake -DEXE=... -DTEXT=... -DPYTHON=... -DOUT=.../PexorLauncher-<version>.zip -P package.cmake
# The text must open right in Windows Notepad: UTF-8 with its byte-order
# mark, CR LF line ends.
cmake_policy(VERSION 3.25)
foreach(var EXE TEXT PYTHON OUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "package.cmake: ${var} is not set")
  endif()
endforeach()

file(READ ${TEXT} hex HEX)
if(NOT hex MATCHES "^efbbbf")
  message(FATAL_ERROR "${TEXT}: no UTF-8 byte-order mark")
endif()
# Every LF (0a) must follow a CR (0d); the hex pairs are matched from the start.
string(REGEX MATCHALL "[0-9a-f][0-9a-f]" bytes "${hex}")
set(previous "")
foreach(byte ${bytes})
  if(byte STREQUAL "0a" AND NOT previous STREQUAL "0d")
    message(FATAL_ERROR "${TEXT}: a line ends without CR LF")
  endif()
  set(previous ${byte})
endforeach()

if(NOT PYTHON)
  message(FATAL_ERROR "package.cmake: the zip is written by Python 3, which was not found")
endif()
get_filename_component(exe_name ${EXE} NAME)
get_filename_component(text_name ${TEXT} NAME)
get_filename_component(out_name ${OUT} NAME)
get_filename_component(out_dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
file(REMOVE ${OUT} ${OUT}.sha256)
# Not `cmake -E tar`: its zip carries the builder's user and group ids and
# the files' modes and access and change times, so no two builds matched.
execute_process(COMMAND ${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/write_zip.py ${OUT} ${EXE} ${TEXT}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "package.cmake: cannot write ${OUT}")
endif()

# Read back: exactly the two files.
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${OUT} OUTPUT_VARIABLE listed
                RESULT_VARIABLE failed)
string(REPLACE "\n" ";" listed "${listed}")
list(REMOVE_ITEM listed "")
list(SORT listed)
set(expected ${exe_name} ${text_name})
list(SORT expected)
if(failed OR NOT listed STREQUAL expected)
  message(FATAL_ERROR "package.cmake: ${OUT} holds '${listed}', not '${expected}'")
endif()
file(SHA256 ${OUT} sha256)
file(WRITE ${OUT}.sha256 "${sha256}  ${out_name}\n")
message(STATUS "Release: ${OUT}, SHA-256 ${sha256}")
