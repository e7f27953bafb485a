# The session transport of lumeno_http: WebRequest over the WinHTTP handle functions.
target_sources(lumeno_http PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/winhttp_api.h ${CMAKE_CURRENT_LIST_DIR}/winhttp_api.cpp
    ${CMAKE_CURRENT_LIST_DIR}/web_request.h ${CMAKE_CURRENT_LIST_DIR}/web_request.cpp)
target_link_libraries(lumeno_http PUBLIC lumeno_platform_winhttp)
