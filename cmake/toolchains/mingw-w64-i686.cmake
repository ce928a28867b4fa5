# Windows on i686 (i686-w64-mingw32-g++).
set(TARVO_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
