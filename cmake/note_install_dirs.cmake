# Run by `cmake --install` before it installs a file: notes in NOTED_DIRS_FILE which
# of the folders it installs into (INSTALL_DIRS) are not there yet, with the folders
# above them that are missing too, so that the uninstall removes the folders that an
# install made and none that were there before. Notes of earlier installs are kept.
# An install into DESTDIR, a staging folder such as CPack's, notes nothing: such a
# folder is removed whole.
if(NOT "$ENV{DESTDIR}" STREQUAL "")
    return()
endif()
set(noted)
if(EXISTS "${NOTED_DIRS_FILE}")
    file(STRINGS "${NOTED_DIRS_FILE}" noted)
endif()
foreach(dir IN LISTS INSTALL_DIRS)
    if(NOT IS_ABSOLUTE "${dir}")
        set(dir "${CMAKE_INSTALL_PREFIX}/${dir}")
    endif()
    while(NOT EXISTS "${dir}")
        list(APPEND noted "${dir}")
        cmake_path(GET dir PARENT_PATH dir)
    endwhile()
endforeach()
list(REMOVE_DUPLICATES noted)
list(JOIN noted "\n" noted)
file(WRITE "${NOTED_DIRS_FILE}" "${noted}\n")
