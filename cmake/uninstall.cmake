# Undoes `cmake --install` of the build folder BUILD: removes every file that its
# install_manifest.txt lists, then, deepest first, each folder that install_dirs.txt
# notes the install made, where it is left empty. Nothing else is touched. The
# manifest leaves out DESTDIR, which the uninstall takes from the environment as the
# install did; an install into DESTDIR notes no folders.
#
#   [DESTDIR=DIR] cmake --build BUILD --target uninstall
set(manifest "${BUILD}/install_manifest.txt")
if(NOT EXISTS "${manifest}")
    message(FATAL_ERROR "${manifest} does not exist: nothing was installed from ${BUILD}")
endif()
file(STRINGS "${manifest}" files)
list(TRANSFORM files PREPEND "$ENV{DESTDIR}")
# file(REMOVE) says nothing where it cannot remove a file, so each is looked for again.
foreach(file IN LISTS files)
    if(EXISTS "${file}" OR IS_SYMLINK "${file}")
        file(REMOVE "${file}")
        if(EXISTS "${file}" OR IS_SYMLINK "${file}")
            message(FATAL_ERROR "cannot remove ${file}: the uninstall needs the rights the install had")
        endif()
        message(STATUS "Removed: ${file}")
    endif()
endforeach()

set(noted_dirs_file "${BUILD}/install_dirs.txt")
set(dirs)
if(EXISTS "${noted_dirs_file}")
    file(STRINGS "${noted_dirs_file}" dirs)
endif()
# A folder sorts after the folders above it, so descending order removes the deepest
# first.
list(SORT dirs ORDER DESCENDING)
foreach(dir IN LISTS dirs)
    if(NOT IS_DIRECTORY "${dir}")
        continue()
    endif()
    file(GLOB entries LIST_DIRECTORIES true "${dir}/*" "${dir}/.*")
    if(entries)
        message(STATUS "Kept: ${dir}/, which holds what the install did not put there")
        continue()
    endif()
    execute_process(COMMAND rmdir -- "${dir}" RESULT_VARIABLE status ERROR_VARIABLE why ERROR_STRIP_TRAILING_WHITESPACE)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${why}")
    endif()
    message(STATUS "Removed: ${dir}/")
endforeach()
file(REMOVE "${noted_dirs_file}")
