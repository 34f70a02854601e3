# The level check: reads the shipped layer files with the game's own readers
# and the shipped pictures, and checks the level can be won in time.
# Included from tests/CMakeLists.txt; runs in the repository root, where the
# Assets folder is.
find_package(GTest REQUIRED)
include(GoogleTest)

add_executable(level_check ${CMAKE_CURRENT_LIST_DIR}/level_check.cpp)
target_link_libraries(level_check PRIVATE dungeon_test_support GTest::gtest_main)
dungeon_warnings(level_check)
gtest_discover_tests(level_check
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  TEST_PREFIX "level_check."
  DISCOVERY_TIMEOUT 30)
