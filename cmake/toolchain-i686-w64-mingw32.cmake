# 32-bit Windows with MinGW-w64, the build that matches the suite's own
# 32-bit programs (registry view, path redirection):
#   cmake -B build-windows-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-w64-mingw32.cmake
#         -DNORV_BUILD_GUI=OFF
set(NORV_MINGW_TRIPLE i686-w64-mingw32)
set(NORV_WINE_LOADER_NAME wine)
set(NORV_MINGW_PROCESSOR X86)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-w64.cmake)
# SSE2 arithmetic as on 64-bit: the x87 unit's extra precision changes how
# halves round in currency and decimal conversions.
string(APPEND CMAKE_CXX_FLAGS_INIT " -msse2 -mfpmath=sse")
