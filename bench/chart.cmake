# Chart and recording benchmarks; build in Release and run them by hand, e.g. bin/bench_chart_store.
add_executable(bench_chart_store ${CMAKE_CURRENT_LIST_DIR}/bench_chart_store.cpp)
target_link_libraries(bench_chart_store PRIVATE bb_chartparts)
