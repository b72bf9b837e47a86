// norv-version-update: the "Version Update" dialog on this machine's
// installation of the suite. The registry, the settings files and the
// database paths are this platform's: Windows' own, or elsewhere those of the
// Wine prefix $WINEPREFIX (default ~/.wine).

#include <QApplication>
#include <QIcon>

#include "app/gui/frm_version_update.h"
#include "app/gui/qt_message_boxes.h"
#include "app/update_command.h"
#include "platform/path_mapper.h"
#include "settings/private_profile.h"
#include "settings/registry.h"

int main(int argc, char** argv) {
  using namespace norv;
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("norv-version-update"));
  QGuiApplication::setDesktopFileName(QStringLiteral("norv-version-update"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("norv-version-update")));

  const auto paths = platform::make_default_path_mapper();
  const auto registry = settings::make_system_registry();
  const auto profile = settings::make_private_profile(*paths);
  const app::InstallationServices services{*registry, *profile, *paths};

  app::gui::QtMessageBoxes boxes;  // modal over the dialog, the active window
  app::gui::frmVersionUpdate window(
      [&](app::VersionUpdateWindow& shown) { app::cmdUpdate_Click(shown, boxes, services); });
  window.show();
  return QApplication::exec();
}
