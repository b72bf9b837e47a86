#pragma once

// What a window's pixels depend on: the dots per inch of the monitor it is
// on, and the system's message font at that resolution. The functions that
// answer per monitor exist from Windows 10 on; older systems answer with the
// one resolution of the desktop.

#include <windows.h>

namespace norv::app::win32 {

// The dots per inch the window is drawn at.
int window_dots_per_inch(HWND window);

// The outer size of a window whose client area is `client_width` by
// `client_height` pixels, at `dots_per_inch`.
SIZE window_size_for_client(int client_width, int client_height, DWORD style, DWORD ex_style,
                            int dots_per_inch);

// The system's message-box font at `dots_per_inch`.
LOGFONTA message_font(int dots_per_inch);

}  // namespace norv::app::win32
