# quindelar.exe: the 32-bit Windows program. A GUI program (-mwindows),
# linked statically so that it runs with no DLL beside it, and stripped in
# release builds.
add_executable(quindelar WIN32 ${CMAKE_CURRENT_LIST_DIR}/main_win32.cpp)
target_link_libraries(quindelar PRIVATE tarvenia_window_win32)
target_link_options(quindelar PRIVATE -static $<$<CONFIG:Release,MinSizeRel>:-s>)
# The version resource, filled in from the project's version.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.rc.in ${CMAKE_CURRENT_BINARY_DIR}/version.rc @ONLY)
target_sources(quindelar PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/version.rc)
