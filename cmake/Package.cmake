# The Debian package: `cmake --build <build> --target package` writes qn-control-tool_<version>_<arch>.deb
# with both programs, the desktop entry, the icon and the AppStream metainfo. Dependencies
# are computed by dpkg-shlibdeps from what the programs link.
set(QN_APP_ID example.korvel.QnControlTool)

install(TARGETS qn-control-tool qnctl qn-camera-sim RUNTIME DESTINATION bin)
install(FILES ${CMAKE_SOURCE_DIR}/res/${QN_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/res/${QN_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/res/app-icon.png DESTINATION share/icons/hicolor/32x32/apps
        RENAME ${QN_APP_ID}.png)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qn-control-tool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "QN control tool maintainers <tools@korvel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control tool for QN-5200 line-scan colour cameras")
set(CPACK_PACKAGE_DESCRIPTION "Finds a camera on a serial line or a Camera Link serial channel, shows and \
changes every camera parameter, saves and loads setting files, runs calibrations and moves shading and \
look-up-table data. Includes qn-camera-sim, a camera simulator on a pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
