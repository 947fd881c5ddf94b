# tarvenia_wallpaper: installing the wallpaper bitmap as the desktop wallpaper.
# The Linux variant reaches the desktops through GIO (GSettings, GDBus); the
# Windows variant calls the system directly.
add_library(tarvenia_wallpaper STATIC wallpaper_${TARVENIA_DESKTOP}.cpp)
target_include_directories(tarvenia_wallpaper PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_compile_features(tarvenia_wallpaper PUBLIC cxx_std_20)

if(TARVENIA_DESKTOP STREQUAL "linux")
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(TARVENIA_GIO REQUIRED IMPORTED_TARGET gio-2.0)
    find_package(Threads REQUIRED)
    target_sources(tarvenia_wallpaper PRIVATE
        desktop_bus.cpp
        desktop_detection.cpp
        desktop_process.cpp
        desktop_system_probe.cpp
        desktop_wallpaper_installer.cpp
        wallpaper_feh.cpp
        wallpaper_gsettings.cpp
        wallpaper_plasma.cpp
        wallpaper_xfconf.cpp
    )
    # Public: the tests drive the helpers with GIO types.
    target_link_libraries(tarvenia_wallpaper PUBLIC PkgConfig::TARVENIA_GIO Threads::Threads)
endif()

if(TARVENIA_DESKTOP STREQUAL "windows")
    target_link_libraries(tarvenia_wallpaper PUBLIC user32)
endif()
