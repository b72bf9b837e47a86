#include "tests/data/installed_fixture.h"

#include "tests/support/fixtures.h"

namespace norv::test {

InstalledFixture::InstalledFixture(std::string_view relative) : paths_(dir_.path()) {
  std::filesystem::path folder = dir_.path() / "Norv" / "Data";
  std::filesystem::create_directories(folder);
  native_ = copy_fixture(relative, folder);
  windows_path_ = "C:\\Norv\\Data\\" + native_.filename().string();
}

void InstalledFixture::add_beside(std::string_view relative) { copy_fixture(relative, folder()); }

std::shared_ptr<data::Connection> InstalledFixture::connect() const {
  auto connection = std::make_shared<data::Connection>(paths_);
  connection->set_connection_string("Provider=Microsoft.jet.OLEDB.4.0; Data Source=" +
                                    windows_path_);
  connection->open();
  return connection;
}

}  // namespace norv::test
