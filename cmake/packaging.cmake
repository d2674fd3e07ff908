# Where `cmake --install` puts things, and the packages CPack makes of them: a .deb on
# Linux, and on Windows a .zip for Windows users: the exe and, with CRLF line ends,
# a short README.txt, the manual as text and the licence.
include(GNUInstallDirs)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)

if(WIN32)
    find_program(GROFF groff REQUIRED)
    set(text_files README.txt vornset.txt LICENSE.txt)
    add_custom_command(OUTPUT ${text_files}
        COMMAND ${CMAKE_COMMAND} -DGROFF=${GROFF} -DSOURCE=${PROJECT_SOURCE_DIR} -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}
            -DMANUAL=${PROJECT_BINARY_DIR}/vornset.1 -DVERSION=${PROJECT_VERSION}
            -P ${PROJECT_SOURCE_DIR}/cmake/windows_texts.cmake
        DEPENDS ${PROJECT_BINARY_DIR}/vornset.1 LICENSE packaging/README.txt.in cmake/windows_texts.cmake
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
    add_custom_target(windows_texts ALL DEPENDS ${text_files})
    install(TARGETS vornset RUNTIME DESTINATION .)
    list(TRANSFORM text_files PREPEND ${CMAKE_CURRENT_BINARY_DIR}/)
    install(FILES ${text_files} DESTINATION .)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME win32)
else()
    find_program(GZIP gzip REQUIRED)
    add_custom_command(OUTPUT changelog
        COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/CHANGELOG.md -DOUTPUT=changelog
            -P ${PROJECT_SOURCE_DIR}/cmake/debian_changelog.cmake
        DEPENDS CHANGELOG.md cmake/debian_changelog.cmake cmake/changelog.cmake)
    # gzip -n leaves out the name and time of the file, which would make every
    # build's package differ.
    foreach(pair "${PROJECT_BINARY_DIR}/vornset.1=vornset.1.gz" "changelog=changelog.gz")
        string(REPLACE "=" ";" pair ${pair})
        list(GET pair 0 source)
        list(GET pair 1 compressed)
        add_custom_command(OUTPUT ${compressed}
            COMMAND ${GZIP} -9n < ${source} > ${compressed}
            DEPENDS ${source})
        list(APPEND compressed_files ${CMAKE_CURRENT_BINARY_DIR}/${compressed})
    endforeach()
    add_custom_target(compressed_docs ALL DEPENDS ${compressed_files})

    # Debian wants the licence in its machine-readable copyright format.
    file(READ LICENSE licence_text)
    string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]*\n\n" "" licence_text "${licence_text}")
    string(STRIP "${licence_text}" licence_text)
    string(REPLACE "\n\n" "\n.\n" licence_text "${licence_text}")
    string(REPLACE "\n" "\n " licence_text "${licence_text}")
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/copyright
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
        "Upstream-Name: vornset\n"
        "Upstream-Contact: the vornset developers <vornset@example.org>\n"
        "Source: https://vornset.example.org\n\n"
        "Files: *\n"
        "Copyright: 2026 the vornset developers\n"
        "License: Expat\n ${licence_text}\n")

    # The folders the install is about to make are noted first, so that the uninstall
    # target leaves nothing of it behind and removes no folder that was there before.
    set(install_dirs ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_MANDIR}/man1
        ${CMAKE_INSTALL_DATADIR}/bash-completion/completions ${CMAKE_INSTALL_DATADIR}/doc/vornset)
    install(CODE "set(INSTALL_DIRS \"${install_dirs}\")
        set(NOTED_DIRS_FILE \"${PROJECT_BINARY_DIR}/install_dirs.txt\")")
    install(SCRIPT cmake/note_install_dirs.cmake)
    add_custom_target(uninstall COMMAND ${CMAKE_COMMAND} -DBUILD=${PROJECT_BINARY_DIR}
        -P ${PROJECT_SOURCE_DIR}/cmake/uninstall.cmake VERBATIM)

    install(TARGETS vornset)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/vornset.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES completion/vornset.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME vornset)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/copyright ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vornset)
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS bash-completion)
    set(CPACK_STRIP_FILES ON)
    # Debian shows the long description as it stands, so its lines are kept short.
    string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
        "vornset reads and changes the configuration block that the Vornik Boot"
        "Manager, a PC boot manager with sixteen boot profiles, keeps inside its own"
        "image file (vornbm.bin): video mode, start mode, countdown, default boot,"
        "font, USB settings, and each profile's name, drive and partition."
        ""
        "It works on the image file alone and never touches a disk. Every value is"
        "checked before anything is written, and an edit rewrites the configuration"
        "block in place under a lock and syncs it to disk.")
endif()

set(CPACK_PACKAGE_NAME vornset)
set(CPACK_PACKAGE_VENDOR "the vornset developers")
set(CPACK_PACKAGE_CONTACT "the vornset developers <vornset@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "show and change the settings of a Vornik Boot Manager image")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vornset.example.org")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
# Staged files get the time of the last commit, so that two builds of one commit
# make the same archives.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/fixed_times.cmake)
include(CPack)
