# Decoding, BMP writing and conversio, checked against the JPEG tools of the
# system (cjpeg, djpeg, ImageMagick); tests needing a missing tool skip.
find_package(JPEG REQUIRED)
add_executable(imaging_tests
    jpeg_test_images.cpp
    hostile_jpeg.cpp
    jpeg_picture_test.cpp
    bmp_writer_test.cpp
    conversio_test.cpp
)
target_link_libraries(imaging_tests PRIVATE tarvenia_imaging tarvenia_base JPEG::JPEG GTest::gtest_main)
gtest_discover_tests(imaging_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
