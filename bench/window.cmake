# The window: start-up to a mapped window against the smallest Qt program,
# the catalog step over 10,000 lines, peak memory with a 4000 x 3000 photo.
# Run all three with: cmake --build <dir> --target run_bench_window
if(TARGET tarvenia_window_qt AND TARGET quindelar)
    find_package(JPEG REQUIRED)
    find_package(Qt6 REQUIRED COMPONENTS Widgets)
    add_executable(bench_window_minimal_qt ${CMAKE_CURRENT_LIST_DIR}/window_minimal_qt.cpp)
    target_link_libraries(bench_window_minimal_qt PRIVATE Qt6::Widgets)
    add_executable(bench_window ${CMAKE_CURRENT_LIST_DIR}/window_bench.cpp)
    target_link_libraries(bench_window PRIVATE tarvenia_window_qt JPEG::JPEG)
    add_custom_target(run_bench_window
        COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/window_bench.sh
            $<TARGET_FILE:quindelar> $<TARGET_FILE:bench_window_minimal_qt>
            $<TARGET_FILE:bench_window>
        DEPENDS quindelar bench_window_minimal_qt bench_window
        USES_TERMINAL)
endif()
