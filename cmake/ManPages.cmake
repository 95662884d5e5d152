# Manual pages made at build time from each program's own --help and --version by help2man,
# with the sections --help does not hold kept in packaging/man/<program>.h2m. They are gzipped
# without a name or time stamp, and dated by the latest changelog entry, so a rebuild of the
# same sources gives the same bytes.
find_program(QN_HELP2MAN help2man)
find_program(QN_GZIP gzip REQUIRED)
set(QN_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(QN_CHANGELOG ${CMAKE_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QN_CHANGELOG})
execute_process(COMMAND dpkg-parsechangelog -l ${QN_CHANGELOG} -S Timestamp
                OUTPUT_VARIABLE QN_CHANGELOG_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE)

# qn_man_page(<target> <NAME line>): <target>.1.gz in the build's man folder.
function(qn_man_page target name)
  set(include ${CMAKE_SOURCE_DIR}/packaging/man/${target}.h2m)
  set(page ${QN_MAN_DIR}/${target}.1)
  # Run by its bare name, so the usage lines show no build path; with a fixed home and no
  # XDG_CONFIG_HOME the preference file reads as it does for any user, and --help of the
  # window program never needs a display.
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${QN_MAN_DIR}
    COMMAND ${CMAKE_COMMAND} -E env --unset=XDG_CONFIG_HOME HOME=/nonexistent QT_QPA_PLATFORM=offscreen
            SOURCE_DATE_EPOCH=${QN_CHANGELOG_EPOCH} "PATH=$<TARGET_FILE_DIR:${target}>:$ENV{PATH}"
            ${QN_HELP2MAN} --no-info --section=1 --name=${name} --include=${include} --output=${page} ${target}
    COMMAND ${QN_GZIP} -9nf ${page}
    DEPENDS ${target} ${include} ${QN_CHANGELOG}
    COMMENT "Manual page ${target}(1)"
    VERBATIM)
  set_property(GLOBAL APPEND PROPERTY QN_MAN_PAGES ${page}.gz)
endfunction()

if(QN_HELP2MAN)
  qn_man_page(qn-control-tool "control tool for QN-5200 line-scan colour cameras")
  qn_man_page(qnctl "control a QN-5200 line-scan colour camera from the command line")
  qn_man_page(qn-camera-sim "simulated QN-5200 camera on a pseudo-terminal")
  get_property(QN_MAN_PAGES GLOBAL PROPERTY QN_MAN_PAGES)
  add_custom_target(qn_man_pages ALL DEPENDS ${QN_MAN_PAGES})
  install(FILES ${QN_MAN_PAGES} DESTINATION share/man/man1)
else()
  message(STATUS "help2man not found: no manual pages (scripts/install-deps.sh installs it)")
endif()
