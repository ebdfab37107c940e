# Where an installed program keeps its files (Debian's layout through
# GNUInstallDirs), and the Debian package CPack makes of them.
include(GNUInstallDirs)

install(TARGETS wms wms-admin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# the print tool is started by the program, not by the user
install(TARGETS kxPrint RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/wms)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/kxPrint/templeteXml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/wms/kxPrint FILES_MATCHING PATTERN "*.xml")

# the desktop's menu entry, the software centre's description and the icon
install(FILES ${WMS_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${WMS_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${WMS_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN LISTS WMS_ICON_SIZES)
  install(FILES ${WMS_ICON_THEME_DIR}/${size}x${size}/apps/${WMS_APP_ID}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# compressed the way Debian wants: best compression, no name or time stamp inside
find_program(GZIP_PROGRAM gzip REQUIRED)
function(wms_gzip source target)
  add_custom_command(OUTPUT ${target}
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${source} > ${target}
    DEPENDS ${source} VERBATIM)
endfunction()

set(WMS_PACKAGE_FILES)
if(HELP2MAN_PROGRAM)
  foreach(page IN LISTS WMS_MAN_PAGES)
    get_filename_component(name ${page} NAME)
    wms_gzip(${page} ${page}.gz)
    list(APPEND WMS_PACKAGE_FILES ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
endif()
set(WMS_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/wms)
wms_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
list(APPEND WMS_PACKAGE_FILES ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
add_custom_target(package_files ALL DEPENDS ${WMS_PACKAGE_FILES})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
        DESTINATION ${WMS_DOC_DIR})

set(CPACK_PACKAGE_NAME wms)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Seed 2074fc80 maintainers <maintainers@users.noreply.c-seed-2074fc80.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "warehouse management for small businesses")
set(CPACK_PACKAGE_DESCRIPTION "A desktop program for shops that keep goods in a store: goods with packaging
units and barcodes, storage locations, customers and suppliers, stock-in and
stock-out bills with approval, stock per goods and per location, counts,
bill lists and reports, printing and spreadsheet export, users and
department permissions. The database is a file on the computer or a shared
PostgreSQL server. The user interface is in Simplified Chinese.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# what the libraries' dependencies do not bring: the fonts, Qt's own Chinese
# texts, the SVG icon support and an icon theme
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-noto-cjk, qt6-translations-l10n, libqt6svg6, breeze-icon-theme | papirus-icon-theme")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "postgresql-client")
# the binaries' debug information goes into the -dbgsym package, which strips them
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
