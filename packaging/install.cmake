# Install rules and the Debian package: `cmake --install build` puts everything in its FHS place
# under the prefix; scripts/package.sh builds build/tillora-reports_<version>_amd64.deb.
# Every program made with tillora_program() is installed to bin/ and packaged.
include(GNUInstallDirs)

set(TILLORA_SYSTEMD_UNIT_DIR lib/systemd/system CACHE PATH
    "Where the systemd units of the nightly close-out are installed (relative: under the prefix)")
set(tillora_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/tillora-reports)
set(tillora_data_dir ${CMAKE_INSTALL_DATADIR}/tillora-reports)

# Manual pages (packaging/man/*.1) and the changelog are installed compressed, without a time
# stamp in the gzip header, so that the same sources give the same package.
file(GLOB tillora_man_pages CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/packaging/man/*.1)
set(tillora_gzipped "")
foreach(source ${tillora_man_pages} ${CMAKE_CURRENT_SOURCE_DIR}/packaging/debian/changelog)
  get_filename_component(name ${source} NAME)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
    COMMAND gzip -9n -c ${source} > ${gz}
    DEPENDS ${source} VERBATIM)
  list(APPEND tillora_gzipped ${gz})
endforeach()
list(FILTER tillora_gzipped EXCLUDE REGEX "changelog\\.gz$")
add_custom_target(tillora_install_files ALL
  DEPENDS ${tillora_gzipped} ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz)

# Everything `cmake --install` needs built: the programs and the compressed files. Installing
# (and cpack) builds only these, not the test suites.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
get_property(tillora_program_targets GLOBAL PROPERTY TILLORA_PROGRAMS)
add_custom_target(tillora_installables DEPENDS ${tillora_program_targets} tillora_install_files)

install(FILES ${tillora_gzipped} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md DESTINATION ${tillora_doc_dir})
install(DIRECTORY docs/ DESTINATION ${tillora_doc_dir} FILES_MATCHING PATTERN "*.md")
install(FILES packaging/debian/copyright ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${tillora_doc_dir})
install(FILES ${tillora_schema_files} DESTINATION ${tillora_data_dir}/schema)
install(FILES packaging/tillora-reports.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/tillora-reports-kiosk.desktop DESTINATION ${tillora_data_dir})
configure_file(packaging/tillora-closeout.service.in
               ${CMAKE_CURRENT_BINARY_DIR}/packaging/tillora-closeout.service @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/tillora-closeout.service
              packaging/tillora-closeout.timer
        DESTINATION ${TILLORA_SYSTEMD_UNIT_DIR})

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tillora-reports)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tillora")
set(CPACK_PACKAGE_CONTACT "Tillora Reports developers <dev@tillora.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "point-of-sale workstation reports and exports")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Tillora Reports runs beside the register program of a point-of-sale
workstation: it prints 40-column reports of the register's sales on the
receipt printer, exports closed transactions to CSV files and runs the
whole batch unattended every night (tillora-closeout.timer).")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
# scripts/package.sh configures the prefix /usr, so that the service starts /usr/bin/...
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link (Qt 6, SQLite, CUPS, ICU, the C++ runtime) come from
# dpkg-shlibdeps; adduser (postinst) is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups, sqlite3")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_CURRENT_SOURCE_DIR}/packaging/debian/postinst
    ${CMAKE_CURRENT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
