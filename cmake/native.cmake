# Native build: unit tests of the logic against in-memory fakes, and the fake-backed benchmark.
enable_testing()
if(EXISTS /usr/src/googletest/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

file(GLOB VS_UNIT_TESTS CONFIGURE_DEPENDS tests/unit/*.cpp)
add_executable(unit_tests ${VS_UNIT_TESTS})
target_link_libraries(unit_tests PRIVATE vs_fakes GTest::gtest_main GTest::gmock)
vs_warnings(unit_tests)
gtest_discover_tests(unit_tests)

add_executable(bench_switch bench/bench_switch.cpp)
target_link_libraries(bench_switch PRIVATE vs_fakes)
vs_warnings(bench_switch)
