# Serial transport benchmark; build in Release and run it by hand, e.g. bin/bench_poll --silent-seconds 60.
add_executable(bench_poll ${CMAKE_CURRENT_LIST_DIR}/bench_poll.cpp)
target_link_libraries(bench_poll PRIVATE bb_serial bb_sim)
