// The index check: sound indexes pass (those the creator makes, of every key
// type and any text, and those of the shared fixtures), and each kind of
// damage to an index page or its usage map is reported with the table and
// index it is in.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "jet/base/little_endian.h"
#include "jet/create/creator.h"
#include "jet/database.h"
#include "jet/format/format.h"
#include "jet/format/index_page.h"
#include "platform/error.h"
#include "tests/jet/fixture_list.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::HasSubstr;

std::string describe(const IndexCheckReport& report) {
  std::string out;
  for (const IndexProblem& p : report.problems)
    out += "  table " + p.table + ", index " + p.index + ": " + p.what + "\n";
  return out;
}

// Text the creator once refused to index: letters it had no weight for,
// accents, ligatures, punctuation that Jet records apart, kana, a
// surrogate pair, trailing spaces, the empty string.
const std::vector<std::string> awkward_texts{
    "Kiwi", "wax", "Zebra", "Straße", "Œuvre", "café", "co-op", "a-é", "ア", "日本",
    "\xF0\x9F\x98\x80", "trailing  ", "", "Ab", "AB", "ab", "1.0", "0.9"};

TableSpec table_of_every_key_type(FormatVersion version) {
  TableSpec t;
  t.name = "Keys";
  t.columns = {{.name = "ID", .type = ColumnType::long_integer, .autonumber = true},
               {.name = "Name", .type = ColumnType::text, .size = 100},
               {.name = "Small", .type = ColumnType::integer},
               {.name = "Tiny", .type = ColumnType::byte},
               {.name = "Ratio", .type = ColumnType::double_},
               {.name = "Part", .type = ColumnType::single},
               {.name = "Price", .type = ColumnType::currency},
               {.name = "Stamped", .type = ColumnType::date_time},
               {.name = "Tag", .type = ColumnType::guid},
               {.name = "Flag", .type = ColumnType::boolean},
               {.name = "Notes", .type = ColumnType::memo}};
  if (version == FormatVersion::jet4)
    t.columns.push_back({.name = "Amount", .type = ColumnType::decimal, .precision = 18, .scale = 4});
  for (const ColumnSpec& c : t.columns)
    if (c.name != "ID") t.indexes.push_back({.name = c.name + "Idx", .columns = {c.name}});
  t.indexes.push_back({.name = "PrimaryKey", .columns = {"ID"}, .primary_key = true});
  t.indexes.push_back({.name = "NameSmall", .columns = {"Name", "Small", "Flag"}});
  t.indexes.push_back({.name = "UniqueName", .columns = {"Name", "ID"}, .unique = true});
  const std::vector<std::string>& texts = awkward_texts;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const bool null_row = i % 5 == 4;
    Guid tag;
    tag.bytes[i % 16] = static_cast<std::uint8_t>(i * 37);
    std::vector<Value> row{Null{},
                           null_row ? Value{Null{}} : Value{texts[i]},
                           static_cast<std::int16_t>(static_cast<int>(i) * 911 - 5000),
                           static_cast<std::uint8_t>(i * 13),
                           static_cast<double>(i) * -1.5 + 3,
                           static_cast<float>(i) / 3.0f - 1,
                           Currency{static_cast<std::int64_t>(i) * 12345 - 60000},
                           DateTime{40000.25 - static_cast<double>(i)},
                           tag,
                           i % 2 == 0,
                           null_row ? Value{Null{}} : Value{"Memo " + texts[i]}};
    if (version == FormatVersion::jet4)
      row.push_back(Decimal{.negative = i % 3 == 0, .magnitude = {0, 0, 0, static_cast<std::uint32_t>(i * 1000)}, .scale = 4});
    if (null_row) row[2] = Null{};
    if (version == FormatVersion::jet3 && texts[i].find_first_of("\xE3\xE6\xF0") != std::string::npos) {
      row[1] = std::string("Jet3 has no kana ") + std::to_string(i);  // code page 1252 holds no kana
      row[10] = row[1];
    }
    t.rows.push_back(std::move(row));
  }
  return t;
}

std::filesystem::path created(const std::filesystem::path& dir, FormatVersion version) {
  const auto db = dir / (version == FormatVersion::jet3 ? "keys3.mdb" : "keys4.mdb");
  DatabaseSpec spec;
  spec.format = version;
  spec.tables = {table_of_every_key_type(version)};
  create_database(db, spec, CreateOptions{true});
  return db;
}

TEST(IndexCheck, CreatedIndexesOfEveryKeyTypeAndAnyTextPass) {
  test::TempDir dir;
  for (FormatVersion version : {FormatVersion::jet3, FormatVersion::jet4}) {
    const auto db = created(dir.path(), version);
    const IndexCheckReport report = Database::open(db).check_indexes();
    EXPECT_TRUE(report.sound()) << db << "\n" << describe(report);
    EXPECT_TRUE(report.keys_not_recomputed.empty());
    const std::size_t rows = awkward_texts.size();
    const std::size_t key_indexes = table_of_every_key_type(version).indexes.size();
    // Every index of Keys holds one entry per row; the system tables add theirs.
    EXPECT_GE(report.entries, rows * key_indexes);
    EXPECT_GT(report.tables, 1u);  // MSysObjects is indexed too
  }
}

// Entries per fixture as an independent reader counted them
// (index-keys/verification.tsv: file, ..., "matched/total" of all indexes).
std::map<std::string, std::uint64_t> independently_counted_entries() {
  std::map<std::string, std::uint64_t> out;
  std::ifstream in(test::fixtures_dir()->parent_path() / "index-keys" / "verification.tsv");
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#' || line.rfind("file\t", 0) == 0) continue;
    std::vector<std::string> fields;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
      end = line.find('\t', start);
      fields.push_back(line.substr(start, end == std::string::npos ? end : end - start));
    }
    if (fields.size() < 7) continue;
    out[fields[0]] = std::stoull(fields[6].substr(fields[6].find('/') + 1));
  }
  return out;
}

// The fixtures' indexes were written by Access or by an independent
// implementation and checked entry by entry against their rows: each must
// pass, system tables included, with as many entries as that check found.
TEST(IndexCheck, EveryFixturePasses) {
  NORV_REQUIRE_FIXTURES();
  const auto counted = independently_counted_entries();
  std::size_t files = 0;
  for (const auto& db : test::all_fixture_databases()) {
    if (db.filename() == "password.mdb") continue;  // refused; see the header tests
    const IndexCheckReport report = Database::open(db).check_indexes();
    EXPECT_TRUE(report.sound()) << db << "\n" << describe(report);
    const std::string name =
        "fixtures/" + std::filesystem::relative(db, *test::fixtures_dir()).generic_string();
    if (counted.contains(name)) {
      EXPECT_EQ(report.entries, counted.at(name)) << db;
      ++files;
    }
  }
  EXPECT_GT(files, 100u) << "fixtures compared with verification.tsv";
}

struct Damage {
  const char* what;
  std::function<void(std::vector<std::uint8_t>& page, const Format& format)> apply;
  const char* reported;
};

std::uint32_t leaf_of_name_index(const std::filesystem::path& db, const Format& format) {
  // The first index page Keys owns: the creator writes one leaf per index,
  // in index order, so this is the leaf of its first index (NameIdx).
  const std::uint32_t owner = Database::open(db).table("Keys").definition_page;
  std::ifstream in(db, std::ios::binary);
  std::vector<std::uint8_t> page(format.page_size);
  for (std::uint32_t number = 0; in.read(reinterpret_cast<char*>(page.data()), page.size()); ++number)
    if (page[0] == index_leaf_page_type && le::get32(page.data() + 4) == owner) return number;
  return 0;
}

void rewrite_page(const std::filesystem::path& db, std::uint32_t number, const Format& format,
                  const std::function<void(std::vector<std::uint8_t>&, const Format&)>& change) {
  std::fstream file(db, std::ios::in | std::ios::out | std::ios::binary);
  std::vector<std::uint8_t> page(format.page_size);
  file.seekg(static_cast<std::streamoff>(number) * format.page_size);
  file.read(reinterpret_cast<char*>(page.data()), static_cast<std::streamsize>(page.size()));
  change(page, format);
  file.seekp(static_cast<std::streamoff>(number) * format.page_size);
  file.write(reinterpret_cast<const char*>(page.data()), static_cast<std::streamsize>(page.size()));
}

TEST(IndexCheck, DamageIsReportedWithTableAndIndex) {
  const std::vector<Damage> damages{
      {"the last key byte of the last entry changed",
       [](auto& page, const Format& f) {
         const IndexPageLayout& at = index_page_layout(f);
         std::size_t end = (at.first_entry - at.bitmap) * 8 - 1;  // the last set bit
         while ((page[at.bitmap + end / 8] >> (end % 8) & 1) == 0) --end;
         page[at.first_entry + end - 5] ^= 0x01;  // before the 4-byte row pointer
       },
       "holds the key"},
      {"the first entry pointed at another row",
       [](auto& page, const Format& f) {
         const std::size_t first = index_page_layout(f).first_entry;
         std::size_t end = 0;
         while ((page[index_page_layout(f).bitmap + end / 8] >> (end % 8) & 1) == 0) ++end;
         page[first + end - 1] ^= 0x02;  // the row number of the first entry
       },
       "row"},
      {"the owner changed", [](auto& page, const Format&) { page[4] ^= 0x01; }, "belongs to"},
      {"a link to a previous page",
       [](auto& page, const Format& f) { le::put32(page.data() + index_page_layout(f).previous, 3); },
       "links back"},
      {"free space wrong", [](auto& page, const Format&) { page[2] ^= 0x01; }, "free space"},
      {"the page made a node", [](auto& page, const Format&) { page[0] = index_node_page_type; },
       "page"},
  };
  test::TempDir dir;
  for (FormatVersion version : {FormatVersion::jet3, FormatVersion::jet4}) {
    const Format& format = format_for(version);
    for (const Damage& damage : damages) {
      const auto db = created(dir.path(), version);
      const std::uint32_t leaf = leaf_of_name_index(db, format);
      ASSERT_NE(leaf, 0u);
      rewrite_page(db, leaf, format, damage.apply);
      const IndexCheckReport report = Database::open(db).check_indexes();
      ASSERT_FALSE(report.sound()) << damage.what << " in " << db;
      const IndexProblem& problem = report.problems.front();
      EXPECT_EQ(problem.table, "Keys") << damage.what;
      EXPECT_FALSE(problem.index.empty()) << damage.what;
      EXPECT_THAT(problem.what, HasSubstr(damage.reported)) << damage.what << "\n" << describe(report);
    }
  }
}

// Where the root page of real index `i` is stored in a table definition
// page holding all of it: the real-index definitions follow the column
// names; the root is at +34 (Jet 3) or +38 (Jet 4) of each.
std::size_t real_index_root(const std::vector<std::uint8_t>& page, const Format& f, std::size_t i) {
  const std::uint32_t real_indexes = le::get32(page.data() + f.tdef.num_real_idx);
  EXPECT_GT(real_indexes, i);
  const std::size_t columns = le::get16(page.data() + f.tdef.num_cols);
  std::size_t at = f.tdef.header_end + real_indexes * f.tdef.real_index_stats_size +
                   columns * f.column.size;
  for (std::size_t c = 0; c < columns; ++c)
    at += f.name_length_size == 1 ? 1 + page[at] : 2 + le::get16(page.data() + at);
  return at + i * f.tdef.real_index_def_size + (f.version == FormatVersion::jet4 ? 38 : 34);
}

// An index page left out of the index's usage map, or a map naming a page
// the tree does not reach.
TEST(IndexCheck, PagesOutsideTheIndexUsageMapAreReported) {
  test::TempDir dir;
  for (FormatVersion version : {FormatVersion::jet3, FormatVersion::jet4}) {
    const Format& format = format_for(version);
    const auto db = created(dir.path(), version);
    const std::uint32_t leaf = leaf_of_name_index(db, format);
    // Point the first index's root at the second index's leaf: the first
    // index's map no longer matches its tree.
    const std::uint32_t owner = Database::open(db).table("Keys").definition_page;
    rewrite_page(db, owner, format, [&](auto& page, const Format& f) {
      const std::size_t root = real_index_root(page, f, 0);
      ASSERT_EQ(le::get32(page.data() + root), leaf);
      le::put32(page.data() + root, leaf + 1);
    });
    const IndexCheckReport report = Database::open(db).check_indexes();
    ASSERT_FALSE(report.sound()) << db;
    EXPECT_THAT(describe(report), HasSubstr("usage map"));
  }
}

// An update writes index pages and the row pointers in them; on a tree it
// cannot trust it refuses before writing anything, naming the file, the
// table and the fault, and the file stays byte for byte as it was.
TEST(IndexCheck, AnUpdateRefusesADamagedIndexAndWritesNothing) {
  struct Case {
    const char* what;
    std::function<void(const std::filesystem::path& db, const Format& f)> damage;
  };
  const Case cases[] = {
      {"two indexes share a tree",
       [](const std::filesystem::path& db, const Format& f) {
         const std::uint32_t owner = Database::open(db).table("Keys").definition_page;
         rewrite_page(db, owner, f, [](auto& page, const Format& format) {
           le::put32(page.data() + real_index_root(page, format, 0),
                     le::get32(page.data() + real_index_root(page, format, 1)));
         });
       }},
      {"a leaf of another table",
       [](const std::filesystem::path& db, const Format& f) {
         rewrite_page(db, leaf_of_name_index(db, f), f,
                      [](auto& page, const Format&) { page[4] ^= 0x01; });
       }},
  };
  test::TempDir dir;
  for (FormatVersion version : {FormatVersion::jet3, FormatVersion::jet4}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      const auto db = created(dir.path(), version);
      c.damage(db, format_for(version));
      const std::string before = test::read_file(db);
      try {
        Database::open(db).update_column("Keys", "Small", std::int16_t{7});
        ADD_FAILURE() << "the update went through a damaged index";
      } catch (const CorruptDatabaseError& error) {
        EXPECT_THAT(error.what(), HasSubstr(db.string()));
        EXPECT_THAT(error.what(), HasSubstr("table Keys"));
        EXPECT_THAT(error.what(), HasSubstr("Compact and Repair"));
      }
      EXPECT_TRUE(test::read_file(db) == before) << "the refused update changed the file";
    }
  }
}

}  // namespace
}  // namespace norv::jet
