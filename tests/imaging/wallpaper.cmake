# Wallpaper tests: real settings schemas (keyfile store), the real Xfconf
# daemon and stand-in desktop services on private session buses. The test
# main points every user folder into a temporary tree first.
if(TARVENIA_DESKTOP STREQUAL "linux")
    add_library(tarvenia_wallpaper_testing STATIC
        wallpaper_fake_service.cpp
        wallpaper_silent_socket.cpp
        wallpaper_test_bus.cpp
    )
    target_include_directories(tarvenia_wallpaper_testing PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(tarvenia_wallpaper_testing PUBLIC tarvenia_wallpaper)

    add_executable(wallpaper_tests
        wallpaper_test_main.cpp
        wallpaper_detection_test.cpp
        wallpaper_feh_test.cpp
        wallpaper_gsettings_test.cpp
        wallpaper_bus_test.cpp
    )
    target_link_libraries(wallpaper_tests PRIVATE tarvenia_wallpaper_testing GTest::gtest)
    gtest_discover_tests(wallpaper_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60)

    # A system where no schema is compiled at all.
    add_executable(wallpaper_noschema_tests wallpaper_test_main.cpp wallpaper_noschema_test.cpp)
    target_link_libraries(wallpaper_noschema_tests PRIVATE tarvenia_wallpaper GTest::gtest)
    gtest_discover_tests(wallpaper_noschema_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60
        ENVIRONMENT "XDG_DATA_DIRS=${CMAKE_CURRENT_BINARY_DIR}/no-schemas")

    # The dconf store, whose writes need the session bus.
    add_executable(wallpaper_dconf_tests wallpaper_test_main.cpp wallpaper_dconf_test.cpp)
    target_link_libraries(wallpaper_dconf_tests PRIVATE tarvenia_wallpaper_testing GTest::gtest)
    gtest_discover_tests(wallpaper_dconf_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 60
        ENVIRONMENT "TARVENIA_TEST_GSETTINGS_BACKEND=dconf")
endif()
