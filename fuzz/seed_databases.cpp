// Writes the seed databases of the file-reading fuzzers into the folder
// given: small Jet 3 and Jet 4 files made by the engine's creator, covering
// the shapes an update meets (a control table with Text, a Memo inline and
// in long-value pages, rows over several data pages, an index, a link),
// and two of them encoded.
// They are generated rather than kept in the repository.

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "jet/create/creator.h"

namespace {

using namespace norv::jet;

TableSpec control_table(ColumnType version_type, std::string version) {
  TableSpec t;
  t.name = "Control";
  t.columns = {{.name = "ID", .type = ColumnType::long_integer, .autonumber = true},
               {.name = "Version", .type = version_type},
               {.name = "Updated", .type = ColumnType::date_time}};
  t.indexes = {{.name = "PrimaryKey", .columns = {"ID"}, .primary_key = true}};
  t.rows = {{Null{}, std::move(version), DateTime{45000.25}}};
  return t;
}

TableSpec company_table(int rows) {
  TableSpec t;
  t.name = "Company";
  t.columns = {{.name = "CompanyNo", .type = ColumnType::long_integer},
               {.name = "Name", .type = ColumnType::text, .size = 100},
               {.name = "Turnover", .type = ColumnType::currency},
               {.name = "Active", .type = ColumnType::boolean}};
  for (int n = 0; n < rows; ++n) {
    t.rows.push_back({std::int32_t{n}, "Company number " + std::to_string(n), Null{},
                      n % 2 == 0});
  }
  return t;
}

DatabaseSpec database(FormatVersion format, ColumnType version_type, std::string version,
                      int companies) {
  DatabaseSpec spec;
  spec.format = format;
  spec.tables = {control_table(version_type, std::move(version)), company_table(companies)};
  return spec;
}

void write(const std::filesystem::path& folder, const char* name, const DatabaseSpec& spec) {
  create_database(folder / name, spec, {.overwrite = true});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  try {
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    write(folder, "jet4-text.mdb", database(FormatVersion::jet4, ColumnType::text, "0.9", 3));
    write(folder, "jet3-text.mdb", database(FormatVersion::jet3, ColumnType::text, "0.9", 3));
    write(folder, "jet4-memo-long.mdb",
          database(FormatVersion::jet4, ColumnType::memo, "0.9 " + std::string(6000, 'm'), 1));
    write(folder, "jet3-memo.mdb", database(FormatVersion::jet3, ColumnType::memo, "0.9", 1));
    write(folder, "jet4-pages.mdb", database(FormatVersion::jet4, ColumnType::text, "0.9", 200));
    // Encoded twins: every page but the first stored RC4-encoded.
    DatabaseSpec encoded4 = database(FormatVersion::jet4, ColumnType::text, "0.9", 200);
    encoded4.encoding_key = 0x5EC2E7;
    write(folder, "jet4-pages-encoded.mdb", encoded4);
    DatabaseSpec encoded3 =
        database(FormatVersion::jet3, ColumnType::memo, "0.9 " + std::string(3000, 'm'), 1);
    encoded3.encoding_key = 0x1997;
    write(folder, "jet3-memo-encoded.mdb", encoded3);
    DatabaseSpec linked = database(FormatVersion::jet4, ColumnType::text, "1.0", 0);
    linked.links = {
        {.name = "Remote", .database = "C:\\Data\\other.mdb", .foreign_name = "T", .connect = ""}};
    linked.select_queries = {{.name = "AllCompanies", .table = "Company"}};
    write(folder, "jet4-linked.mdb", linked);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
