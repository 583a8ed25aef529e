# Debian packages, one per program: cpack -G DEB in a release build gives tabwright_*.deb and
# logfetch_*.deb. Shared-library dependencies come from dpkg-shlibdeps.

# The copyright file and changelog every Debian package carries, one set per program.
set(package_doc_dir ${CMAKE_BINARY_DIR}/package-docs)
foreach(program IN ITEMS tabwright logfetch)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/package/copyright ${package_doc_dir}/${program}/copyright COPYONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/package/changelog.in ${package_doc_dir}/${program}/changelog @ONLY)
  execute_process(COMMAND gzip -9 -n -f ${package_doc_dir}/${program}/changelog)
  install(FILES ${package_doc_dir}/${program}/copyright ${package_doc_dir}/${program}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${program} COMPONENT ${program})
endforeach()

set(CPACK_PACKAGE_NAME veldan-instrument-tools)
set(CPACK_PACKAGE_VENDOR "Veldan Instrument Tools")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Veldan Instrument Tools <tools@veldan-qorivex.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL tabwright logfetch)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://veldan-qorivex.example/tools")

set(CPACK_DEBIAN_TABWRIGHT_PACKAGE_NAME tabwright)
set(CPACK_DEBIAN_TABWRIGHT_PACKAGE_SECTION science)
# Calc opens the workbook; its Basic runs the template's end-of-run macro, with or without a
# display.
set(CPACK_DEBIAN_TABWRIGHT_PACKAGE_DEPENDS "libreoffice-calc, libreoffice-core")
# Descriptions: the first line is the synopsis; CPack indents the rest and turns empty lines
# into paragraph breaks.
set(CPACK_COMPONENT_TABWRIGHT_DESCRIPTION
    "capture a K7RX fluorometer's serial output into LibreOffice Calc
Tabwright writes every line a K7RX fluorometer sends on its RS-232 port into
a live LibreOffice Calc spreadsheet, one line to a row, with Start, Pause,
Resume and Stop and an end-of-run macro that charts the readings.

Every byte received is kept in a journal, so a run can be rebuilt into a
workbook whenever Calc was closed or the machine went down. Its capture
command runs without a window, into Calc headless or into a CSV file; a
built-in emulator of two instruments lets a lab try it without one.")
# The program finds LibreOffice's UNO libraries in LibreOffice's own program folder, where
# they are looked for first whatever LD_LIBRARY_PATH says.
install(FILES ${PROJECT_SOURCE_DIR}/cmake/package/tabwright.lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME tabwright COMPONENT tabwright)

set(CPACK_DEBIAN_LOGFETCH_PACKAGE_NAME logfetch)
set(CPACK_DEBIAN_LOGFETCH_PACKAGE_SECTION science)
set(CPACK_COMPONENT_LOGFETCH_DESCRIPTION
    "download and convert a K7RX fluorometer's data-logger memory
Logfetch downloads the data-logger memory of a K7RX fluorometer over an
RS-232 port into a .BIN file, and converts .BIN data logs into a
fixed-width .PRN report and a .CSV table that spreadsheets read.

It works from its window or from the command line (convert, download) and
ships sample data logs to try it with.")

include(CPack)
