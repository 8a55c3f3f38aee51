# What `cmake --install` puts in place, and the Debian package made of it (cpack -G DEB).
include(GNUInstallDirs)

install(TARGETS ravolin ravolin-expand RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(data ${PROJECT_SOURCE_DIR}/data)
set(generated ${PROJECT_BINARY_DIR}/install)
install(FILES ${data}/${RAVOLIN_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/${RAVOLIN_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${data}/icons/${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${RAVOLIN_APP_ID}.png)
endforeach()
configure_file(${data}/${RAVOLIN_APP_ID}.metainfo.xml.in ${generated}/${RAVOLIN_APP_ID}.metainfo.xml @ONLY)
install(FILES ${generated}/${RAVOLIN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages, compressed as Debian installs them; the version comes from project().
find_program(GZIP gzip REQUIRED)
foreach(page man/man1/ravolin.1 man/man1/ravolin-expand.1 man/ja/man1/ravolin.1 man/ja/man1/ravolin-expand.1)
  configure_file(${PROJECT_SOURCE_DIR}/${page}.in ${generated}/${page} @ONLY)
  add_custom_command(OUTPUT ${generated}/${page}.gz
                     COMMAND ${GZIP} -9nc ${generated}/${page} > ${generated}/${page}.gz
                     DEPENDS ${generated}/${page})
  list(APPEND manual_pages ${generated}/${page}.gz)
  get_filename_component(section ${page} DIRECTORY)
  install(FILES ${generated}/${page}.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/${section})
endforeach()
# A native package: its changelog is changelog.gz.
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${generated}/changelog @ONLY)
add_custom_command(OUTPUT ${generated}/changelog.gz
                   COMMAND ${GZIP} -9nc ${generated}/changelog > ${generated}/changelog.gz
                   DEPENDS ${generated}/changelog)
add_custom_target(install_files ALL DEPENDS ${manual_pages} ${generated}/changelog.gz)

set(docdir ${CMAKE_INSTALL_DATADIR}/doc/ravolin)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${generated}/changelog.gz DESTINATION ${docdir})
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${docdir})

set(CPACK_PACKAGE_NAME ravolin)
set(CPACK_PACKAGE_VENDOR "The Ravolin developers")
set(CPACK_PACKAGE_CONTACT "Ravolin developers <ravolin@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turn one template into numbered, repetitive text")
# The synopsis is the summary above; this is the extended description under it.
string(JOIN "\n" CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Ravolin writes a template once per pass and replaces its placeholder tokens in"
       "every pass: five numeric counters with an initial value and an increment, and"
       "nine arrays with values given one per line. The Japanese interface keeps its"
       "settings in the same file format as the Windows program, and ravolin-expand"
       "expands a settings file on the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window is drawn with IPAPGothic; without it fontconfig falls back to whatever face covers Japanese, if
# any. The shared-library dependencies are added after these.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/ravolin/ravolin")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
