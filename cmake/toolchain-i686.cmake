# The deliverable: 32-bit Windows DLLs. Built and checked statically only;
# these machines cannot execute 32-bit code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_OBJDUMP i686-w64-mingw32-objdump CACHE FILEPATH "")
set(CMAKE_DLLTOOL i686-w64-mingw32-dlltool CACHE FILEPATH "")
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages may come from the cross root or from a prefix the host names in
# CMAKE_PREFIX_PATH (an installed Tavrolib, say).
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
