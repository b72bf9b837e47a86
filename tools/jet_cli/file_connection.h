#pragma once

// A connection of the access layer onto a file named on the command line:
// the name is a path of this machine, used as it stands ("\" read as "/"
// where "/" separates folders, so that relative paths stored in links
// resolve), and opened as the stamping code opens its databases.

#include <memory>
#include <string>

#include "data/connection.h"
#include "jet/database.h"

namespace norv::jet_cli {

std::shared_ptr<data::Connection> open_file_connection(const std::string& file);

// The database itself, for the commands that read the engine's own view.
jet::Database open_database(const std::string& file);

// Either way, a database that opening put back as it was before an
// interrupted update is named on standard error.

}  // namespace norv::jet_cli
