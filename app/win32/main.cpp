// norv-version-update: the "Version Update" dialog on this machine's
// installation of the suite, found through Windows' own registry and
// settings files.

#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "app/message_boxes.h"
#include "app/update_command.h"
#include "app/win32/frm_version_update.h"
#include "app/win32/win32_message_boxes.h"
#include "platform/path_mapper.h"
#include "settings/private_profile.h"
#include "settings/registry.h"

namespace {

// Until the window is unloaded; returns WM_QUIT's exit code.
int run_message_loop(norv::app::win32::frmVersionUpdate& window) {
  MSG message;
  BOOL got;
  while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    if (window.translate_dialog_message(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show_command) {
  using namespace norv;
  // The manifest asks for common controls 6, whose classes this registers.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  try {
    const auto paths = platform::make_default_path_mapper();
    const auto registry = settings::make_system_registry();
    const auto profile = settings::make_private_profile(*paths);
    const app::InstallationServices services{*registry, *profile, *paths};

    app::win32::frmVersionUpdate window([&](app::VersionUpdateWindow& shown) {
      // The boxes belong to the window: it takes no clicks while one is open.
      app::win32::Win32MessageBoxes boxes(
          static_cast<app::win32::frmVersionUpdate&>(shown).hwnd());
      app::cmdUpdate_Click(shown, boxes, services);
    });
    window.show(show_command);
    return run_message_loop(window);
  } catch (const std::exception& error) {
    app::win32::Win32MessageBoxes(nullptr).show(error.what(), MB_OK | MB_ICONERROR, "");
    return 1;
  }
}
