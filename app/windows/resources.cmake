# The resources of lumeno-box.exe (lumeno-box.rc, compiled by windres): the manifest and the
# version header configured from the project version, and the icon rendered from its SVG
# source by scripts/make-icon.sh at build time, so the SVG is the icon's only source.
find_program(LUMENO_RSVG_CONVERT rsvg-convert REQUIRED)  # librsvg2-bin
find_program(LUMENO_ICOTOOL icotool REQUIRED)            # icoutils

set(resources ${CMAKE_CURRENT_BINARY_DIR}/resources)
set(LUMENO_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(LUMENO_VERSION_MINOR 0)
set(LUMENO_VERSION_PATCH 0)
if(NOT PROJECT_VERSION_MINOR STREQUAL "")
    set(LUMENO_VERSION_MINOR ${PROJECT_VERSION_MINOR})
endif()
if(NOT PROJECT_VERSION_PATCH STREQUAL "")
    set(LUMENO_VERSION_PATCH ${PROJECT_VERSION_PATCH})
endif()
set(LUMENO_VERSION_QUAD
    "${LUMENO_VERSION_MAJOR}.${LUMENO_VERSION_MINOR}.${LUMENO_VERSION_PATCH}.0")
configure_file(windows/version.h.in ${resources}/lumeno_version.h @ONLY)
configure_file(windows/lumeno-box.manifest.in ${resources}/lumeno-box.manifest @ONLY)

set(icon_source ${PROJECT_SOURCE_DIR}/resources/lumeno-box.svg)
add_custom_command(OUTPUT ${resources}/lumeno-box.ico
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/make-icon.sh ico ${resources}/lumeno-box.ico
            ${icon_source}
    DEPENDS ${icon_source} ${PROJECT_SOURCE_DIR}/scripts/make-icon.sh
    COMMENT "Rendering lumeno-box.ico from lumeno-box.svg"
    VERBATIM)

# windres finds the files the script names in the include folders.
set_source_files_properties(windows/lumeno-box.rc PROPERTIES
    OBJECT_DEPENDS "${resources}/lumeno-box.ico;${resources}/lumeno-box.manifest;${resources}/lumeno_version.h;${PROJECT_SOURCE_DIR}/ui/win32/win32_resource_ids.h")
# One object of the compiled script, linked into lumeno-box.exe and into the programs that show
# its window as users get it (the DPI layout test, the screenshot tool): the same manifest, so
# the same themed controls, and the same icon.
add_library(lumeno_box_resources OBJECT windows/lumeno-box.rc ${resources}/lumeno-box.ico)
target_include_directories(lumeno_box_resources PRIVATE ${resources} ${PROJECT_SOURCE_DIR})
target_link_libraries(lumeno-box PRIVATE lumeno_box_resources)
