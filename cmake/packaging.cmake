# Where `cmake --install` puts things, and the packages CPack makes of them: a .deb on
# Linux, and on Windows a .zip that unpacks to the exe, the README and the manual as text.
include(GNUInstallDirs)

if(WIN32)
    find_program(GROFF groff REQUIRED)
    add_custom_command(OUTPUT vornset.txt
        COMMAND ${CMAKE_COMMAND} -DGROFF=${GROFF} -DMANUAL=${PROJECT_SOURCE_DIR}/vornset.1
            -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/vornset.txt -P ${PROJECT_SOURCE_DIR}/cmake/render_manual.cmake
        DEPENDS vornset.1 cmake/render_manual.cmake
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR})
    add_custom_target(manual ALL DEPENDS vornset.txt)
    install(TARGETS vornset RUNTIME DESTINATION .)
    install(FILES README.md ${CMAKE_CURRENT_BINARY_DIR}/vornset.txt DESTINATION .)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME win32)
else()
    install(TARGETS vornset)
    install(FILES vornset.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES completion/vornset.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME vornset)
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
endif()

set(CPACK_PACKAGE_NAME vornset)
set(CPACK_PACKAGE_VENDOR "the vornset developers")
set(CPACK_PACKAGE_CONTACT "the vornset developers <https://vornset.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vornset.example.org")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
include(CPack)
