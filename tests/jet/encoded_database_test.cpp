// Encoded databases: the creator builds each one with a plain twin from the
// same description, and the two must read alike with the engine and with
// mdbtools, before and after the same update, while the encoded file's
// pages on disk are really encoded. A header whose key does not decode the
// pages is refused and the file left as it was; a database password is
// refused on an encoded file as on a plain one.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jet/create/creator.h"
#include "jet/database.h"
#include "jet/pager/page_encoding.h"
#include "platform/error.h"
#include "tests/jet/both_formats.h"
#include "tests/jet/damage.h"
#include "tests/jet/mdbtools_agreement.h"
#include "tests/jet/update_support.h"
#include "tests/support/mdbtools.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::HasSubstr;

constexpr std::uint32_t key = 0x5EED1234;
constexpr std::size_t key_offset = 0x3E;  // in the masked header block

// A text column with an index, a Memo and a few other types, over more
// than one data page.
DatabaseSpec twin_spec(FormatVersion format) {
  DatabaseSpec spec;
  spec.format = format;
  TableSpec control{"Control",
                    {column("ID", ColumnType::long_integer), column("Version", ColumnType::text),
                     column("Build", ColumnType::integer)},
                    {{"PrimaryKey", {"ID"}, true, true}, {"VersionIdx", {"Version"}, false, false}},
                    {}};
  TableSpec notes{"Notes",
                  {column("ID", ColumnType::long_integer), column("Title", ColumnType::text, 255),
                   column("Body", ColumnType::memo), column("Done", ColumnType::boolean)},
                  {},
                  {}};
  for (std::int32_t id = 1; id <= 40; ++id) {
    control.rows.push_back({id, "0." + std::to_string(id), static_cast<std::int16_t>(id * 3)});
    notes.rows.push_back({id, std::string(150, static_cast<char>('a' + id % 26)),
                          std::string(id % 5 == 0 ? 3000 : 20, 'n'), id % 2 == 0});
  }
  spec.tables = {control, notes};
  return spec;
}

struct Twins {
  test::TempDir dir;
  std::filesystem::path plain = dir / "plain.mdb";
  std::filesystem::path encoded = dir / "encoded.mdb";
};

void make_twins(FormatVersion format, Twins& twins) {
  DatabaseSpec spec = twin_spec(format);
  create_database(twins.plain, spec);
  spec.encoding_key = key;
  create_database(twins.encoded, spec);
}

std::vector<std::string> catalog_names(const std::filesystem::path& db) {
  const Database database = Database::open(db);
  std::vector<std::string> names;
  for (const CatalogEntry& entry : database.catalog()) names.push_back(entry.name);
  return names;
}

// The rows of the user tables: the system tables hold the moment each twin
// was made.
DatabaseRows user_rows(const std::filesystem::path& db) {
  DatabaseRows rows = read_all_tables(db);
  std::erase_if(rows, [](const auto& table) { return table.first.starts_with("MSys"); });
  return rows;
}

// Flips bits of the stored key: the mask over the header block is a fixed
// XOR, so XORing the stored bytes XORs the key.
void change_key(const std::filesystem::path& db, std::uint32_t flip) {
  std::vector<std::uint8_t> bytes = test::read_bytes(db);
  for (std::size_t i = 0; i < 4; ++i)
    bytes[key_offset + i] ^= static_cast<std::uint8_t>(flip >> (8 * i));
  test::write_bytes(db, bytes);
}

class EncodedTwins : public ::testing::TestWithParam<FormatVersion> {};

TEST_P(EncodedTwins, ReadAsTheirPlainTwinWithBothReaders) {
  Twins twins;
  make_twins(GetParam(), twins);
  const Database encoded = Database::open(twins.encoded);
  EXPECT_EQ(encoded.encoding_key(), key);
  EXPECT_EQ(Database::open(twins.plain).encoding_key(), 0u);
  EXPECT_EQ(catalog_names(twins.encoded), catalog_names(twins.plain));
  EXPECT_TRUE(user_rows(twins.encoded) == user_rows(twins.plain));
  EXPECT_TRUE(encoded.check_indexes().sound());

  if (!test::mdbtools_available()) return;
  EXPECT_EQ(test::mdb_tables(twins.encoded), test::mdb_tables(twins.plain));
  for (const std::string table : {"Control", "Notes"}) {
    EXPECT_EQ(test::mdb_export(twins.encoded, table), test::mdb_export(twins.plain, table))
        << table;
    compare_table(encoded, table);
  }
}

// Page 0 is stored as in a plain file; every other page is stored encoded
// with its own keystream, so no stored page is its plain image, and
// decoding a stored page gives back a page of the plain twin's kind.
TEST_P(EncodedTwins, EveryPageButTheHeaderIsEncodedOnDisk) {
  Twins twins;
  make_twins(GetParam(), twins);
  const std::string plain = file_bytes(twins.plain);
  const std::string encoded = file_bytes(twins.encoded);
  ASSERT_EQ(encoded.size(), plain.size());
  const std::uint32_t page_size = Database::open(twins.plain).page_size();
  EXPECT_EQ(encoded.compare(0, 4, plain, 0, 4), 0) << "page 0 starts as in a plain file";
  const PageEncoding encoding(key);
  for (std::size_t at = page_size; at < plain.size(); at += page_size) {
    const std::uint32_t number = static_cast<std::uint32_t>(at / page_size);
    EXPECT_NE(encoded.compare(at, page_size, plain, at, page_size), 0)
        << "page " << number << " is stored plain";
    std::vector<std::uint8_t> page(encoded.begin() + at, encoded.begin() + at + page_size);
    encoding.decode(number, page);
    EXPECT_EQ(page[0], static_cast<std::uint8_t>(plain[at])) << "page " << number;
  }
}

TEST_P(EncodedTwins, AWrongKeyIsRefusedAndTheFileLeftAlone) {
  Twins twins;
  make_twins(GetParam(), twins);
  for (const std::uint32_t flip : {0x00000001u, 0x80000000u, key}) {
    SCOPED_TRACE(flip);
    change_key(twins.encoded, flip);
    const std::string before = file_bytes(twins.encoded);
    try {
      Database::open(twins.encoded).update_column("Control", "Version", std::string("2.0"));
      ADD_FAILURE() << "a file with a wrong key was opened";
    } catch (const CorruptDatabaseError& error) {
      EXPECT_THAT(error.what(), HasSubstr(twins.encoded.string() + " is not a valid Jet database"));
      // A key of 0 reads the stored pages as plain ones: another fault.
      if (flip != key) {
        EXPECT_THAT(error.what(), HasSubstr("do not decode with the key its header gives"));
      }
    }
    EXPECT_TRUE(file_bytes(twins.encoded) == before) << "the refused file changed";
    change_key(twins.encoded, flip);
  }
  EXPECT_TRUE(user_rows(twins.encoded) == user_rows(twins.plain));
}

// Encoding is not a password: a file that is both is refused for its
// password, as the plain file with that password is.
TEST_P(EncodedTwins, APasswordIsRefusedOnAnEncodedFileToo) {
  Twins twins;
  make_twins(GetParam(), twins);
  constexpr std::size_t password_offset = 0x42;
  for (const auto& file : {twins.plain, twins.encoded}) {
    std::vector<std::uint8_t> bytes = test::read_bytes(file);
    bytes[password_offset] ^= 'n';
    test::write_bytes(file, bytes);
    try {
      Database::open(file);
      ADD_FAILURE() << file << ": a password-protected database was opened";
    } catch (const NotSupportedError& error) {
      EXPECT_THAT(error.what(), HasSubstr(file.string()));
      EXPECT_THAT(error.what(), HasSubstr("database password"));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(BothFormats, EncodedTwins, both_formats(), format_name);

struct TwinUpdate {
  std::string name;
  std::string table;
  std::string column;
  Value value;
};

void PrintTo(const TwinUpdate& update, std::ostream* out) { *out << update.name; }

class EncodedUpdate
    : public ::testing::TestWithParam<std::tuple<FormatVersion, TwinUpdate>> {};

// The same update on both twins leaves the same rows, which mdbtools reads
// and the index check finds sound (expect_updated); the encoded file stays
// encoded, pages appended by the update included.
TEST_P(EncodedUpdate, GivesTheRowsOfThePlainTwin) {
  const auto& [format, update] = GetParam();
  Twins twins;
  make_twins(format, twins);
  const DatabaseRows before = read_all_tables(twins.encoded);
  const std::uint64_t pages_before = Database::open(twins.encoded).page_count();
  for (const auto& file : {twins.plain, twins.encoded})
    Database::open(file).update_column(update.table, update.column, update.value);

  expect_updated(twins.encoded, before, update.table, update.column, update.value);
  EXPECT_TRUE(user_rows(twins.encoded) == user_rows(twins.plain));
  const Database encoded = Database::open(twins.encoded);
  EXPECT_EQ(encoded.encoding_key(), key);
  EXPECT_EQ(encoded.page_count(), Database::open(twins.plain).page_count());

  const std::string plain_bytes = file_bytes(twins.plain);
  const std::string encoded_bytes = file_bytes(twins.encoded);
  const std::uint32_t page_size = encoded.page_size();
  for (std::uint64_t page = pages_before; page < encoded.page_count(); ++page)
    EXPECT_NE(encoded_bytes.compare(page * page_size, page_size, plain_bytes, page * page_size,
                                    page_size),
              0)
        << "appended page " << page << " is stored plain";
}

const TwinUpdate twin_updates[] = {
    {"PlainText", "Notes", "Title", std::string(200, 't')},
    {"IndexedText", "Control", "Version", std::string("10.2 a longer version")},
    {"MemoGrowsIntoALongValueChain", "Notes", "Body", std::string(9000, 'm')},
};

std::string update_name(
    const ::testing::TestParamInfo<std::tuple<FormatVersion, TwinUpdate>>& info) {
  return (std::get<0>(info.param) == FormatVersion::jet3 ? "Jet3_" : "Jet4_") +
         std::get<1>(info.param).name;
}

INSTANTIATE_TEST_SUITE_P(BothFormats, EncodedUpdate,
                         ::testing::Combine(both_formats(), ::testing::ValuesIn(twin_updates)),
                         update_name);

}  // namespace
}  // namespace norv::jet
