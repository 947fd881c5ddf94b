# The download worker against a scripted network, the platform's HTTP client
# (http_curl_test.cpp or http_wininet_test.cpp) against servers on loopback,
# and the demo photo service.
find_package(PkgConfig REQUIRED)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)

add_executable(worker_tests
    ${CMAKE_CURRENT_LIST_DIR}/worker_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/http_${TARVENIA_HTTP}_test.cpp
)
target_link_libraries(worker_tests PRIVATE tarvenia_web PkgConfig::HTTPLIB GTest::gtest_main)
if(TARGET tarvenia-demo-service)
    target_sources(worker_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR}/demo_service_test.cpp)
    target_link_libraries(worker_tests PRIVATE tarvenia_demo_content)
    target_compile_definitions(worker_tests PRIVATE
        TARVENIA_DEMO_SERVICE="$<TARGET_FILE:tarvenia-demo-service>")
    add_dependencies(worker_tests tarvenia-demo-service)
endif()
# Labelled "worker": the ThreadSanitizer build of CI runs these (ctest -L worker).
gtest_discover_tests(worker_tests DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 60 ENVIRONMENT "no_proxy=127.0.0.1,localhost" LABELS worker)
