# Photo keys, the service's addresses and the daily response.
add_library(tarvenia_web_core STATIC
    ${CMAKE_CURRENT_LIST_DIR}/date_key.cpp
    ${CMAKE_CURRENT_LIST_DIR}/addresses.cpp
    ${CMAKE_CURRENT_LIST_DIR}/daily_response.cpp
)
target_link_libraries(tarvenia_web_core PUBLIC tarvenia_base)
# Only addresses.cpp reads it; the program has no run-time configuration.
target_compile_definitions(tarvenia_web_core PRIVATE
    TARVENIA_SERVICE_URL="${TARVENIA_SERVICE_URL}")
