# What `cmake --install` puts in place: the batch tool and its manual pages in every build, the window with its
# desktop entry, icons and metainfo where Qt is found. debian/ splits this tree into the two packages.
include(GNUInstallDirs)

set(data ${PROJECT_SOURCE_DIR}/data)
set(generated ${PROJECT_BINARY_DIR}/install)
find_program(GZIP gzip REQUIRED)

# Manual pages, compressed as Debian installs them (no name or date in the header); the version comes from
# project().
function(_ravolin_install_manual_pages)
  foreach(page IN LISTS ARGN)
    configure_file(${PROJECT_SOURCE_DIR}/${page}.in ${generated}/${page} @ONLY)
    add_custom_command(OUTPUT ${generated}/${page}.gz
                       COMMAND ${GZIP} -9nc ${generated}/${page} > ${generated}/${page}.gz
                       DEPENDS ${generated}/${page})
    get_filename_component(section ${page} DIRECTORY)
    install(FILES ${generated}/${page}.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/${section})
    set_property(GLOBAL APPEND PROPERTY RAVOLIN_MANUAL_PAGES ${generated}/${page}.gz)
  endforeach()
endfunction()

install(TARGETS ravolin-expand RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
_ravolin_install_manual_pages(man/man1/ravolin-expand.1 man/ja/man1/ravolin-expand.1)

if(Qt6_FOUND)
  install(TARGETS ravolin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${data}/${RAVOLIN_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${data}/${RAVOLIN_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${data}/icons/${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${RAVOLIN_APP_ID}.png)
  endforeach()
  configure_file(${data}/${RAVOLIN_APP_ID}.metainfo.xml.in ${generated}/${RAVOLIN_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${generated}/${RAVOLIN_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  _ravolin_install_manual_pages(man/man1/ravolin.1 man/ja/man1/ravolin.1)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ravolin)
endif()

get_property(manual_pages GLOBAL PROPERTY RAVOLIN_MANUAL_PAGES)
add_custom_target(install_files ALL DEPENDS ${manual_pages})
