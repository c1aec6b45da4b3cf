# What a desktop needs beside the programs: menu entry, icons, AppStream metainfo, man pages, the help's
# HTML copy and the licence. One id names the menu entry, the icon and the metainfo.
set(VIDARRO_APP_ID org.vidarro.Vidarro)

install(FILES resources/desktop/${VIDARRO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/desktop/${VIDARRO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
    install(FILES resources/icons/vidarro-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${VIDARRO_APP_ID}.png)
endforeach()

# The help pages, for a browser when no CHM viewer is installed.
file(GLOB help_pages CONFIGURE_DEPENDS docs/help/*.html docs/help/*.css)
install(FILES ${help_pages} DESTINATION ${CMAKE_INSTALL_DATADIR}/vidarro/help)

# Man pages and the Debian changelog go in compressed, as Debian wants them.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(gzipped)
foreach(source docs/man/vidarro.1 docs/man/vidarro-newbase.1 cmake/debian/changelog)
    get_filename_component(name ${source} NAME)
    set(out ${CMAKE_BINARY_DIR}/gz/${name}.gz)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/gz
        COMMAND ${GZIP_EXECUTABLE} -9nc ${CMAKE_CURRENT_SOURCE_DIR}/${source} > ${out}
        DEPENDS ${source} VERBATIM)
    list(APPEND gzipped ${out})
endforeach()
add_custom_target(vidarro_gzipped ALL DEPENDS ${gzipped})
install(FILES ${CMAKE_BINARY_DIR}/gz/vidarro.1.gz ${CMAKE_BINARY_DIR}/gz/vidarro-newbase.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/gz/changelog.gz cmake/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vidarro)
