# Windows on x86_64 (x86_64-w64-mingw32-g++).
set(TARVO_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
