// Every error leaving the engine's boundary names the file once and keeps
// its kind; broken invariants become InternalError asking for a report.

#include "jet/base/engine_errors.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/base/format_fault.h"
#include "platform/error.h"

namespace norv::jet {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::filesystem::path file = "/data/FENDREL.MDB";

struct KindCase {
  const char* name;
  std::function<void()> raise;               // what the engine's inside throws
  std::function<bool(const Error*)> same_kind;  // the kind the caller must see
  std::string message;                       // the whole message the caller sees
};

template <typename E>
std::function<bool(const Error*)> is() {
  return [](const Error* error) { return dynamic_cast<const E*>(error) != nullptr; };
}

template <typename E>
std::function<void()> raise(std::string what) {
  return [what] { throw E(what); };
}

const std::string report =
    ". This is a fault of the tool, not of the database; the file was left unchanged. Please "
    "report it, with a copy of the file";

std::vector<KindCase> kind_cases() {
  return {
      {"format fault", raise<FormatFault>("page 7 is not a data page"), is<CorruptDatabaseError>(),
       "/data/FENDREL.MDB is not a valid Jet database: page 7 is not a data page"},
      {"corrupt", raise<CorruptDatabaseError>("table Control is damaged"),
       is<CorruptDatabaseError>(), "/data/FENDREL.MDB: table Control is damaged"},
      {"usage map refusal",
       raise<NotSupportedError>("the table's page map cannot record the new page 9"),
       is<NotSupportedError>(), "/data/FENDREL.MDB: the table's page map cannot record the new page 9"},
      {"io", raise<IoError>("reading page 3 failed"), is<IoError>(),
       "/data/FENDREL.MDB: reading page 3 failed"},
      {"in use", raise<InUseError>("the database is open in another program"), is<InUseError>(),
       "/data/FENDREL.MDB: the database is open in another program"},
      {"invalid argument", raise<InvalidArgumentError>("column X does not exist"),
       is<InvalidArgumentError>(), "/data/FENDREL.MDB: column X does not exist"},
      {"overflow", raise<OverflowError>("Overflow"), is<OverflowError>(),
       "/data/FENDREL.MDB: Overflow"},
      {"plain error", raise<Error>("something"), is<Error>(), "/data/FENDREL.MDB: something"},
      {"internal", [] { throw_internal_error("page 4 cannot be laid out"); }, is<InternalError>(),
       "/data/FENDREL.MDB: page 4 cannot be laid out" + report},
      {"logic error", raise<std::out_of_range>("vector::_M_range_check"), is<InternalError>(),
       "/data/FENDREL.MDB: vector::_M_range_check" + report},
      // Named already: not named twice.
      {"named io", raise<IoError>("/data/FENDREL.MDB is read-only; make it writable"),
       is<IoError>(), "/data/FENDREL.MDB is read-only; make it writable"},
      {"named internal", raise<InternalError>("/data/FENDREL.MDB: table T: row 2 does not read back"),
       is<InternalError>(), "/data/FENDREL.MDB: table T: row 2 does not read back" + report},
  };
}

TEST(EngineErrors, EveryKindLeavesNamingTheFileOnceAndKeepsItsKind) {
  for (const KindCase& c : kind_cases()) {
    SCOPED_TRACE(c.name);
    try {
      with_file_context(file, c.raise);
      ADD_FAILURE() << "nothing thrown";
    } catch (const Error& error) {
      EXPECT_TRUE(c.same_kind(&error)) << typeid(error).name();
      EXPECT_EQ(error.what(), c.message);
      // Passing a second boundary (an operation inside another) changes nothing.
      try {
        with_file_context(file, [] { throw; });
      } catch (const Error& again) {
        EXPECT_EQ(again.what(), c.message);
        EXPECT_TRUE(c.same_kind(&again));
      }
    }
  }
}

TEST(EngineErrors, ValuesAndOtherExceptionsPassUnchanged) {
  EXPECT_EQ(with_file_context(file, [] { return 42; }), 42);
  EXPECT_THROW(with_file_context(file, [] { throw std::bad_alloc(); }), std::bad_alloc);
}

}  // namespace
}  // namespace norv::jet
