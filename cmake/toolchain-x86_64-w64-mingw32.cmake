# 64-bit Windows with MinGW-w64:
#   cmake -B build-windows-x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake
#         -DNORV_BUILD_GUI=OFF
set(NORV_MINGW_TRIPLE x86_64-w64-mingw32)
set(NORV_WINE_LOADER_NAME wine64)
set(NORV_MINGW_PROCESSOR AMD64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-w64.cmake)
