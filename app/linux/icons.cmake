# The program's icon on Linux, rendered from resources/lumeno-box.svg by scripts/make-icon.sh at
# build time (the SVG stays its only source): one PNG per size the desktop's icon theme asks
# for, installed under share/icons/hicolor, and the same PNGs built into lumeno-box as Qt
# resources, from which the window takes its icon.
find_program(LUMENO_RSVG_CONVERT rsvg-convert REQUIRED)  # librsvg2-bin

set(icon_pngs)
set(qrc_entries)
foreach(size ${LUMENO_ICON_SIZES})
    set(png ${LUMENO_ICON_DIR}/lumeno-box-${size}.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${LUMENO_ICON_DIR}
        COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/make-icon.sh png ${size} ${png}
                ${LUMENO_ICON_SOURCE}
        DEPENDS ${LUMENO_ICON_SOURCE} ${PROJECT_SOURCE_DIR}/scripts/make-icon.sh
        COMMENT "Rendering a ${size}-pixel lumeno-box.png from lumeno-box.svg"
        VERBATIM)
    list(APPEND icon_pngs ${png})
    string(APPEND qrc_entries "        <file>lumeno-box-${size}.png</file>\n")
endforeach()

# The resource file sits beside the PNGs, so each is named by its file name alone; rcc waits for
# the PNGs it lists.
file(CONFIGURE OUTPUT ${LUMENO_ICON_DIR}/lumeno-box-icons.qrc
    CONTENT "<!DOCTYPE RCC><RCC version=\"1.0\">\n    <qresource prefix=\"/icons\">\n${qrc_entries}    </qresource>\n</RCC>\n"
    @ONLY)
qt_add_resources(lumeno_icon_sources ${LUMENO_ICON_DIR}/lumeno-box-icons.qrc)
target_sources(lumeno-box PRIVATE ${lumeno_icon_sources})
add_custom_target(lumeno_icons DEPENDS ${icon_pngs})
add_dependencies(lumeno-box lumeno_icons)
