# bench_conversio: conversio of a 4000 x 3000 colour photo against djpeg
# writing the same BMP (24 bits and 8 bits), medians and ratios printed.
add_executable(bench_conversio ${CMAKE_CURRENT_LIST_DIR}/conversio_bench.cpp)
target_link_libraries(bench_conversio PRIVATE tarvenia_imaging tarvenia_base)

# bench_jpeg_bounds: hostile JPEG files (many scans, huge announced sizes,
# restart storms, CMYK) against a baseline photo of the same decoded size:
# decode time and peak memory, each decode in a child process.
find_package(JPEG REQUIRED)
add_executable(bench_jpeg_bounds
    ${CMAKE_CURRENT_LIST_DIR}/jpeg_bounds_bench.cpp
    ${PROJECT_SOURCE_DIR}/tests/imaging/hostile_jpeg.cpp)
target_include_directories(bench_jpeg_bounds PRIVATE ${PROJECT_SOURCE_DIR}/tests/imaging)
target_link_libraries(bench_jpeg_bounds PRIVATE tarvenia_imaging tarvenia_base JPEG::JPEG)
