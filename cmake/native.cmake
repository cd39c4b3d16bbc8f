# Core and unit tests against the simulated desktop.
enable_testing()
find_package(GTest REQUIRED)

if(CMAKE_BUILD_TYPE STREQUAL "Debug")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
  target_compile_options(pexor_core PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
endif()

file(GLOB SIM_SOURCES CONFIGURE_DEPENDS tests/sim/*.cpp)
add_library(pexor_sim STATIC ${SIM_SOURCES})
target_link_libraries(pexor_sim PUBLIC pexor_core PRIVATE pexor_warnings)
# The standard headers and the simulator's, parsed once per target: a quarter
# of the tree's build. The lint analyses each file without them.
set(SIM_HEADERS <functional> <map> <memory> <optional> <string> <vector>
                ${CMAKE_SOURCE_DIR}/tests/sim/SimDesktop.h)
target_precompile_headers(pexor_sim PRIVATE ${SIM_HEADERS})

file(GLOB UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_SOURCES})
target_link_libraries(unit_tests PRIVATE pexor_warnings pexor_sim GTest::gtest GTest::gtest_main)
target_precompile_headers(unit_tests PRIVATE <gtest/gtest.h> ${SIM_HEADERS}
                          ${CMAKE_SOURCE_DIR}/launcher/Launcher.h)
include(GoogleTest)
gtest_discover_tests(unit_tests DISCOVERY_MODE PRE_TEST)

# The port's contract against the simulated desktop; the Windows build runs
# the same cases against the adapter.
add_executable(contract_tests tests/contract/test_port_contract.cpp
                              tests/contract/SimPortUnderTest.cpp)
target_link_libraries(contract_tests PRIVATE pexor_warnings pexor_sim GTest::gtest GTest::gtest_main)
target_precompile_headers(contract_tests REUSE_FROM unit_tests)
gtest_discover_tests(contract_tests DISCOVERY_MODE PRE_TEST TEST_PREFIX contract.)
