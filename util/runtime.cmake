# Runtime services (text, conversions, byte sets, arithmetic, files, fatal errors, the global
# operator new that makes an allocation failure one of them) and the text slicing helpers,
# added to lumeno_util.
target_sources(lumeno_util PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/runtime_text_search.h
    ${CMAKE_CURRENT_LIST_DIR}/runtime_text_search.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_text_search_ops.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_text_basic.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_conversions.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_bytes.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_arithmetic.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_files.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_fatal.cpp
    ${CMAKE_CURRENT_LIST_DIR}/runtime_allocation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text_slicing.h
    ${CMAKE_CURRENT_LIST_DIR}/text_slicing.cpp)
