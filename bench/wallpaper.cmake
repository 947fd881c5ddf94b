# Owned by the wallpaper module: Install timed for each reachable desktop.
if(TARVENIA_DESKTOP STREQUAL "linux")
    set(_wallpaper_test_helpers ${PROJECT_SOURCE_DIR}/tests/imaging)
    add_executable(wallpaper_bench
        wallpaper_bench.cpp
        ${_wallpaper_test_helpers}/wallpaper_fake_service.cpp
        ${_wallpaper_test_helpers}/wallpaper_silent_socket.cpp
        ${_wallpaper_test_helpers}/wallpaper_test_bus.cpp
    )
    target_include_directories(wallpaper_bench PRIVATE ${_wallpaper_test_helpers})
    target_link_libraries(wallpaper_bench PRIVATE tarvenia_wallpaper)
endif()
