# Makes the release zip: the program and the players' text, side by side.
#   cmake -DEXE=... -DTEXT=... -DOUT=.../PexorLauncher-<version>.zip -P package.cmake
# The text must open right in Windows Notepad: UTF-8 with its byte-order
# mark, CR LF line ends.
foreach(var EXE TEXT OUT)
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

get_filename_component(out_dir ${OUT} DIRECTORY)
get_filename_component(out_name ${OUT} NAME_WE)
set(stage ${out_dir}/${out_name}.stage)
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
file(COPY ${EXE} ${TEXT} DESTINATION ${stage})
get_filename_component(exe_name ${EXE} NAME)
get_filename_component(text_name ${TEXT} NAME)
file(REMOVE ${OUT})
# A fixed time stamp, so the same files make the same zip.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E tar cf ${OUT} --format=zip "--mtime=2000-01-01 00:00:00 UTC"
          ${exe_name} ${text_name}
  WORKING_DIRECTORY ${stage} RESULT_VARIABLE failed)
file(REMOVE_RECURSE ${stage})
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
message(STATUS "Release: ${OUT}")
