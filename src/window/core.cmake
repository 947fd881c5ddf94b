# tarvenia_window: the toolkit-neutral controller of the main window.
add_library(tarvenia_window STATIC ${CMAKE_CURRENT_LIST_DIR}/tform1.cpp)
target_include_directories(tarvenia_window PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tarvenia_window
    PUBLIC tarvenia_lists tarvenia_web_core tarvenia_web tarvenia_imaging tarvenia_base)
