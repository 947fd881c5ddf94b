# bench_download: an 8 MiB photo through a photo run (every read handed over
# to a main thread that answers it) against `curl -s -o` of the same address;
# MB/s of both and their ratio printed.
if(TARGET tarvenia_demo_content)
    add_executable(bench_download ${CMAKE_CURRENT_LIST_DIR}/download_bench.cpp)
    target_link_libraries(bench_download PRIVATE tarvenia_web tarvenia_demo_content)
endif()
# With the Qt front-end, also through a real Qt event loop and the program's
# own hand-over (QtMainThread).
if(TARGET bench_download AND TARGET tarvenia_window_qt)
    target_link_libraries(bench_download PRIVATE tarvenia_window_qt)
    target_compile_definitions(bench_download PRIVATE TARVENIA_BENCH_QT)
endif()
