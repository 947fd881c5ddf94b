# quindelar: the program under Qt.
add_executable(quindelar main_qt.cpp)
target_link_libraries(quindelar PRIVATE tarvenia_window_qt tarvenia_wallpaper)
target_compile_definitions(quindelar PRIVATE TARVENIA_APP_ID="${TARVENIA_APP_ID}")
