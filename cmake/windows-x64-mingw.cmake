# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-building for 64-bit Windows with Debian's MinGW-w64 (POSIX threads)
# against a static Qt for Windows, whose folder QT_WINDOWS names.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

if(NOT QT_WINDOWS AND DEFINED ENV{QT_WINDOWS})
  set(QT_WINDOWS $ENV{QT_WINDOWS})
endif()
if(NOT QT_WINDOWS)
  message(FATAL_ERROR "Set QT_WINDOWS to the folder of the Qt for Windows SDK (qt6-mingw)")
endif()
# try_compile projects see the SDK too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QT_WINDOWS)

# Libraries, headers and packages come from the cross environment only; the
# host's own Qt provides just its tools (moc, rcc, uic).
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${QT_WINDOWS})
set(CMAKE_PREFIX_PATH ${QT_WINDOWS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

# Every program carries its C and C++ runtimes: it needs no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
