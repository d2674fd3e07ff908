# Shared by the MinGW-w64 toolchain files: cross-compiles the tool as a Windows console
# program for the target triple in MINGW_TARGET.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_CXX_COMPILER ${MINGW_TARGET}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The exe must run on a Windows that has nothing but the exe: the C++ and GCC
# runtimes are linked in, leaving only system DLLs to import.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections")
# The exe ships at under 64 KiB: each function in a section of its own, so that the
# linker drops what nothing calls (the page's descriptions, say), and no unwind
# tables, which code built without exceptions never reads.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fno-asynchronous-unwind-tables")
# The end-to-end tests run the exe under wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
set(CMAKE_RC_COMPILER ${MINGW_TARGET}-windres)
