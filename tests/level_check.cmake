# The level check: the shipped layer files and pictures, read with the game's own
# readers. Included from tests/CMakeLists.txt; runs where the Assets folder is.
find_package(GTest REQUIRED)
include(GoogleTest)
add_executable(level_check ${CMAKE_CURRENT_LIST_DIR}/level_check.cpp)
target_link_libraries(level_check PRIVATE dungeon_test_support GTest::gtest_main)
dungeon_warnings(level_check)
gtest_discover_tests(level_check WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  TEST_PREFIX "level_check." DISCOVERY_TIMEOUT 30)
