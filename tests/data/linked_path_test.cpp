#include "data/linked_path.h"

#include <gtest/gtest.h>

namespace norv::data {
namespace {

TEST(LinkedPath, RelativePathsAreReadFromTheLinkingDatabasesFolder) {
  EXPECT_EQ(resolve_linked_database_path("C:\\Norv\\Data\\linked.mdb", "control-text.mdb"),
            "C:\\Norv\\Data\\control-text.mdb");
  EXPECT_EQ(resolve_linked_database_path("C:\\Norv\\Data\\linked.mdb", "..\\Shared\\x.mdb"),
            "C:\\Norv\\Data\\..\\Shared\\x.mdb");
  EXPECT_EQ(resolve_linked_database_path("/srv/norv/linked.mdb", "x.mdb"), "/srv/norv/x.mdb");
  EXPECT_EQ(resolve_linked_database_path("linked.mdb", "x.mdb"), "x.mdb");
}

TEST(LinkedPath, AbsolutePathsStandAsStored) {
  EXPECT_EQ(resolve_linked_database_path("C:\\Data\\linked.mdb", "D:\\Other\\x.mdb"),
            "D:\\Other\\x.mdb");
  EXPECT_EQ(resolve_linked_database_path("C:\\Data\\linked.mdb", "\\\\server\\share\\x.mdb"),
            "\\\\server\\share\\x.mdb");
  EXPECT_EQ(resolve_linked_database_path("C:\\Data\\linked.mdb", "d:/Other/x.mdb"),
            "d:/Other/x.mdb");
}

TEST(LinkedPath, RootedPathsTakeTheLinkingDatabasesDriveOrShare) {
  EXPECT_EQ(resolve_linked_database_path("C:\\Data\\linked.mdb", "\\Other\\x.mdb"),
            "C:\\Other\\x.mdb");
  EXPECT_EQ(resolve_linked_database_path("\\\\srv\\norv\\Data\\linked.mdb", "\\Other\\x.mdb"),
            "\\\\srv\\norv\\Other\\x.mdb");
}

TEST(LinkedPath, DriveRelativePathsAreNotGuessed) {
  EXPECT_FALSE(resolve_linked_database_path("C:\\Data\\linked.mdb", "D:x.mdb"));
}

}  // namespace
}  // namespace norv::data
