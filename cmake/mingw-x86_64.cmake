# Cross compilation for 64-bit Windows with MinGW-w64 (posix thread model,
# which GoogleTest needs for std::mutex). This is the build the tests run:
# 64-bit Wine starts on any x86-64 kernel, 32-bit Wine only where the
# kernel's 32-bit emulation is switched on.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELORIN_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PELORIN_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELORIN_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PELORIN_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PELORIN_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
