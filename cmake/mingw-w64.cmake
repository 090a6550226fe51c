# Cross-builds for 64-bit Windows with Debian's MinGW-w64 compiler
# (g++-mingw-w64-x86-64-posix, the thread model std::thread needs).
# Executables link their runtime statically, so they start on a bare Windows
# or under Wine without any DLL beside them. Where Wine is installed, the tests
# run under it: ctest, and whatever else starts a built program, go through
# CMAKE_CROSSCOMPILING_EMULATOR with a private prefix in the build folder and
# no display.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(ZLIB_USE_STATIC_LIBS ON)
# GCC 12 sees overlapping copies in plain std::string assignments once they
# are inlined into lambdas at -O3 (GCC bug 105329); the native build keeps the
# warning.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(GLITCHFORGE_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  if(GLITCHFORGE_WINE)
    set(GLITCHFORGE_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix" CACHE PATH "Wine prefix the tests run in")
    # mscoree and mshtml off: a fresh prefix would otherwise look for Mono and Gecko.
    set(CMAKE_CROSSCOMPILING_EMULATOR
        env -u DISPLAY -u WAYLAND_DISPLAY WINEDEBUG=-all "WINEDLLOVERRIDES=mscoree,mshtml="
        WINEPREFIX=${GLITCHFORGE_WINEPREFIX} ${GLITCHFORGE_WINE})
  endif()
endif()
