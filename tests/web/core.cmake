add_executable(web_core_tests
    ${CMAKE_CURRENT_LIST_DIR}/date_key_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/daily_response_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/addresses_test.cpp
)
target_link_libraries(web_core_tests PRIVATE tarvenia_web_core GTest::gtest_main)
gtest_discover_tests(web_core_tests DISCOVERY_TIMEOUT 60)
