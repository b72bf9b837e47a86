#pragma once

// Opening a database for an update, and keeping others out while it runs.
//
// Before the first byte is written the database must be writable and no
// other program may have it open. Jet keeps a lock file beside every
// database it has open in shared mode (same name, extension .ldb) and holds
// one byte-range lock in it per connection (bytes 0x10000001 .. 0x100000FF);
// a lock file whose bytes are all free was left behind by a crash (or by a
// user who may not delete it) and does not mean "in use".
//
// The returned File is the update's lock for as long as it stays open:
//  - POSIX: an exclusive flock() on the database, so two runs of this tool
//    (in any processes, or twice in one process) cannot interleave their
//    writes on one file. It does not keep out a Jet started meanwhile under
//    Wine, whose sharing modes live in the Wine server only.
//  - Windows: the handle denies write sharing, so neither Jet nor another
//    run can open the database for writing until it is closed; readers
//    (including our own read-only handle) may stay.
// An .ldb that exists but whose locks cannot be tested (it cannot be
// opened, or the file system does not answer lock queries) counts as in
// use: the message says how to tell a stale lock file from a live one.

#include <filesystem>

#include "platform/file.h"

namespace norv::platform {

// Throws InUseError when another program (or another run) has the database
// open, IoError when the file is read-only (on POSIX: no write permission
// bit is set, whoever runs the tool), lies on a read-only drive or cannot
// be opened for writing. Every message names the file and says what
// to do.
File lock_database_for_update(const std::filesystem::path& database);

// The lock file Jet keeps beside `database` (same folder, same stem,
// extension .ldb), found without regard to case; empty when there is none.
std::filesystem::path find_lock_file(const std::filesystem::path& database);

// First and last byte of the user locks in an .ldb.
inline constexpr std::uint64_t ldb_first_user_lock = 0x10000001;
inline constexpr std::uint64_t ldb_last_user_lock = 0x100000FF;

}  // namespace norv::platform
