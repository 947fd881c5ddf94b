# tarvenia_imaging: JPEG decoding (libjpeg through its IJG API), BMP writing
# and conversio. For a cross-build, JPEG_INCLUDE_DIR and JPEG_LIBRARY may name
# a static libjpeg-turbo built for the target; FindJPEG then takes them as
# they are.
find_package(JPEG REQUIRED)

add_library(tarvenia_imaging STATIC
    jpeg_decompressor.cpp
    jpeg_picture.cpp
    bmp_writer.cpp
    conversio.cpp
)
target_include_directories(tarvenia_imaging PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tarvenia_imaging PUBLIC tarvenia_base PRIVATE JPEG::JPEG)
