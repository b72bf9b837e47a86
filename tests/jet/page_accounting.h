#pragma once

// Whether every page a table uses is accounted for where Jet looks for it.
// A reader follows row and long-value pointers straight to their pages, so
// a file can read correctly while a table's page map misses a page its rows
// live on, or the file's global map offers that page as free: the next
// writer (Jet, or this engine) would then lose rows or give the page away.
// The crash tests check this after every power loss, since only the order
// of the update's syncs keeps it true.

#include <filesystem>

namespace norv::jet {

// Adds a test failure, naming the table and page, unless for every local
// table of `db`: its page map lists only its own data pages, every
// overflow row its rows point at lies on one of them, every page holding
// one of its long values is in that column's page map (where the table
// keeps one), and the global map marks none of these pages free, nor the
// bitmap pages of its page maps.
void expect_pages_accounted_for(const std::filesystem::path& db);

}  // namespace norv::jet
