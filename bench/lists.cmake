# LoadEntries on a 100,000-line catalog against a plain read of the same file.
add_executable(bench_load_entries ${CMAKE_CURRENT_LIST_DIR}/load_entries_bench.cpp)
target_link_libraries(bench_load_entries PRIVATE tarvenia_lists)
