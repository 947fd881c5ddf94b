# The Qt front-end, drawn by the offscreen platform: no display needed.
find_package(Qt6 REQUIRED COMPONENTS Test)
add_executable(window_qt_tests qt_window_test.cpp qt_main_thread_test.cpp qt_main.cpp)
target_link_libraries(window_qt_tests PRIVATE tarvenia_window_qt Qt6::Test JPEG::JPEG GTest::gtest)
set_target_properties(window_qt_tests PROPERTIES AUTOMOC ON)
set(TARVENIA_QT_TEST_ENV
    QT_QPA_PLATFORM=offscreen
    XDG_RUNTIME_DIR=${CMAKE_CURRENT_BINARY_DIR}/runtime
    XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/data)
file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/runtime)
file(CHMOD ${CMAKE_CURRENT_BINARY_DIR}/runtime DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
gtest_discover_tests(window_qt_tests
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${TARVENIA_QT_TEST_ENV}" TIMEOUT 60)
