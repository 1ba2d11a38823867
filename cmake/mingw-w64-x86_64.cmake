# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the POSIX thread model, for std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZZ_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZZ_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZZ_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZZ_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${ZZ_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${ZZ_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# Headers and libraries come from the cross sysroot and the prefixes given as CMAKE_FIND_ROOT_PATH
# on the command line (SDL2, GoogleTest); programs (code generators) from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${ZZ_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests and tools built for Windows run through Wine.
find_program(ZZ_WINE64 NAMES wine64 wine PATHS /usr/lib/wine)
if(ZZ_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZZ_WINE64})
endif()

# One self-contained executable: the C and C++ runtimes and the thread library linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
