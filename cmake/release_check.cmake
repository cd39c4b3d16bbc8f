# The test release.zip: the release builds the same bytes every time. The
# program's twin (the same sources compiled into a folder of their own) is
# linked now, a second or more after the program was, and must equal it byte
# for byte; the program holds no path of this machine; and a zip of each,
# made at two moments in two folders, is the same zip, with its SHA-256
# beside it.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DEXE=... -DTWIN=... -DTEXT=... -DPYTHON=...
#         -P release_check.cmake
cmake_policy(VERSION 3.25)
foreach(var BUILD_DIR SOURCE_DIR EXE TWIN TEXT PYTHON)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "release_check.cmake: ${var} is not set")
  endif()
endforeach()

# A time stamp written by the linker would then differ.
file(REMOVE ${TWIN})
file(TIMESTAMP ${EXE} linked "%s" UTC)
string(TIMESTAMP now "%s" UTC)
if(now STREQUAL linked)
  execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target PexorLauncherTwin
                OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the twin did not build:\n${out}")
endif()
file(SHA256 ${EXE} program)
file(SHA256 ${TWIN} twin)
if(NOT program STREQUAL twin)
  message(FATAL_ERROR "two links of the same sources differ (is the tree built?):\n"
                      "  ${program}  ${EXE}\n  ${twin}  ${TWIN}\n"
                      "compare them with `objdump -p` and `cmp -l`")
endif()

# No folder of this machine inside, as __FILE__ or debug information would
# put it.
foreach(folder ${SOURCE_DIR} ${BUILD_DIR})
  string(REGEX REPLACE "([][+.*()^$?|\\])" "\\\\\\1" pattern "${folder}")
  file(STRINGS ${EXE} found REGEX "${pattern}")
  if(found)
    message(FATAL_ERROR "${EXE} holds the path ${folder}: ${found}")
  endif()
endforeach()

# The zip of each, in a folder of its own.
set(check ${BUILD_DIR}/release-check)
file(REMOVE_RECURSE ${check})
set(zips "")
foreach(which program twin)
  if(which STREQUAL program)
    set(input ${EXE})
  else()
    set(input ${TWIN})
    # A time of the files or of the making in the zip would then differ.
    execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1)
  endif()
  set(zip ${check}/${which}/PexorLauncher.zip)
  execute_process(COMMAND ${CMAKE_COMMAND} -DEXE=${input} -DTEXT=${TEXT} -DPYTHON=${PYTHON}
                          -DOUT=${zip} -P ${CMAKE_CURRENT_LIST_DIR}/package.cmake
                  OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "the release zip of the ${which} was not made:\n${out}")
  endif()
  file(SHA256 ${zip} sum)
  file(READ ${zip}.sha256 written)
  if(NOT written STREQUAL "${sum}  PexorLauncher.zip\n")
    message(FATAL_ERROR "${zip}.sha256 reads '${written}', the zip's SHA-256 is ${sum}")
  endif()
  list(APPEND zips ${sum})
endforeach()
list(REMOVE_DUPLICATES zips)
list(LENGTH zips different)
if(NOT different EQUAL 1)
  message(FATAL_ERROR "the two zips differ: ${zips}")
endif()
message(STATUS "the program ${program}, the zip ${zips}: the same from both links")
