#pragma once

// The product's storage: the operating system's files (file.h), and the
// database lock (database_lock.h) for updates.

#include "platform/storage.h"

namespace norv::platform {

// The one instance; it holds no state and lives as long as the program.
Storage& system_storage();

}  // namespace norv::platform
