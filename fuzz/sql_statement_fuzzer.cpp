// Statement texts arrive from the user (the version text is spliced in
// unquoted): parsing, and converting an UPDATE's value to every column
// type, must end in a result or a norv::Error, never worse.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/literal_conversion.h"
#include "data/sql_statement.h"
#include "platform/error.h"

namespace {

constexpr norv::jet::ColumnType kTypes[] = {
    norv::jet::ColumnType::boolean,  norv::jet::ColumnType::byte,
    norv::jet::ColumnType::integer,  norv::jet::ColumnType::long_integer,
    norv::jet::ColumnType::currency, norv::jet::ColumnType::single,
    norv::jet::ColumnType::double_,  norv::jet::ColumnType::date_time,
    norv::jet::ColumnType::binary,   norv::jet::ColumnType::text,
    norv::jet::ColumnType::ole,      norv::jet::ColumnType::memo,
    norv::jet::ColumnType::guid,     norv::jet::ColumnType::decimal,
};

void convert_to_every_type(const norv::data::Literal& literal) {
  for (norv::jet::ColumnType type : kTypes) {
    norv::jet::ColumnInfo column;
    column.name = "c";
    column.type = type;
    column.max_characters = 50;
    column.precision = 18;
    column.scale = 4;
    try {
      norv::data::convert_literal(literal, {column, "t", "fuzz.mdb"});
    } catch (const norv::Error&) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    norv::data::Statement statement = norv::data::parse_statement(text, "fuzz.mdb");
    if (const auto* update = std::get_if<norv::data::UpdateStatement>(&statement))
      convert_to_every_type(update->value);
  } catch (const norv::Error&) {
  }
  return 0;
}
