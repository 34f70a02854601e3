# The level check: the shipped level files and pictures, read where the Assets folder is.
add_executable(level_check ${CMAKE_CURRENT_LIST_DIR}/level_check.cpp)
target_link_libraries(level_check PRIVATE dungeon_test_support GTest::gtest_main)
dungeon_warnings(level_check)
gtest_discover_tests(level_check WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
  TEST_PREFIX "level_check." DISCOVERY_TIMEOUT 30)
