#include "tests/app/win32/message_box_probe.h"

#include <chrono>
#include <thread>

#include "tests/app/win32/own_desktop.h"

namespace norv::test {
namespace {

// The window class of Windows' dialogs, message boxes among them.
constexpr const char* kDialogClass = "#32770";

struct Search {
  DWORD process_id;
  HWND owner;
  HWND found = nullptr;
};

std::string text_of(HWND window) {
  char text[4096] = {};
  // WM_GETTEXT crosses processes; the text comes back as the box shows it.
  const auto length = SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::string class_of(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

BOOL CALLBACK match_box(HWND window, LPARAM search_address) {
  auto& search = *reinterpret_cast<Search*>(search_address);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != search.process_id || !IsWindowVisible(window) || class_of(window) != kDialogClass)
    return TRUE;
  if (search.owner && GetWindow(window, GW_OWNER) != search.owner) return TRUE;
  search.found = window;
  return FALSE;
}

// The message is the one static control that is not an icon.
BOOL CALLBACK read_child(HWND child, LPARAM shown_address) {
  auto& shown = *reinterpret_cast<ShownMessageBox*>(shown_address);
  if (class_of(child) != "Static" || !IsWindowVisible(child)) return TRUE;
  if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    shown.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
  } else if (shown.text.empty()) {
    shown.text = text_of(child);
  }
  return TRUE;
}

}  // namespace

std::optional<ShownMessageBox> wait_for_message_box(DWORD process_id, HWND owner,
                                                    int timeout_ms) {
  // Windows of another desktop are neither listed nor reached from here.
  if (const char* desktop = test_desktop_name()) {
    if (HDESK handle = OpenDesktopA(desktop, 0, FALSE, GENERIC_ALL)) SetThreadDesktop(handle);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < deadline) {
    Search search{process_id, owner};
    // A box is made by its owner's thread: looking there finds it whatever
    // desktop the looking thread is on.
    if (owner) {
      EnumThreadWindows(GetWindowThreadProcessId(owner, nullptr), match_box,
                        reinterpret_cast<LPARAM>(&search));
    } else {
      EnumWindows(match_box, reinterpret_cast<LPARAM>(&search));
    }
    if (search.found) {
      ShownMessageBox shown;
      shown.box = search.found;
      shown.owner = GetWindow(search.found, GW_OWNER);
      shown.title = text_of(search.found);
      EnumChildWindows(search.found, read_child, reinterpret_cast<LPARAM>(&shown));
      return shown;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::nullopt;
}

void press_ok(const ShownMessageBox& box) {
  HWND ok = GetDlgItem(box.box, IDOK);
  if (ok) {
    PostMessageA(ok, BM_CLICK, 0, 0);
  } else {
    PostMessageA(box.box, WM_COMMAND, IDOK, 0);
  }
}

}  // namespace norv::test
