#include "tools/jet_cli/database_description.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <limits>

#include "jet/types/currency.h"
#include "jet/types/date_time_text.h"
#include "jet/types/decimal.h"
#include "jet/types/guid_text.h"
#include "platform/case_fold.h"
#include "platform/error.h"

namespace norv::jet_cli {

namespace {

using nlohmann::json;

class Reader {
 public:
  explicit Reader(std::string_view source) : source_(source) {}

  jet::DatabaseSpec database(const json& d) {
    expect_object(d, "the description");
    jet::DatabaseSpec spec;
    std::string format = d.value("format", "jet4");
    if (format != "jet3" && format != "jet4") fail("format", "must be \"jet3\" or \"jet4\"");
    spec.format = format == "jet3" ? jet::FormatVersion::jet3 : jet::FormatVersion::jet4;
    spec.code_page = d.value("code_page", std::uint16_t{1252});
    for (const json& t : list(d, "tables")) spec.tables.push_back(table(t));
    for (const json& l : list(d, "links"))
      spec.links.push_back({text(l, "name"), l.value("database", ""), text(l, "foreign_name"),
                            l.value("connect", "")});
    for (const json& q : list(d, "select_queries"))
      spec.select_queries.push_back({text(q, "name"), text(q, "table")});
    return spec;
  }

 private:
  [[noreturn]] void fail(std::string_view where, std::string_view what) const {
    throw InvalidArgumentError(fmt::format("{}: {}: {}", source_, where, what));
  }

  void expect_object(const json& j, std::string_view where) const {
    if (!j.is_object()) fail(where, "must be a JSON object");
  }

  json list(const json& parent, const char* key) const {
    if (!parent.contains(key)) return json::array();
    if (!parent[key].is_array()) fail(key, "must be a JSON array");
    return parent[key];
  }

  std::string text(const json& parent, const char* key) const {
    if (!parent.is_object() || !parent.contains(key) || !parent[key].is_string())
      fail(key, "must be given as a text");
    return parent[key].get<std::string>();
  }

  jet::ColumnType column_type(const std::string& name, std::string_view where) const {
    static const std::pair<std::string_view, jet::ColumnType> aliases[] = {
        {"boolean", jet::ColumnType::boolean}, {"datetime", jet::ColumnType::date_time},
        {"ole", jet::ColumnType::ole},         {"long integer", jet::ColumnType::long_integer}};
    const std::string wanted = platform::lower_ascii(name);
    for (int code = 0; code < 0x20; ++code) {
      if (!jet::is_known_column_type(static_cast<std::uint8_t>(code))) continue;
      auto type = static_cast<jet::ColumnType>(code);
      if (platform::lower_ascii(jet::column_type_name(type)) == wanted) return type;
    }
    for (const auto& [alias, type] : aliases)
      if (alias == wanted) return type;
    fail(where, fmt::format("unknown column type \"{}\"", name));
  }

  jet::ColumnSpec column(const json& c, const std::string& table_name) {
    expect_object(c, table_name + " column");
    jet::ColumnSpec spec;
    spec.name = text(c, "name");
    spec.type = column_type(text(c, "type"), table_name + "." + spec.name);
    std::uint16_t default_size = spec.type == jet::ColumnType::binary ? 255 : 50;
    spec.size = c.value("size", default_size);
    spec.precision = c.value("precision", std::uint8_t{18});
    spec.scale = c.value("scale", std::uint8_t{0});
    spec.autonumber = c.value("autonumber", false);
    spec.compressed_unicode = c.value("compressed_unicode", false);
    spec.required = c.value("required", false);
    return spec;
  }

  jet::TableSpec table(const json& t) {
    expect_object(t, "a table");
    jet::TableSpec spec;
    spec.name = text(t, "name");
    for (const json& c : list(t, "columns")) spec.columns.push_back(column(c, spec.name));
    for (const json& i : list(t, "indexes")) {
      jet::IndexSpec index{text(i, "name"), {}, i.value("primary_key", false), i.value("unique", false)};
      for (const json& name : list(i, "columns")) {
        if (!name.is_string()) fail(spec.name + " index " + index.name, "columns must be texts");
        index.columns.push_back(name.get<std::string>());
      }
      spec.indexes.push_back(std::move(index));
    }
    std::size_t number = 0;
    for (const json& r : list(t, "rows")) spec.rows.push_back(row(spec, r, ++number));
    return spec;
  }

  jet::RowValues row(const jet::TableSpec& table, const json& r, std::size_t number) {
    std::string where = fmt::format("{} row {}", table.name, number);
    jet::RowValues values;
    if (r.is_array()) {
      if (r.size() != table.columns.size())
        fail(where, fmt::format("has {} values for {} columns", r.size(), table.columns.size()));
      for (std::size_t i = 0; i < r.size(); ++i) values.push_back(value(table.columns[i], r[i], where));
    } else if (r.is_object()) {
      for (const auto& [key, unused] : r.items()) {
        bool known = std::any_of(table.columns.begin(), table.columns.end(),
                                 [&key](const jet::ColumnSpec& c) { return c.name == key; });
        if (!known) fail(where, fmt::format("names the unknown column {}", key));
      }
      for (const jet::ColumnSpec& c : table.columns)
        values.push_back(r.contains(c.name) ? value(c, r[c.name], where) : jet::Value{jet::Null{}});
    } else {
      fail(where, "must be an array of values or an object of column names to values");
    }
    return values;
  }

  template <typename T>
  T integer(const json& v, std::string_view where) const {
    if (!v.is_number_integer()) fail(where, "needs a whole number");
    auto n = v.get<std::int64_t>();
    if (v.is_number_unsigned() && v.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
      fail(where, "the number is too large");
    if (n < std::numeric_limits<T>::min() || n > std::numeric_limits<T>::max())
      fail(where, fmt::format("{} does not fit the column's type", n));
    return static_cast<T>(n);
  }

  jet::Decimal exact_number(const json& v, std::string_view where) const {
    std::string digits = v.is_string() ? v.get<std::string>() : v.is_number() ? v.dump() : "";
    auto parsed = jet::parse_decimal(digits);
    if (!parsed) fail(where, "needs a number, or its digits as a text");
    return *parsed;
  }

  // From the number's digits as written: a JSON number as its text, which
  // holds what a double can; the text form holds all of a Currency's.
  jet::Currency currency(const json& v, std::string_view where) const {
    const std::string digits = v.is_string() ? v.get<std::string>() : v.is_number() ? v.dump() : "";
    const jet::CurrencyFromText read = jet::currency_from_text(digits);
    if (read.outcome == jet::CurrencyTextOutcome::not_a_number)
      fail(where, "needs a number, or its digits as a text");
    if (read.outcome == jet::CurrencyTextOutcome::out_of_range)
      fail(where, "needs a Currency amount from -922337203685477.5808 to 922337203685477.5807");
    return read.value;
  }

  jet::Binary hex_bytes(const json& v, std::string_view where) const {
    if (!v.is_string()) fail(where, "needs hex digits as a text");
    const std::string s = v.get<std::string>();
    if (s.size() % 2 != 0) fail(where, "needs an even number of hex digits");
    jet::Binary out;
    for (std::size_t i = 0; i < s.size(); i += 2) {
      unsigned byte = 0;
      auto [end, error] = std::from_chars(s.data() + i, s.data() + i + 2, byte, 16);
      if (error != std::errc{} || end != s.data() + i + 2) fail(where, "holds a character that is no hex digit");
      out.bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    return out;
  }

  jet::Guid guid(const json& v, std::string_view where) const {
    const std::string text = v.is_string() ? v.get<std::string>() : "";
    const auto guid = text.starts_with('{') ? jet::parse_guid_text(text) : std::nullopt;
    if (!guid) fail(where, "needs a GUID as {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}");
    return *guid;
  }

  jet::Value value(const jet::ColumnSpec& column, const json& v, const std::string& row) {
    std::string where = row + ", column " + column.name;
    if (v.is_null()) return jet::Null{};
    switch (column.type) {
      case jet::ColumnType::boolean:
        if (!v.is_boolean()) fail(where, "needs true or false");
        return v.get<bool>();
      case jet::ColumnType::byte: return integer<std::uint8_t>(v, where);
      case jet::ColumnType::integer: return integer<std::int16_t>(v, where);
      case jet::ColumnType::long_integer: return integer<std::int32_t>(v, where);
      case jet::ColumnType::currency: return currency(v, where);
      case jet::ColumnType::single:
        if (!v.is_number()) fail(where, "needs a number");
        return v.get<float>();
      case jet::ColumnType::double_:
        if (!v.is_number()) fail(where, "needs a number");
        return v.get<double>();
      case jet::ColumnType::date_time: {
        auto serial = v.is_string() ? jet::iso_to_ole_date(v.get<std::string>()) : std::nullopt;
        if (!serial) fail(where, "needs a date as YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS");
        return jet::DateTime{*serial};
      }
      case jet::ColumnType::text:
      case jet::ColumnType::memo:
        if (!v.is_string()) fail(where, "needs a text");
        return v.get<std::string>();
      case jet::ColumnType::binary:
      case jet::ColumnType::ole: return hex_bytes(v, where);
      case jet::ColumnType::guid: return guid(v, where);
      case jet::ColumnType::decimal: return exact_number(v, where);
    }
    fail(where, "has a type the description cannot hold");
  }

  std::string source_;
};

}  // namespace

jet::DatabaseSpec parse_database_description(const nlohmann::json& description,
                                             std::string_view source) {
  return Reader(source).database(description);
}

}  // namespace norv::jet_cli
