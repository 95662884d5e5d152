# The Debian packages: `cmake --build <build> --target package` writes
# qn-control-tool_<version>_<arch>.deb with the three programs, their manual pages, the bash
# completion of qnctl, the desktop entry, the icon, the AppStream metainfo and the plant page,
# and, when the Python module is built, python3-qncam_<version>_<arch>.deb with the module and
# its stub. Each has the copyright file and the changelog. Dependencies are computed by
# dpkg-shlibdeps from what each package's binaries link.
set(QN_APP_ID example.korvel.QnControlTool)
set(QN_PACKAGE qn-control-tool)
set(QN_PYTHON_PACKAGE python3-qncam)
set(QN_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
# The font the windows' texts need beyond what every desktop has: "30～95%" has a full-width
# tilde, which DejaVu lacks. Sawarabi Gothic is small and covers every character of the texts
# (tests/package/font-coverage-test.py checks that).
set(QN_FONT_PACKAGE fonts-sawarabi-gothic)
# Everything installed belongs to the tool's package unless it says otherwise.
set(CMAKE_INSTALL_DEFAULT_COMPONENT_NAME tool)

include(cmake/ManPages.cmake)

install(TARGETS qn-control-tool qnctl qn-camera-sim RUNTIME DESTINATION bin)
# The CLProtocol library where GenTL producers look for one: <location>/Linux64_x64/lib*.so,
# the GenApi description beside it in <location> under its XML id, and the location added to
# GENICAM_CLPROTOCOL for every login shell.
set(QN_CLPROTOCOL_LOCATION lib/${QN_PACKAGE}/CLProtocol)
install(TARGETS qnclprotocol LIBRARY DESTINATION ${QN_CLPROTOCOL_LOCATION}/Linux64_x64)
install(DIRECTORY ${CMAKE_BINARY_DIR}/genicam/xml/ DESTINATION ${QN_CLPROTOCOL_LOCATION})
install(FILES ${QN_PACKAGING}/genicam-clprotocol.sh DESTINATION /etc/profile.d)
# The Python module and its stub, where the system's python3 finds them.
if(TARGET qncam)
  install(TARGETS qncam LIBRARY DESTINATION lib/python3/dist-packages COMPONENT python)
  install(FILES ${CMAKE_SOURCE_DIR}/src/python/qncam.pyi DESTINATION lib/python3/dist-packages COMPONENT python)
  # An extension module loads into one Python minor version only, which it does not link;
  # the dependency says which, as Debian's own Python packages do.
  math(EXPR QN_PYTHON_NEXT "${QN_PYTHON_MINOR} + 1")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
      "python3 (>= ${QN_PYTHON_MAJOR}.${QN_PYTHON_MINOR}~), python3 (<< ${QN_PYTHON_MAJOR}.${QN_PYTHON_NEXT})")
endif()
install(FILES ${CMAKE_SOURCE_DIR}/res/${QN_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/res/${QN_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/res/app-icon.png DESTINATION share/icons/hicolor/32x32/apps
        RENAME ${QN_APP_ID}.png)
install(FILES ${QN_PACKAGING}/qnctl.bash-completion DESTINATION share/bash-completion/completions
        RENAME qnctl)
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
# Debian wants both in every package's own documentation folder.
install(FILES ${QN_PACKAGING}/copyright ${QN_CHANGELOG_GZ} DESTINATION share/doc/${QN_PACKAGE})
if(TARGET qncam)
  install(FILES ${QN_PACKAGING}/copyright ${QN_CHANGELOG_GZ} DESTINATION share/doc/${QN_PYTHON_PACKAGE}
          COMPONENT python)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${QN_PACKAGE})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "QN control tool maintainers <tools@korvel.example>")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tool)
set(CPACK_DEBIAN_TOOL_PACKAGE_NAME ${QN_PACKAGE})
set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS ${QN_FONT_PACKAGE})
# The GENICAM_CLPROTOCOL snippet in /etc is the administrator's to change.
set(CPACK_DEBIAN_TOOL_PACKAGE_CONTROL_EXTRA ${QN_PACKAGING}/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Each description's first line is the package's summary; then one paragraph line per source
# line: lintian wants each within 80 columns.
string(JOIN "\n" CPACK_DEBIAN_TOOL_DESCRIPTION
  "Control tool for QN-5200 line-scan colour cameras"
  "Finds a camera on a serial line or a Camera Link serial channel, shows and"
  "changes every camera parameter, saves and loads setting files, runs"
  "calibrations and moves shading and look-up-table data."
  "."
  "Includes qnctl, the same control from the command line for scripts and"
  "production lines, and qn-camera-sim, a camera simulator on a pseudo-terminal.")
if(TARGET qncam)
  list(APPEND CPACK_COMPONENTS_ALL python)
  set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME ${QN_PYTHON_PACKAGE})
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
  # Built from the same source as the tool: the changelog is that source's.
  set(CPACK_DEBIAN_PYTHON_PACKAGE_SOURCE ${QN_PACKAGE})
  string(JOIN "\n" CPACK_DEBIAN_PYTHON_DESCRIPTION
    "Python 3 module for QN-5200 line-scan colour cameras"
    "The module qncam drives cameras from Python with the same calls as qnctl:"
    "link search, parameter names, limits checked before anything is sent and"
    "setting files.")
endif()
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
