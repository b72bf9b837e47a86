#pragma once

// What an error looks like when it leaves the engine.
//
// Deep inside, the engine sees pages, rows and byte ranges rather than
// files, so its errors do not say which database they concern
// (format_fault.h). The public entry points (Database, create_database) run
// every operation through with_file_context, which gives each error leaving
// it the file's name, once, and keeps its kind.

#include <filesystem>
#include <utility>

#include "platform/error.h"

namespace norv::jet {

// Called inside a catch handler: throws the exception being handled again,
// naming `file`:
// - a FormatFault becomes "<file> is not a valid Jet database: <what>";
// - an InternalError, or a std::logic_error (an index out of range, ...),
//   becomes an InternalError saying the file was left unchanged (every check
//   of the engine's own work comes before its first write) and asking for a
//   report;
// - any other norv::Error keeps its kind (Error::with_text) and gets
//   "<file>: " in front, unless its message names the file already (the
//   platform's file errors do, and so does an error that left an inner
//   boundary);
// - anything else (std::bad_alloc) passes unchanged.
[[noreturn]] void rethrow_naming_file(const std::filesystem::path& file);

// Runs body; every error leaving it names `file` (rethrow_naming_file).
template <typename Body>
decltype(auto) with_file_context(const std::filesystem::path& file, Body&& body) {
  try {
    return std::forward<Body>(body)();
  } catch (...) {
    rethrow_naming_file(file);
  }
}

}  // namespace norv::jet
