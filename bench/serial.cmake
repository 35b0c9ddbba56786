# Serial transport benchmark; build in Release and run it by hand, e.g. bin/bench_poll --silent-seconds 60.
add_executable(bench_poll ${CMAKE_CURRENT_LIST_DIR}/bench_poll.cpp)
target_link_libraries(bench_poll PRIVATE bb_station bb_serial bb_sim)
# Fault soak of both port workers against the simulated instruments; build in Release and run it by hand,
# e.g. bin/bench_fault_soak --exchanges 100000 --seed 1 (about ten minutes).
add_executable(bench_fault_soak
    ${CMAKE_CURRENT_LIST_DIR}/bench_fault_soak.cpp
    ${CMAKE_CURRENT_LIST_DIR}/soakblackbody.cpp ${CMAKE_CURRENT_LIST_DIR}/soakblackbody.h
    ${CMAKE_CURRENT_LIST_DIR}/soakledger.cpp ${CMAKE_CURRENT_LIST_DIR}/soakledger.h
    ${CMAKE_CURRENT_LIST_DIR}/soakthermometer.cpp ${CMAKE_CURRENT_LIST_DIR}/soakthermometer.h
    ${CMAKE_CURRENT_LIST_DIR}/soaklink.cpp ${CMAKE_CURRENT_LIST_DIR}/soaklink.h
    ${CMAKE_CURRENT_LIST_DIR}/soakwaits.h
)
target_link_libraries(bench_fault_soak PRIVATE bb_serial bb_sim bb_control)
# A short soak keeps the bench and the workers' fault handling honest in every test run; sanitizer builds
# would slow it down and grow its memory past its limits.
if(BB_SANITIZE STREQUAL "")
    add_test(NAME bench_fault_soak_smoke COMMAND bench_fault_soak --exchanges 600)
    set_tests_properties(bench_fault_soak_smoke PROPERTIES TIMEOUT 60)
endif()
# Remote-control round trips and the poll period while clients query; run by hand, e.g. bin/bench_scpi.
add_executable(bench_scpi ${CMAKE_CURRENT_LIST_DIR}/bench_scpi.cpp)
target_link_libraries(bench_scpi PRIVATE bb_app bb_remote bb_sim)
# Request-to-reading time through the instrument link and the simulated instrument for each example driver
# at 9600 and 115200 baud; build in Release and run it by hand, e.g. bin/bench_uut_reading --readings 500.
add_executable(bench_uut_reading ${CMAKE_CURRENT_LIST_DIR}/bench_uut_reading.cpp)
target_link_libraries(bench_uut_reading PRIVATE bb_station bb_settings bb_sim)
