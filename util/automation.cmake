# Automation objects, the regex object and the GBK <-> UTF-16 text helpers of lumeno_util.
target_sources(lumeno_util PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/automation.h ${CMAKE_CURRENT_LIST_DIR}/automation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/regex_object.h ${CMAKE_CURRENT_LIST_DIR}/regex_object.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wide_text.h ${CMAKE_CURRENT_LIST_DIR}/wide_text.cpp)
target_link_libraries(lumeno_util PUBLIC lumeno_platform_com)
