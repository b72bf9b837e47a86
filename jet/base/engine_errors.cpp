#include "jet/base/engine_errors.h"

#include <fmt/format.h>

#include <exception>
#include <stdexcept>
#include <string>

#include "jet/base/format_fault.h"

namespace norv::jet {

namespace {

constexpr std::string_view report_request =
    "This is a fault of the tool, not of the database; the file was left unchanged. Please "
    "report it, with a copy of the file";

// Errors from outside the engine (the platform's file operations) and errors
// that left an inner boundary (an operation within another) already name
// the file.
bool names(std::string_view what, const std::string& file) {
  return what.find(file) != std::string_view::npos;
}

std::string named(const std::string& file, std::string_view what) {
  return names(what, file) ? std::string(what) : fmt::format("{}: {}", file, what);
}

[[noreturn]] void throw_internal(const std::string& file, std::string_view what) {
  if (what.find(report_request) != std::string_view::npos) throw;  // named by an inner boundary
  throw InternalError(fmt::format("{}. {}", named(file, what), report_request));
}

}  // namespace

void rethrow_naming_file(const std::filesystem::path& file) {
  const std::string name = file.string();
  try {
    throw;
  } catch (const FormatFault& fault) {
    throw CorruptDatabaseError(fmt::format("{} is not a valid Jet database: {}", name, fault.what()));
  } catch (const InternalError& error) {
    throw_internal(name, error.what());
  } catch (const std::logic_error& error) {
    throw_internal(name, error.what());
  } catch (const Error& error) {
    if (names(error.what(), name)) throw;
    std::rethrow_exception(error.with_text(fmt::format("{}: {}", name, error.what())));
  }
}

}  // namespace norv::jet
