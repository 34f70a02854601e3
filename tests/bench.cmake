# World benchmarks: built with everything else, never run by ctest.
find_package(benchmark REQUIRED)
add_executable(bench_world ${CMAKE_CURRENT_SOURCE_DIR}/bench_world.cpp)
target_link_libraries(bench_world PRIVATE dungeon_game benchmark::benchmark_main)
target_include_directories(bench_world PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(bench_world PRIVATE DUNGEON_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
dungeon_warnings(bench_world)
