# Cross-builds the core, its tests and roomcfg-cli for 64-bit Windows with Debian's MinGW-w64
# (the posix flavour, whose C++ library has std::thread and std::mutex); make test-windows runs
# the results under Wine. Qt for Windows is not to be had here, so the windows are left out.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ROOM_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ROOM_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ROOM_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ROOM_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ROOM_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes linked in: the programs run on a PC (or under Wine) without MinGW's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests and build steps that run a Windows program do it through Wine.
find_program(ROOM_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(ROOM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ROOM_WINE})
endif()
