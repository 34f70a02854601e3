# World benchmarks: built with everything else, never run by ctest.
find_package(benchmark REQUIRED)
add_executable(bench_world ${CMAKE_CURRENT_SOURCE_DIR}/bench_world.cpp)
target_link_libraries(bench_world PRIVATE dungeon_test_support benchmark::benchmark_main)
dungeon_warnings(bench_world)
