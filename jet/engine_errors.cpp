#include "jet/engine_errors.h"

#include <fmt/format.h>

#include <stdexcept>
#include <string>

#include "jet/base/format_fault.h"

namespace norv::jet {

namespace {

// The error being handled again when its message names the file already,
// otherwise the same kind with the file in front.
template <typename E>
[[noreturn]] void rethrow_with_name(const std::string& file, const E& error) {
  const std::string_view what = error.what();
  if (what.find(file) != std::string_view::npos) throw;
  throw E(fmt::format("{}: {}", file, what));
}

constexpr std::string_view report_request =
    "This is a fault of the tool, not of the database; the file was left unchanged. Please "
    "report it, with a copy of the file";

[[noreturn]] void throw_internal(const std::string& file, std::string_view what) {
  if (what.find(report_request) != std::string_view::npos) throw;  // named by an outer boundary
  const std::string named =
      what.find(file) != std::string_view::npos ? std::string(what) : fmt::format("{}: {}", file, what);
  throw InternalError(fmt::format("{}. {}", named, report_request));
}

}  // namespace

void rethrow_naming_file(const std::filesystem::path& file) {
  const std::string name = file.string();
  try {
    throw;
  } catch (const FormatFault& fault) {
    throw corrupt_database(file, fault.what());
  } catch (const InternalError& error) {
    throw_internal(name, error.what());
  } catch (const std::logic_error& error) {
    throw_internal(name, error.what());
  } catch (const IoError& error) {
    rethrow_with_name(name, error);
  } catch (const CorruptDatabaseError& error) {
    rethrow_with_name(name, error);
  } catch (const NotSupportedError& error) {
    rethrow_with_name(name, error);
  } catch (const InUseError& error) {
    rethrow_with_name(name, error);
  } catch (const InvalidArgumentError& error) {
    rethrow_with_name(name, error);
  } catch (const OverflowError& error) {
    rethrow_with_name(name, error);
  } catch (const Error& error) {
    rethrow_with_name(name, error);
  }
}

}  // namespace norv::jet
