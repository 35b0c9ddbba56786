# Chart and recording benchmarks; build in Release and run them by hand from bin/:
#   bench_chart_store      store appends, memory, follow-mode and whole-curve frames at 10 M samples
#   bench_chart_collector  collector tick deviation while the GUI thread replots
#   bench_curve_file       curve file write and read at 10 M rows
#   bench_csv_export       CSV export of a 10 M-row curve
#   bench_recording_journal  what a recording's journal costs at the 10 ms interval (CPU, syncs, bytes)
add_executable(bench_chart_store ${CMAKE_CURRENT_LIST_DIR}/bench_chart_store.cpp)
target_link_libraries(bench_chart_store PRIVATE bb_plot)
add_executable(bench_chart_collector ${CMAKE_CURRENT_LIST_DIR}/bench_chart_collector.cpp)
target_link_libraries(bench_chart_collector PRIVATE bb_plot)
add_executable(bench_curve_file ${CMAKE_CURRENT_LIST_DIR}/bench_curve_file.cpp)
target_link_libraries(bench_curve_file PRIVATE bb_recording)
add_executable(bench_csv_export ${CMAKE_CURRENT_LIST_DIR}/bench_csv_export.cpp)
target_link_libraries(bench_csv_export PRIVATE bb_recording)
add_executable(bench_recording_journal ${CMAKE_CURRENT_LIST_DIR}/bench_recording_journal.cpp)
target_link_libraries(bench_recording_journal PRIVATE bb_recording)
