# The Debian package: `cmake --build <build> --target package` writes qn-control-tool_<version>_<arch>.deb
# with the three programs, their manual pages, the bash completion of qnctl, the desktop entry,
# the icon, the AppStream metainfo, the plant page, the copyright file and the changelog.
# Dependencies are computed by dpkg-shlibdeps from what the programs link.
set(QN_APP_ID example.korvel.QnControlTool)
set(QN_PACKAGE qn-control-tool)
set(QN_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)

include(cmake/ManPages.cmake)

install(TARGETS qn-control-tool qnctl qn-camera-sim RUNTIME DESTINATION bin)
# The Python module and its stub, where the system's python3 finds them.
if(TARGET qncam)
  install(TARGETS qncam LIBRARY DESTINATION lib/python3/dist-packages)
  install(FILES ${CMAKE_SOURCE_DIR}/src/python/qncam.pyi DESTINATION lib/python3/dist-packages)
  # An extension module loads into one Python minor version only, which it does not link;
  # the dependency says which, as Debian's own Python packages do.
  math(EXPR QN_PYTHON_NEXT "${QN_PYTHON_MINOR} + 1")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "python3 (>= ${QN_PYTHON_MAJOR}.${QN_PYTHON_MINOR}~), python3 (<< ${QN_PYTHON_MAJOR}.${QN_PYTHON_NEXT})")
endif()
install(FILES ${CMAKE_SOURCE_DIR}/res/${QN_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/res/${QN_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/res/app-icon.png DESTINATION share/icons/hicolor/32x32/apps
        RENAME ${QN_APP_ID}.png)
install(FILES ${QN_PACKAGING}/qnctl.bash-completion DESTINATION share/bash-completion/completions
        RENAME qnctl)
install(FILES ${QN_PACKAGING}/copyright DESTINATION share/doc/${QN_PACKAGE})
# The station and the watcher as systemd services, one instance per port.
install(FILES ${QN_PACKAGING}/systemd/qnctl-station@.service ${QN_PACKAGING}/systemd/qnctl-watch@.service
        DESTINATION lib/systemd/system)
# The plant page with its vendored MQTT client (web/plant/setup.sh copies it there).
set(QN_PLANT_PAGE ${CMAKE_SOURCE_DIR}/web/plant)
install(FILES ${QN_PLANT_PAGE}/index.html ${QN_PLANT_PAGE}/plant.css ${QN_PLANT_PAGE}/plant.js
        DESTINATION share/${QN_PACKAGE}/plant)
install(FILES ${QN_PLANT_PAGE}/vendor/mqtt.min.js DESTINATION share/${QN_PACKAGE}/plant/vendor)

# Debian wants the changelog compressed; -n leaves out the name and time, so it is reproducible.
set(QN_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${QN_CHANGELOG_GZ}
                   COMMAND ${QN_GZIP} -9n -c ${QN_CHANGELOG} > ${QN_CHANGELOG_GZ}
                   DEPENDS ${QN_CHANGELOG}
                   COMMENT "Compressed changelog")
add_custom_target(qn_changelog ALL DEPENDS ${QN_CHANGELOG_GZ})
install(FILES ${QN_CHANGELOG_GZ} DESTINATION share/doc/${QN_PACKAGE})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${QN_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "QN control tool maintainers <tools@korvel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control tool for QN-5200 line-scan colour cameras")
# One paragraph line per source line: lintian wants each within 80 columns.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Finds a camera on a serial line or a Camera Link serial channel, shows and"
  "changes every camera parameter, saves and loads setting files, runs"
  "calibrations and moves shading and look-up-table data."
  "."
  "Includes qnctl, the same control from the command line for scripts and"
  "production lines, and qn-camera-sim, a camera simulator on a pseudo-terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
