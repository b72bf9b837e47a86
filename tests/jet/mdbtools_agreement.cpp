#include "tests/jet/mdbtools_agreement.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/host_command.h"
#include "tests/support/mdbtools.h"

namespace norv::jet {

namespace {

bool near(double a, double b, double relative) {
  return std::fabs(a - b) <= relative * std::max({1.0, std::fabs(a), std::fabs(b)});
}

std::string without(std::string text, std::string_view characters) {
  std::erase_if(text, [&](char c) { return characters.find(c) != std::string_view::npos; });
  return text;
}

// mdb-export's fields, binary values in hex. (The shared helper exports
// binary raw, whose bytes may contain the separators.)
std::vector<std::vector<std::string>> export_rows(const std::filesystem::path& db,
                                                  const std::string& table) {
  const auto result = test::run_host_command({"mdb-export", "-H", "-Q", "-b", "hex", "-d",
                                              "\x1f", "-R", "\x1e", "-D", "%Y-%m-%d", "-T",
                                              "%Y-%m-%dT%H:%M:%S", test::host_path(db), table});
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "") << "mdb-export warned on " << db << " table " << table;
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> fields(1);
  for (char c : result.out) {
    if (c == '\x1f') {
      fields.emplace_back();
    } else if (c == '\x1e') {
      rows.push_back(std::move(fields));
      fields.assign(1, {});
    } else {
      fields.back() += c;
    }
  }
  return rows;
}

// Hex text back to the bytes it stands for (mdbtools exports GUIDs, in hex
// mode, as the hex of their text).
std::string unhex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

}  // namespace

bool agrees(const Value& value, const std::string& exported) {
  return std::visit(
      [&](const auto& v) -> bool {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, Null>) return exported.empty();
        else if constexpr (std::is_same_v<T, bool>) return exported == (v ? "1" : "0");
        else if constexpr (std::is_same_v<T, std::uint8_t> || std::is_same_v<T, std::int16_t> ||
                           std::is_same_v<T, std::int32_t>)
          return exported == std::to_string(v);
        else if constexpr (std::is_same_v<T, float>)
          return near(v, std::strtod(exported.c_str(), nullptr), 1e-6);
        else if constexpr (std::is_same_v<T, double>)
          return near(v, std::strtod(exported.c_str(), nullptr), 1e-9);
        else if constexpr (std::is_same_v<T, Currency> || std::is_same_v<T, Decimal>)
          return near(std::strtod(to_display_text(value).c_str(), nullptr),
                      std::strtod(exported.c_str(), nullptr), 1e-12);
        else if constexpr (std::is_same_v<T, DateTime>) {
          const std::string text = to_display_text(value);
          return text == exported || text == exported + "T00:00:00";
        } else if constexpr (std::is_same_v<T, Guid>)
          return without(to_display_text(value), "-") == without(unhex(exported), "-");
        else if constexpr (std::is_same_v<T, std::string>) return v == exported;
        else return to_display_text(value) == exported;  // Binary, in hex
      },
      value);
}

namespace {

bool row_agrees(const std::vector<Value>& ours, const std::vector<std::string>& theirs) {
  if (ours.size() != theirs.size()) return false;
  for (std::size_t c = 0; c < ours.size(); ++c)
    if (!agrees(ours[c], theirs[c])) return false;
  return true;
}

// Pairs every engine row with an exported row that agrees with it, trying
// the row at the same position first.
void match_rows(const std::string& name, const std::vector<std::vector<Value>>& ours,
                const std::vector<std::vector<std::string>>& theirs, RowMatch match) {
  if (match == RowMatch::any_order) {
    ASSERT_EQ(ours.size(), theirs.size()) << name;
  }
  if (match == RowMatch::engine_rows_among_exported) {
    ASSERT_GE(theirs.size(), ours.size()) << name;
  }
  std::vector<bool> used(theirs.size(), false);
  for (std::size_t r = 0; r < ours.size(); ++r) {
    std::size_t found = theirs.size();
    if (r < theirs.size() && !used[r] && row_agrees(ours[r], theirs[r])) found = r;
    for (std::size_t t = 0; t < theirs.size() && found == theirs.size(); ++t)
      if (!used[t] && row_agrees(ours[r], theirs[t])) found = t;
    EXPECT_LT(found, theirs.size()) << name << ": mdbtools has no row like the engine's row " << r;
    if (found < theirs.size()) used[found] = true;
  }
}

}  // namespace

void compare_table(const Database& db, const std::string& name, RowMatch match) {
  const TableInfo table = db.table(name);
  std::vector<std::vector<Value>> ours;
  db.for_each_row(table, [&](const std::vector<Value>& row) { ours.push_back(row); });
  const auto theirs = export_rows(db.path(), name);
  if (match != RowMatch::in_order) return match_rows(name, ours, theirs, match);
  ASSERT_EQ(ours.size(), theirs.size()) << name;
  for (std::size_t r = 0; r < ours.size(); ++r) {
    ASSERT_EQ(ours[r].size(), theirs[r].size()) << name << " row " << r;
    for (std::size_t c = 0; c < ours[r].size(); ++c)
      EXPECT_TRUE(agrees(ours[r][c], theirs[r][c]))
          << name << " row " << r << " column " << table.columns[c].name << ": engine '"
          << to_display_text(ours[r][c]) << "', mdbtools '" << theirs[r][c] << "'";
  }
}

}  // namespace norv::jet
