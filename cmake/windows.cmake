# The real program, cross-built; end-to-end tests run it under Wine.
file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
add_executable(PexorLauncher WIN32 app/main.cpp ${WIN32_SOURCES} resources/launcher.rc)
target_link_libraries(PexorLauncher PRIVATE pexor_core user32 gdi32 shell32 ole32 oleaut32 uuid
  comdlg32 advapi32)
target_link_options(PexorLauncher PRIVATE -static -municode -s)
set_target_properties(PexorLauncher PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

if(EXISTS ${CMAKE_SOURCE_DIR}/cmake/e2e.cmake)
  include(cmake/e2e.cmake)
endif()
