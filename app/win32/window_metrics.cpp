#include "app/win32/window_metrics.h"

namespace norv::app::win32 {
namespace {

constexpr int kDefaultDotsPerInch = 96;

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

// A user32 function of newer Windows, or null where the system lacks it.
template <typename Function>
Function newer_user32_function(const char* name) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

// The resolution of the whole desktop, as systems before per-monitor
// scaling know it.
int desktop_dots_per_inch() {
  HDC screen = GetDC(nullptr);
  if (!screen) return kDefaultDotsPerInch;
  const int dots = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dots > 0 ? dots : kDefaultDotsPerInch;
}

}  // namespace

int window_dots_per_inch(HWND window) {
  static const auto get_dpi_for_window =
      newer_user32_function<GetDpiForWindowFunction>("GetDpiForWindow");
  if (get_dpi_for_window && window) {
    const UINT dots = get_dpi_for_window(window);
    if (dots > 0) return static_cast<int>(dots);
  }
  return desktop_dots_per_inch();
}

SIZE window_size_for_client(int client_width, int client_height, DWORD style, DWORD ex_style,
                            int dots_per_inch) {
  static const auto adjust_for_dpi =
      newer_user32_function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, client_width, client_height};
  const BOOL adjusted =
      adjust_for_dpi
          ? adjust_for_dpi(&rect, style, FALSE, ex_style, static_cast<UINT>(dots_per_inch))
          : AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  if (!adjusted) rect = RECT{0, 0, client_width, client_height};
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// The system reports its fonts at the desktop's resolution; the height is
// scaled from there to the window's.
LOGFONTA message_font(int dots_per_inch) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTA font{};
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, dots_per_inch, desktop_dots_per_inch());
  } else {
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = MulDiv(font.lfHeight, dots_per_inch, kDefaultDotsPerInch);
  }
  return font;
}

}  // namespace norv::app::win32
