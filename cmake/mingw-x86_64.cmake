# 64-bit Windows: the same sources, for running the end-to-end tests under wine64 on
# machines that cannot run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
# The wine wrapper prefers the 32-bit loader when both are installed.
find_program(WINE64 wine64 PATHS /usr/lib/wine)
if(WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE64})
endif()
