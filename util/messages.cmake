# Threads, the message pump and the responsive delay, on platform/system.
target_sources(lumeno_util PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/process_messages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/responsive_delay.cpp
    ${CMAKE_CURRENT_LIST_DIR}/responsive_delay.h
    ${CMAKE_CURRENT_LIST_DIR}/start_thread.cpp)
target_link_libraries(lumeno_util PUBLIC lumeno_platform_system)
