// Data pages and usage maps on the fixtures, and on damaged copies of them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "jet/base/format_fault.h"
#include "jet/format/data_page.h"
#include "jet/format/header.h"
#include "jet/format/usage_map.h"
#include "jet/pager/page_file.h"
#include "tests/jet/damage.h"
#include "tests/jet/fixture_list.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::HasSubstr;

constexpr std::uint32_t catalog_page = 2;

struct Opened {
  PageFile pages;
  Header header;
};

Opened open_pages(const std::filesystem::path& file) {
  // Decoded without the refusals, so that password.mdb is read as well.
  PageFile pages = PageFile::open(file, platform::FileMode::read_only);
  std::vector<std::uint8_t> front = pages.read_front(header_prefix_size);
  Header header = decode_header(front, pages.file_size(), file);
  pages.set_page_size(header.format->page_size);
  return {std::move(pages), header};
}

RowPointer catalog_map(Opened& db) {
  ByteReader tdef(db.pages.page(catalog_page).bytes(), "catalog");
  return RowPointer::from_u32(tdef.u32(db.header.format->tdef.owned_pages_map));
}

TEST(DataPages, EveryCatalogPageOfEveryFixtureParsesWithConsistentFreeSpace) {
  NORV_REQUIRE_FIXTURES();
  for (const auto& file : test::all_fixture_databases()) {
    SCOPED_TRACE(file.string());
    Opened db = open_pages(file);
    const Format& format = *db.header.format;
    const UsageMap map = read_usage_map(db.pages, format, catalog_map(db));
    std::size_t catalog_rows = 0;
    for (std::uint32_t number : map.pages) {
      const DataPage page = read_data_page(db.pages, format, number);
      if (page.owner() != catalog_page) continue;
      EXPECT_EQ(page.stored_free_space(), page.computed_free_space()) << "page " << number;
      for (const RowSlot& slot : page.slots()) catalog_rows += slot.is_visible();
    }
    EXPECT_GT(catalog_rows, 5u);  // containers, MSysDb and the system tables at least
  }
}

TEST(UsageMaps, GlobalMapMarksTheFixedPagesInUse) {
  NORV_REQUIRE_FIXTURES();
  for (const auto& file : test::all_fixture_databases()) {
    SCOPED_TRACE(file.string());
    Opened db = open_pages(file);
    const DataPage page1 = read_data_page(db.pages, *db.header.format, 1);
    EXPECT_EQ(page1.owner(), 1u);
    // The global map's set bits are free pages: never the header, itself or the catalog.
    const UsageMap free_pages =
        decode_usage_map(db.pages, *db.header.format, page1.body(0), MapSense::free);
    for (std::uint32_t fixed : {0u, 1u, 2u})
      EXPECT_FALSE(std::binary_search(free_pages.pages.begin(), free_pages.pages.end(), fixed));
  }
}

TEST(UsageMaps, ListsOnlyPagesInsideTheFile) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto copy = test::copy_fixture("V2000/control-text.mdb", dir.path());
  Opened db = open_pages(copy);
  const Format& format = *db.header.format;
  const RowPointer where = catalog_map(db);
  const RowBody row = read_row(db.pages, format, where);
  const auto offset = std::uint64_t{where.page} * format.page_size +
                      static_cast<std::uint64_t>(row.bytes.data() - row.page.bytes().data());
  const std::uint32_t pages = db.pages.page_count();

  // Inline map whose window starts past the file's end.
  test::patch_u32(copy, offset + 1, pages + 8);
  Opened shifted = open_pages(copy);
  EXPECT_THROW(read_usage_map(shifted.pages, format, where), FormatFault);

  // Reference map pointing at a page outside the file, then at a non-bitmap page.
  test::patch(copy, offset, {0x01});
  test::patch_u32(copy, offset + 1, pages + 100);
  Opened outside = open_pages(copy);
  EXPECT_THROW(read_usage_map(outside.pages, format, where), FormatFault);
  test::patch_u32(copy, offset + 1, catalog_page);
  Opened wrong_type = open_pages(copy);
  try {
    read_usage_map(wrong_type.pages, format, where);
    ADD_FAILURE() << "a TDEF page was taken for a bitmap page";
  } catch (const FormatFault& fault) {
    EXPECT_THAT(fault.what(), HasSubstr("is not a bitmap page"));
  }

  test::patch(copy, offset, {0x09});
  Opened unknown = open_pages(copy);
  EXPECT_THROW(read_usage_map(unknown.pages, format, where), FormatFault);
}

TEST(DataPages, RefusesSlotTablesThatDoNotFitThePage) {
  NORV_REQUIRE_FIXTURES();
  test::TempDir dir;
  const auto copy = test::copy_fixture("V1997/testV1997.mdb", dir.path());
  const Format& format = jet3_format();
  const std::uint64_t page1 = format.page_size;

  test::patch_u16(copy, page1 + format.data_row_count_offset, 2000);
  Opened too_many = open_pages(copy);
  EXPECT_THROW(read_data_page(too_many.pages, format, 1), FormatFault);

  test::patch_u16(copy, page1 + format.data_row_count_offset, 2);
  test::patch_u16(copy, page1 + format.data_row_count_offset + 2, 0x0004);  // inside the header
  Opened overlapping = open_pages(copy);
  EXPECT_THROW(read_data_page(overlapping.pages, format, 1), FormatFault);

  Opened any = open_pages(copy);
  EXPECT_THROW(read_data_page(any.pages, format, 2), FormatFault);  // a TDEF page
  EXPECT_THROW(any.pages.page(any.pages.page_count()), FormatFault);
}

TEST(PageFile, KeepsThePagesOfOneOperation) {
  NORV_REQUIRE_FIXTURES();
  Opened db = open_pages(test::fixture("V2000/control-text.mdb"));
  EXPECT_EQ(db.pages.stats().pages_read, 1u);  // the header
  db.pages.page(2);
  db.pages.page(2);
  EXPECT_EQ(db.pages.stats().pages_read, 2u);
  db.pages.end_operation();
  db.pages.page(2);
  EXPECT_EQ(db.pages.stats().pages_read, 3u);
}

}  // namespace
}  // namespace norv::jet
