# Response text decoding of lumeno_http.
target_sources(lumeno_http PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/response_decoding.h ${CMAKE_CURRENT_LIST_DIR}/response_decoding.cpp)
