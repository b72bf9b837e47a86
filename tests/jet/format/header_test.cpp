#include "jet/format/header.h"

#include <array>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "jet/base/format_fault.h"
#include "jet/base/rc4.h"
#include "jet/base/engine_errors.h"
#include "jet/pager/page_file.h"
#include "platform/error.h"
#include "tests/jet/damage.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::HasSubstr;
using test::patch;

Header open_header(const std::filesystem::path& file) {
  PageFile pages = PageFile::open(file, platform::FileMode::read_only);
  return with_file_context(file, [&] { return read_header(pages); });
}

// Rewrites a field inside the masked block of a copy, re-applying the mask.
void patch_masked(const std::filesystem::path& file, std::size_t offset,
                  std::initializer_list<std::uint8_t> bytes) {
  std::vector<std::uint8_t> contents = test::read_bytes(file);
  const Format& format = contents[0x14] == 0 ? jet3_format() : jet4_format();
  std::vector<std::uint8_t> block = unmask_header_block(contents, format);
  std::copy(bytes.begin(), bytes.end(), block.begin() + static_cast<std::ptrdiff_t>(offset - 0x18));
  const std::array<std::uint8_t, 4> key{0xC7, 0xDA, 0x39, 0x6B};
  rc4_apply(key, block);
  std::copy(block.begin(), block.end(), contents.begin() + 0x18);
  test::write_bytes(file, contents);
}

TEST(Rc4, MatchesTheHeaderMaskTestVector) {
  const std::array<std::uint8_t, 4> key{0xC7, 0xDA, 0x39, 0x6B};
  std::vector<std::uint8_t> zeros(8, 0);
  rc4_apply(key, zeros);
  EXPECT_THAT(zeros, ::testing::ElementsAre(0xB5, 0x6F, 0x03, 0x62, 0x61, 0x08, 0xC2, 0x55));
  rc4_apply(key, zeros);
  EXPECT_THAT(zeros, ::testing::Each(0));
}

TEST(Header, TellsJet3FromJet4) {
  NORV_REQUIRE_FIXTURES();
  const Header jet3 = open_header(test::fixture("V1997/testV1997.mdb"));
  EXPECT_EQ(jet3.format->version, FormatVersion::jet3);
  EXPECT_EQ(jet3.format->page_size, 2048u);
  EXPECT_EQ(jet3.code_page, 1252);
  EXPECT_EQ(jet3.sort_order, 0x0409);
  EXPECT_FALSE(jet3.has_password());
  for (const char* folder : {"V2000", "V2003", "GENERIC_JET4"}) {
    const Header jet4 = open_header(test::fixture(std::string(folder) + "/control-text.mdb"));
    EXPECT_EQ(jet4.format->version, FormatVersion::jet4) << folder;
    EXPECT_EQ(jet4.format->page_size, 4096u) << folder;
    EXPECT_EQ(jet4.encoding_key, 0u) << folder;
    EXPECT_FALSE(jet4.has_password()) << folder;
    EXPECT_GT(jet4.creation_date, 30000.0) << folder;
  }
}

TEST(Header, DecodesThePasswordAndRefusesTheDatabase) {
  NORV_REQUIRE_FIXTURES();
  for (const char* folder : {"V2000", "V2003", "GENERIC_JET4"}) {
    const auto file = test::fixture(std::string(folder) + "/password.mdb");
    std::vector<std::uint8_t> front = test::read_bytes(file);
    const Header header = decode_header(front, front.size(), file);
    const std::vector<std::uint8_t> expected{'n', 0, 'o', 0, 'r', 0, 'v', 0, 0, 0};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), header.password.begin())) << folder;
    try {
      open_header(file);
      ADD_FAILURE() << folder << ": a password-protected database was opened";
    } catch (const NotSupportedError& e) {
      EXPECT_THAT(e.what(), HasSubstr(file.string()));
      EXPECT_THAT(e.what(), HasSubstr("password, which the connection string does not carry"));
    }
  }
}

class DamagedHeader : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::fixtures_dir()) GTEST_SKIP() << "shared fixtures not found";
    copy_ = test::copy_fixture("V2000/control-text.mdb", dir_.path());
  }
  std::string refusal() {
    try {
      open_header(copy_);
    } catch (const Error& e) {
      return e.what();
    }
    return "(opened)";
  }
  test::TempDir dir_;
  std::filesystem::path copy_;
};

TEST_F(DamagedHeader, RefusesAceWithItsOwnMessage) {
  patch(copy_, 0x04, {'S', 't', 'a', 'n', 'd', 'a', 'r', 'd', ' ', 'A', 'C', 'E', ' ', 'D', 'B'});
  patch(copy_, 0x14, {0x02});
  EXPECT_THROW(open_header(copy_), NotSupportedError);
  EXPECT_THAT(refusal(), HasSubstr("Access 2007 or later"));
}

TEST_F(DamagedHeader, RefusesMsisam) {
  patch(copy_, 0x04, {'M', 'S', 'I', 'S', 'A', 'M', ' ', 'D', 'a', 't', 'a', 'b', 'a', 's', 'e'});
  EXPECT_THROW(open_header(copy_), NotSupportedError);
  EXPECT_THAT(refusal(), HasSubstr("MSISAM"));
}

// A plain file whose header claims an encoding key: its pages decode to
// noise, which the catalog's definition page shows.
TEST_F(DamagedHeader, RefusesAnEncodingKeyThatDoesNotDecodeThePages) {
  patch_masked(copy_, 0x3E, {0x12, 0x34, 0x00, 0x00});
  EXPECT_THROW(open_header(copy_), CorruptDatabaseError);
  EXPECT_THAT(refusal(), HasSubstr(copy_.string() + " is not a valid Jet database"));
  EXPECT_THAT(refusal(), HasSubstr("do not decode with the key its header gives (0x00003412)"));
}

TEST_F(DamagedHeader, RefusesUnknownFormatBytesAsNotJet) {
  patch(copy_, 0x14, {0x07});
  EXPECT_THROW(open_header(copy_), CorruptDatabaseError);
  EXPECT_THAT(refusal(), HasSubstr("is not a valid Jet database: not a Jet 3/Jet 4 database"));
}

TEST_F(DamagedHeader, RefusesFilesThatAreNoDatabase) {
  test::write_file(copy_, std::string(8192, 'x'));
  EXPECT_THAT(refusal(), HasSubstr("is not a valid Jet database"));
  test::write_file(copy_, "");
  EXPECT_THAT(refusal(), HasSubstr("the file is empty"));
  test::write_file(copy_, "Standard");
  EXPECT_THAT(refusal(), HasSubstr("is not a valid Jet database"));
}

TEST_F(DamagedHeader, RefusesTruncatedFiles) {
  test::truncate_to(copy_, 4096 * 2 + 100);
  EXPECT_THAT(refusal(), HasSubstr("not a whole number of 4096-byte pages"));
  test::truncate_to(copy_, 4096 * 2);
  EXPECT_THAT(refusal(), HasSubstr("a Jet database has at least 3"));
  test::truncate_to(copy_, 0x90);
  EXPECT_THAT(refusal(), HasSubstr("is not a valid Jet database"));
}

}  // namespace
}  // namespace norv::jet
