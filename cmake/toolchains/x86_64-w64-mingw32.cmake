# 64-bit Windows, with Debian's MinGW-w64 cross compiler in its POSIX threads flavour (the other
# has no std::thread); the programs run under Wine (Debian's wine64), in a Wine prefix of the
# build's own, made on first use, so that no test touches a user's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Nothing but Windows' own libraries needed beside the programs: a bare Windows runs them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEDEBUG=-all WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDLLOVERRIDES=mscoree,mshtml=
    /usr/lib/wine/wine64)
