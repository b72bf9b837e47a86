#include "tests/app/win32/window_test_support.h"

namespace norv::test {

void Win32WindowDriver::click(app::ControlId id) const {
  SendMessageA(control(id), BM_CLICK, 0, 0);
  pump_messages();
}

void Win32WindowDriver::choose_year(int index) const {
  HWND list = control(app::ControlId::cmbYear);
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(window_.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  pump_messages();
}

void Win32WindowDriver::set_version(const std::string& text) const {
  SendMessageA(control(app::ControlId::txtVersion), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(text.c_str()));
}

void Win32WindowDriver::press(WPARAM key, bool shift) const {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  const BYTE shift_before = keys[VK_SHIFT];
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  SetKeyboardState(keys);
  for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
    // The key's repeat count and, on release, its previous and transition
    // state bits; a 32-bit LPARAM holds them as a negative number.
    const auto flags = static_cast<LPARAM>(message == WM_KEYDOWN ? 1u : 0xC0000001u);
    MSG msg{GetFocus(), message, key, flags, 0, {}};
    if (!window_.translate_dialog_message(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  keys[VK_SHIFT] = shift_before;
  SetKeyboardState(keys);
  pump_messages();
}

std::vector<std::string> Win32WindowDriver::tab(int times, bool backwards) const {
  std::vector<std::string> visited;
  for (int i = 0; i < times; ++i) {
    press(VK_TAB, backwards);
    visited.push_back(focused());
  }
  return visited;
}

std::string Win32WindowDriver::focused() const {
  HWND focus = GetFocus();
  for (const app::ControlDescription& description : app::kControls)
    if (focus && control(description.id) == focus) return description.name;
  return "";
}

int Win32WindowDriver::year_index() const {
  const auto index = SendMessageA(control(app::ControlId::cmbYear), CB_GETCURSEL, 0, 0);
  return index == CB_ERR ? -1 : static_cast<int>(index);
}

std::vector<std::string> Win32WindowDriver::years() const {
  HWND list = control(app::ControlId::cmbYear);
  std::vector<std::string> entries;
  const auto count = SendMessageA(list, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    char text[64] = {};
    if (SendMessageA(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) >= LRESULT{sizeof text})
      continue;
    SendMessageA(list, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    entries.emplace_back(text);
  }
  return entries;
}

RECT Win32WindowDriver::rect(app::ControlId id) const {
  RECT r{};
  GetWindowRect(control(id), &r);
  MapWindowPoints(nullptr, window_.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

namespace {
// WM_QUIT met while dispatching, kept for quit_posted().
bool quit_seen = false;
}  // namespace

void pump_messages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quit_seen = true;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool quit_posted() {
  pump_messages();
  const bool posted = quit_seen;
  quit_seen = false;
  return posted;
}

}  // namespace norv::test
