#pragma once

// The project's one exception hierarchy. Every message names the file (or
// the statement) concerned, says what went wrong and, where the user can do
// something about it, what to do. Only the update command catches.

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

namespace norv {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;

  // An error of the same kind saying `text`: how a boundary that knows more
  // (the file an operation concerns) restates an error without losing its
  // kind.
  virtual std::exception_ptr with_text(std::string text) const {
    return std::make_exception_ptr(Error(std::move(text)));
  }
};

// One kind of Error: `Kind` restated by with_text is a `Kind` again.
template <typename Kind>
class ErrorKind : public Error {
 public:
  using Error::Error;

  std::exception_ptr with_text(std::string text) const override {
    return std::make_exception_ptr(Kind(std::move(text)));
  }
};

// The operating system refused a file operation.
class IoError : public ErrorKind<IoError> {
 public:
  using ErrorKind::ErrorKind;
};

// A file that claims to be a database but cannot be understood.
class CorruptDatabaseError : public ErrorKind<CorruptDatabaseError> {
 public:
  using ErrorKind::ErrorKind;
};

// A valid input the tool deliberately does not handle (ACE files,
// password-protected databases, ODBC links, statements outside the supported subset, ...).
class NotSupportedError : public ErrorKind<NotSupportedError> {
 public:
  using ErrorKind::ErrorKind;
};

// A database that another program (or another run of this tool) has open.
class InUseError : public ErrorKind<InUseError> {
 public:
  using ErrorKind::ErrorKind;
};

// Bad input from the caller: a statement that does not parse, a table or
// column that does not exist, a value a column refuses.
class InvalidArgumentError : public ErrorKind<InvalidArgumentError> {
 public:
  using ErrorKind::ErrorKind;
};

// A number outside the range of the type it must fit (the run-time
// "Overflow" error).
class OverflowError : public ErrorKind<OverflowError> {
 public:
  using ErrorKind::ErrorKind;
};

// A broken internal invariant: the tool's own check of its work failed (a
// page it built does not read back, entries planned out of order). A fault
// of the tool, never of the input; the message says so and asks for a report.
class InternalError : public ErrorKind<InternalError> {
 public:
  using ErrorKind::ErrorKind;
};

// `text` as a message quotes what a user typed or a file held: whole when
// short, otherwise its first characters and its length, so that a
// runaway argument (100,000 digits) cannot flood the error output.
std::string excerpt(std::string_view text);

// errno as text, in exactly one place (Windows error codes: windows_error_text).
std::string system_error_text(int error_code);

#ifdef _WIN32
// A GetLastError() code as the system's own text, in UTF-8, without the
// closing full stop.
std::string windows_error_text(std::uint32_t error_code);
#endif

}  // namespace norv
