#pragma once

// What the next open does with the journal an interrupted update left
// (rollback_journal.h). The journal undoes the update only while the
// database is still as the update left it: each page it names holds its
// old image or one the update wrote, and the length lies between the old
// and the new one. Access or another program may have opened and changed
// the file since; copying old pages over such a change would lose it, so
// then nothing is written and the journal stays.

#include "jet/pager/page_file.h"
#include "platform/storage.h"

namespace norv::jet {

enum class Recovery {
  none,       // no journal
  discarded,  // the update had written nothing or everything: the journal is removed
  restored,   // the database is back as it was before the update
};

// For `database`, opened under the update lock, before anything reads it.
// Throws CorruptDatabaseError naming the file and the journal (which stays)
// when another program changed the database after the interruption, and
// the storage's IoError when the journal or the database cannot be read
// or written.
Recovery recover_interrupted_update(platform::Storage& storage, PageFile& database);

// The same for a database about to be opened for reading: a journal beside
// it is acted on first, so that no reader sees half an update. A database
// that cannot be opened for writing is an IoError saying so.
Recovery recover_before_reading(platform::Storage& storage, const std::filesystem::path& path);

}  // namespace norv::jet
