# Where the programs and their files go when installed (GNUInstallDirs), and the Debian package.
include(GNUInstallDirs)
# The package's name is lower case, and so is its documentation folder.
set(quintaro_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/quintaro)

install(TARGETS quintaro-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(QUINTARO_GUI)
    install(TARGETS quintaro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(NOT WIN32)
    # quintaro-cli(1) comes from the same command table as its --help.
    set(man_dir ${CMAKE_BINARY_DIR}/man)
    add_custom_command(OUTPUT ${man_dir}/quintaro-cli.1.gz ${man_dir}/quintaro.1.gz
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${man_dir}
                       COMMAND sh -c "\"$1\" --pagina-man | gzip -9n > \"$2\"" sh $<TARGET_FILE:quintaro-cli>
                               ${man_dir}/quintaro-cli.1.gz
                       COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${CMAKE_SOURCE_DIR}/data/desktop/quintaro.1
                               ${man_dir}/quintaro.1.gz
                       DEPENDS quintaro-cli ${CMAKE_SOURCE_DIR}/data/desktop/quintaro.1
                       COMMENT "Manual pages" VERBATIM)
    add_custom_target(quintaro_man ALL DEPENDS ${man_dir}/quintaro-cli.1.gz ${man_dir}/quintaro.1.gz)
    install(FILES ${man_dir}/quintaro-cli.1.gz ${man_dir}/quintaro.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

    set(share ${CMAKE_INSTALL_DATADIR})
    install(FILES data/desktop/quintaro.desktop DESTINATION ${share}/applications)
    install(FILES data/icons/quintaro.svg DESTINATION ${share}/icons/hicolor/scalable/apps)
    install(FILES data/icons/quintaro-48.png DESTINATION ${share}/icons/hicolor/48x48/apps RENAME quintaro.png)
    install(FILES data/icons/quintaro-256.png DESTINATION ${share}/icons/hicolor/256x256/apps RENAME quintaro.png)
    install(FILES data/desktop/quintaro-cli.bash-completion DESTINATION ${share}/bash-completion/completions
            RENAME quintaro-cli)
    install(FILES docs/manual.md README.md data/escuela.xml tools/deb/copyright DESTINATION ${quintaro_docdir})
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
                       COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${CMAKE_SOURCE_DIR}/tools/deb/changelog
                               ${CMAKE_BINARY_DIR}/changelog.gz
                       DEPENDS ${CMAKE_SOURCE_DIR}/tools/deb/changelog VERBATIM)
    add_custom_target(quintaro_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
    install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${quintaro_docdir})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quintaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Quintaro)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Equipo de Quintaro <quintaro@quintaro.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "horarios entre Escolaria y Velmora (school timetables)")
# The extended description; CPack indents it and turns the empty line into the paragraph mark.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Lleva los datos de horario de un centro entre Escolaria (un documento XML) y
Velmora (tablas dBase), en los dos sentidos: una ventana y quintaro-cli.

Carries a school's timetable data both ways between Escolaria (an XML
document) and Velmora (dBase tables): a window and a command line.")
include(CPack)
