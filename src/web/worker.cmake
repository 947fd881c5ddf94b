# The download worker and the platform's HTTP client (http_curl.cpp or
# http_wininet.cpp, chosen by TARVENIA_HTTP).
find_package(Threads REQUIRED)
add_library(tarvenia_web STATIC
    ${CMAKE_CURRENT_LIST_DIR}/vazi_dov_thread.cpp
    ${CMAKE_CURRENT_LIST_DIR}/thread_worker_starter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/http_${TARVENIA_HTTP}.cpp
)
target_link_libraries(tarvenia_web PUBLIC tarvenia_web_core tarvenia_base Threads::Threads)
if(TARVENIA_HTTP STREQUAL "curl")
    find_package(CURL REQUIRED)
    target_link_libraries(tarvenia_web PRIVATE CURL::libcurl)
elseif(TARVENIA_HTTP STREQUAL "wininet")
    target_link_libraries(tarvenia_web PRIVATE wininet)
endif()
