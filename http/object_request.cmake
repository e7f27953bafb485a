# The object transport of lumeno_http: ObjectWebRequest over the scriptable request class.
target_sources(lumeno_http PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/object_web_request.h
    ${CMAKE_CURRENT_LIST_DIR}/object_web_request.cpp
    ${CMAKE_CURRENT_LIST_DIR}/object_request_parts.cpp)
target_link_libraries(lumeno_http PUBLIC lumeno_platform_winhttp lumeno_platform_com)
