#include "data/connection_string.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/error.h"

namespace norv::data {
namespace {

using ::testing::HasSubstr;

TEST(ConnectionString, BothPrefixesOfTheStampingCodeGiveTheSamePath) {
  const std::string path = "C:\\Norv\\Data\\Fendrel.mdb";
  ConnectionString with_blank =
      parse_connection_string("Provider=MicroSoft.jet.OLEDB.4.0; Data Source= " + path);
  ConnectionString without_blank =
      parse_connection_string("Provider=Microsoft.jet.OLEDB.4.0; Data Source=" + path);
  EXPECT_EQ(with_blank.data_source, path);
  EXPECT_EQ(without_blank.data_source, path);
  EXPECT_EQ(with_blank.provider, "MicroSoft.jet.OLEDB.4.0");
}

TEST(ConnectionString, KeywordsInAnyCaseAndBlanksAroundEquals) {
  ConnectionString parsed =
      parse_connection_string("  provider = MICROSOFT.JET.OLEDB.4.0 ;DATA SOURCE  =  D:\\x.mdb  ");
  EXPECT_EQ(parsed.data_source, "D:\\x.mdb");
  EXPECT_EQ(
      parse_connection_string("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=x.mdb;").data_source,
      "x.mdb");
}

TEST(ConnectionString, ThePathRunsToTheEndSemicolonsAndEqualsIncluded) {
  EXPECT_EQ(parse_connection_string(
                "Provider=Microsoft.Jet.OLEDB.4.0; Data Source=\\\\srv\\a;b=c\\Fendrel.mdb")
                .data_source,
            "\\\\srv\\a;b=c\\Fendrel.mdb");
}

TEST(ConnectionString, AQuotedPathEndsAtItsQuote) {
  EXPECT_EQ(parse_connection_string(
                "Provider=Microsoft.Jet.OLEDB.4.0; Data Source=\"C:\\a \"\"b\"\".mdb\"")
                .data_source,
            "C:\\a \"b\".mdb");
  EXPECT_THROW(parse_connection_string(
                   "Provider=Microsoft.Jet.OLEDB.4.0; Data Source=\"C:\\x.mdb\"; Mode=Read"),
               NotSupportedError);
  EXPECT_THROW(parse_connection_string("Provider=Microsoft.Jet.OLEDB.4.0; Data Source=\"C:\\x.mdb"),
               InvalidArgumentError);
  EXPECT_THROW(
      parse_connection_string("Provider=Microsoft.Jet.OLEDB.4.0; Data Source=\"C:\\x.mdb\" y"),
      InvalidArgumentError);
}

TEST(ConnectionString, OtherProvidersAreRefusedClearly) {
  try {
    parse_connection_string("Provider=Microsoft.ACE.OLEDB.12.0; Data Source=C:\\x.accdb");
    FAIL() << "no error";
  } catch (const NotSupportedError& e) {
    EXPECT_THAT(e.what(), HasSubstr("Microsoft.ACE.OLEDB.12.0"));
    EXPECT_THAT(e.what(), HasSubstr("Microsoft.Jet.OLEDB.4.0"));
  }
  EXPECT_THROW(parse_connection_string("Provider=Microsoft.Jet.OLEDB.3.51; Data Source=x.mdb"),
               NotSupportedError);
}

TEST(ConnectionString, MissingPartsAndOtherKeywordsAreErrors) {
  EXPECT_THROW(parse_connection_string("Data Source=C:\\x.mdb"), InvalidArgumentError);
  EXPECT_THROW(parse_connection_string("Provider=Microsoft.Jet.OLEDB.4.0"), InvalidArgumentError);
  EXPECT_THROW(parse_connection_string("Provider=Microsoft.Jet.OLEDB.4.0; Data Source= "),
               InvalidArgumentError);
  EXPECT_THROW(parse_connection_string(""), InvalidArgumentError);
  EXPECT_THROW(parse_connection_string("Provider=Microsoft.Jet.OLEDB.4.0; C:\\x.mdb"),
               InvalidArgumentError);
  EXPECT_THROW(
      parse_connection_string(
          "Provider=Microsoft.Jet.OLEDB.4.0; Jet OLEDB:Database Password=x; Data Source=y"),
      NotSupportedError);
}

}  // namespace
}  // namespace norv::data
