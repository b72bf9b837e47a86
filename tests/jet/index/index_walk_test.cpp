// The index-tree walk on trees damaged in the ways a walk must survive: a
// loop, a chain of nodes deeper than any real tree, pointers to page 0 and
// past the end of the file, a page of another table, a leaf named twice.
// Each fault is met at the page where it is, as a visitor that goes on past
// it records it, and is the reader's FormatFault when nothing tolerates it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "jet/format/format.h"
#include "jet/format/index_page.h"
#include "jet/index/index_tree.h"
#include "jet/index/index_walk.h"
#include "jet/pager/page_file.h"
#include "platform/error.h"
#include "tests/support/temp_dir.h"

namespace norv::jet {
namespace {

using ::testing::HasSubstr;

constexpr std::uint32_t owner = 2;  // the table definition the pages belong to

IndexPageEntry entry(std::uint8_t key, std::uint32_t child = 0) {
  return {{key}, RowPointer{1, key}, child};
}

IndexPage leaf(std::vector<IndexPageEntry> entries, std::uint32_t page_owner = owner) {
  IndexPage page;
  page.owner = page_owner;
  page.entries = std::move(entries);
  return page;
}

IndexPage node(std::vector<IndexPageEntry> entries, std::uint32_t tail) {
  IndexPage page = leaf(std::move(entries));
  page.leaf = false;
  page.tail = tail;
  return page;
}

// Pages 1 and up of a file whose page 0 is left blank; the root is page 1.
using Tree = std::map<std::uint32_t, IndexPage>;

// A chain of `nodes` nodes, each naming the next by its tail, above one leaf.
Tree chain(std::uint32_t nodes) {
  Tree tree;
  for (std::uint32_t n = 1; n <= nodes; ++n) tree[n] = node({}, n + 1);
  tree[nodes + 1] = leaf({entry(1)});
  return tree;
}

std::filesystem::path write_tree(const test::TempDir& dir, const Format& format, Tree tree) {
  std::string file(format.page_size * (tree.rbegin()->first + 1), '\0');
  for (auto& [number, page] : tree) {
    page.number = number;
    const std::vector<std::uint8_t> image = *encode_index_page(format, page);
    std::copy(image.begin(), image.end(), file.begin() + number * format.page_size);
  }
  const auto path = dir / "tree.pages";
  test::write_file(path, file);
  return path;
}

// Goes on past every fault, writing down where it met each.
class FaultLog : public IndexTreeVisitor {
 public:
  std::vector<std::string> faults;

  bool tolerates(const TreeFaultAt& at) override {
    static const char* const names[] = {"too deep", "reached twice", "outside the file",
                                        "other table"};
    faults.push_back(std::string(names[static_cast<int>(at.fault)]) + " at " +
                     std::to_string(at.page));
    return true;
  }
};

TEST(IndexTreeWalk, EachFaultIsMetWhereItIs) {
  struct Case {
    const char* what;
    Tree tree;
    std::vector<std::string> faults;  // as a walk that goes on past them meets them
    const char* reader_error;         // read_index_tree's FormatFault
    // Going on past a pointer outside the file reads the page all the
    // same, and the page file or the page says why it cannot be.
    bool unreadable = false;
  };
  const std::vector<Case> cases{
      {"a tail back to the root", {{1, node({entry(1, 2)}, 1)}, {2, leaf({entry(1)})}},
       {"reached twice at 1"}, "the index tree reaches page 1 twice or loops"},
      {"one leaf named by two entries",
       {{1, node({entry(1, 2), entry(1, 2)}, 3)}, {2, leaf({entry(1)})}, {3, leaf({entry(2)})}},
       {"reached twice at 2"}, "the index tree reaches page 2 twice or loops"},
      // The root is at depth 0: the 17th node is the first page too deep.
      {"a chain of nodes one deeper than the bound", chain(max_index_tree_depth + 1),
       {"too deep at " + std::to_string(max_index_tree_depth + 2)},
       "the index tree reaches page 18 twice or loops"},
      {"a leaf of another table", {{1, node({entry(1, 2)}, 3)}, {2, leaf({entry(1)}, 9)}, {3, leaf({entry(2)})}},
       {"other table at 2"}, "index page 2 belongs to the table defined on page 9"},
      {"a child page 0", {{1, node({entry(1, 0)}, 2)}, {2, leaf({entry(2)})}},
       {"outside the file at 0"}, "the index tree names page 0, outside the file", true},
      {"a child past the end", {{1, node({entry(1, 7)}, 2)}, {2, leaf({entry(2)})}},
       {"outside the file at 7"}, "the index tree names page 7, outside the file", true},
  };
  test::TempDir dir;
  const Format& format = jet4_format();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PageFile pages = PageFile::open(write_tree(dir, format, c.tree), platform::FileMode::read_only);
    pages.set_page_size(format.page_size);
    FaultLog log;
    IndexTreeWalk walk(pages, format, owner, "Tree", log);
    if (c.unreadable)
      EXPECT_THROW(walk.walk(1), CorruptDatabaseError);
    else
      walk.walk(1);
    EXPECT_EQ(log.faults, c.faults);
    try {
      read_index_tree(pages, format, 1, owner, "Tree");
      ADD_FAILURE() << "the reader went through the damage";
    } catch (const CorruptDatabaseError& fault) {
      EXPECT_THAT(fault.what(), HasSubstr(std::string("Tree: ") + c.reader_error));
    }
  }
}

// The tree as deep as the bound allows is read whole.
TEST(IndexTreeWalk, ATreeAsDeepAsTheBoundIsRead) {
  test::TempDir dir;
  const Format& format = jet4_format();
  PageFile pages = PageFile::open(write_tree(dir, format, chain(max_index_tree_depth)),
                                  platform::FileMode::read_only);
  pages.set_page_size(format.page_size);
  const IndexTreeContents tree = read_index_tree(pages, format, 1, owner, "Tree");
  EXPECT_EQ(tree.pages.size(), max_index_tree_depth + 1u);
  ASSERT_EQ(tree.leaves.size(), 1u);
  EXPECT_EQ(tree.leaves.front().number, max_index_tree_depth + 1u);
}

}  // namespace
}  // namespace norv::jet
