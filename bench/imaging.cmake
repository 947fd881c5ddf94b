# bench_conversio: conversio of a 4000 x 3000 colour photo against djpeg
# writing the same BMP (24 bits and 8 bits), medians and ratios printed.
add_executable(bench_conversio ${CMAKE_CURRENT_LIST_DIR}/conversio_bench.cpp)
target_link_libraries(bench_conversio PRIVATE tarvenia_imaging tarvenia_base)
