# Installing on Linux (GNUInstallDirs): the program and the local wallpaper site into bin/, the
# desktop entry, the icon in every size of the hicolor theme, and the AppStream metadata; then
# the Debian package that CPack makes of that installation (scripts/package-linux.sh).
include(GNUInstallDirs)

install(TARGETS lumeno-box lumeno-demo-site RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(linux_dir ${PROJECT_SOURCE_DIR}/app/linux)
configure_file(${linux_dir}/lumeno-box.desktop.in
    ${PROJECT_BINARY_DIR}/linux/${LUMENO_APP_ID}.desktop @ONLY)
configure_file(${linux_dir}/lumeno-box.metainfo.xml.in
    ${PROJECT_BINARY_DIR}/linux/${LUMENO_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/linux/${LUMENO_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/linux/${LUMENO_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon goes by the program's id, as the desktop entry names it.
set(icons ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${LUMENO_ICON_SOURCE} DESTINATION ${icons}/scalable/apps
    RENAME ${LUMENO_APP_ID}.svg)
foreach(size ${LUMENO_ICON_SIZES})
    install(FILES ${LUMENO_ICON_DIR}/lumeno-box-${size}.png
        DESTINATION ${icons}/${size}x${size}/apps RENAME ${LUMENO_APP_ID}.png)
endforeach()

# The Debian package: lumeno-box_<version>_amd64.deb, its Depends computed from the binaries by
# dpkg-shlibdeps (dpkg-dev).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumeno-box)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Lumeno Box developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "single-window wallpaper collector")
set(CPACK_PACKAGE_DESCRIPTION
    "Lumeno Box collects wallpapers from a wallpaper site: pick a category and the listing pages, preview the pictures found and save them all at once. The local wallpaper site (lumeno-demo-site) comes with it; the menu entry starts both.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Lumeno Box developers <lumeno-box@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/lumeno/lumeno-box)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's Chinese texts need CJK glyphs, and Qt's own texts (message-box buttons) come in
# Chinese from Qt's translations; the program runs without either. apt installs both by default.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)
