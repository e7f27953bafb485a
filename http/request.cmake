# Request options and header assembly, cookie merging: added to lumeno_http.
target_sources(lumeno_http PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/request_options.h
    ${CMAKE_CURRENT_LIST_DIR}/request_headers.h ${CMAKE_CURRENT_LIST_DIR}/request_headers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cookies.h ${CMAKE_CURRENT_LIST_DIR}/cookies.cpp)
