#include "jet/format/column_properties.h"

#include <gtest/gtest.h>

#include "jet/base/format_fault.h"
#include "jet/database.h"
#include "jet/format/header.h"
#include "jet/pager/page_file.h"
#include "jet/table/catalog.h"
#include "tests/support/fixtures.h"

namespace norv::jet {
namespace {

// A Jet 4 property blob built by hand, chunk by chunk.
class BlobBuilder {
 public:
  BlobBuilder() { bytes_ = {'M', 'R', '2', 0}; }

  void names(std::initializer_list<std::u16string_view> names) {
    std::vector<std::uint8_t> body;
    for (auto name : names) append_name(body, name);
    chunk(0x80, body);
  }
  // A column chunk: its name block, then (name index, data type, value).
  void column(std::u16string_view name,
              std::initializer_list<std::tuple<std::uint16_t, std::uint8_t, std::vector<std::uint8_t>>>
                  properties) {
    std::vector<std::uint8_t> name_block;
    append_name(name_block, name);
    std::vector<std::uint8_t> body;
    append_u32(body, static_cast<std::uint32_t>(name_block.size() + 4));
    body.insert(body.end(), name_block.begin(), name_block.end());
    for (const auto& [index, type, value] : properties) {
      append_u16(body, static_cast<std::uint16_t>(8 + value.size()));
      body.push_back(0);
      body.push_back(type);
      append_u16(body, index);
      append_u16(body, static_cast<std::uint16_t>(value.size()));
      body.insert(body.end(), value.begin(), value.end());
    }
    chunk(0x01, body);
  }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  static void append_u16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
  }
  static void append_u32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    append_u16(out, static_cast<std::uint16_t>(v));
    append_u16(out, static_cast<std::uint16_t>(v >> 16));
  }
  static void append_name(std::vector<std::uint8_t>& out, std::u16string_view name) {
    append_u16(out, static_cast<std::uint16_t>(2 * name.size()));
    for (char16_t c : name) append_u16(out, c);
  }
  void chunk(std::uint16_t type, const std::vector<std::uint8_t>& body) {
    append_u32(bytes_, static_cast<std::uint32_t>(body.size() + 6));
    append_u16(bytes_, type);
    bytes_.insert(bytes_.end(), body.begin(), body.end());
  }
  std::vector<std::uint8_t> bytes_;
};

std::vector<std::uint8_t> ucs2(std::u16string_view text) {
  std::vector<std::uint8_t> out;
  for (char16_t c : text) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return out;
}

TEST(ColumnProperties, ReadsRequiredAndValidationRule) {
  const TextCodec text(FormatVersion::jet4, 1252);
  BlobBuilder blob;
  blob.names({u"ColumnWidth", u"Required", u"ValidationRule"});
  blob.column(u"Version", {{1, 0x01, {0x01}}, {2, 0x0A, ucs2(u"Is Not Null")}});
  blob.column(u"ID", {{0, 0x03, {0xFF, 0xFF}}, {1, 0x01, {0x00}}});
  const auto columns = parse_column_properties(blob.bytes(), text);
  ASSERT_EQ(columns.size(), 2u);
  EXPECT_TRUE(columns.at("Version").required);
  EXPECT_TRUE(columns.at("Version").has_validation_rule);
  EXPECT_FALSE(columns.at("ID").required);
  EXPECT_FALSE(columns.at("ID").has_validation_rule);
}

TEST(ColumnProperties, IgnoresUnknownBlobsAndRefusesOverrunningOnes) {
  const TextCodec text(FormatVersion::jet4, 1252);
  EXPECT_TRUE(parse_column_properties(std::vector<std::uint8_t>{'X', 'Y', 'Z', 0, 1, 2}, text).empty());
  BlobBuilder blob;
  blob.names({u"Required"});
  blob.column(u"Version", {{0, 0x01, {0x01}}});
  auto cut = blob.bytes();
  cut.resize(cut.size() - 3);
  EXPECT_THROW(parse_column_properties(cut, text), FormatFault);
}

TEST(ColumnProperties, ReadFromARealJet3Table) {
  NORV_REQUIRE_FIXTURES();
  const auto file = test::fixture("V1997/testV1997.mdb");
  PageFile pages = PageFile::open(file, platform::FileMode::read_only);
  const Header header = read_header(pages);
  const TextCodec text(FormatVersion::jet3, header.code_page);
  const TableReader reader(pages, *header.format, text);
  const Catalog catalog = Catalog::read(reader);
  const CatalogObject* table = catalog.find_local_table("Table1");
  ASSERT_NE(table, nullptr);
  const auto columns = parse_column_properties(catalog.properties(*table, reader), text);
  std::vector<std::string> names;
  for (const auto& [name, properties] : columns) {
    names.push_back(name);
    EXPECT_FALSE(properties.required) << name;  // mdb-prop: "Required: no" throughout
  }
  EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "C", "D", "E", "F", "G", "H", "I"}));
}

}  // namespace
}  // namespace norv::jet
