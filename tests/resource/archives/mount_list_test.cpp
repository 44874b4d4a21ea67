#include "resource/archives/mount_list.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Marks = std::vector<std::pair<std::string, int>>;

void Mount(MountList& list, const std::string& mount_point, bool at_end) {
  auto record = std::make_unique<MountRecord>();
  record->mount_point = mount_point;
  list.Insert(std::move(record), at_end);
}

Marks MarksOf(const MountList& list) {
  Marks marks;
  for (std::size_t i = 0; i < list.size(); ++i) marks.emplace_back(list[i].mount_point, list[i].group_mark);
  return marks;
}

std::vector<std::string> Asked(const MountList& list, const std::string& path) {
  std::vector<std::string> asked;
  list.Search(path, [&](MountRecord& record, const std::string& entry) {
    asked.push_back(record.mount_point + "|" + entry);
    return false;
  });
  return asked;
}

TEST(MountList, InsertionKeepsGroupsTogetherWithTheirMarks) {
  MountList list;
  Mount(list, "z:\\game\\", true);  // PATCH.DPK
  EXPECT_EQ(MarksOf(list), (Marks{{"z:\\game\\", 0}}));
  Mount(list, "z:\\game\\script\\", true);  // SCRIPT.DPK, at the end of the lone record
  EXPECT_EQ(MarksOf(list), (Marks{{"z:\\game\\", 8}, {"z:\\game\\script\\", -1}}));
  Mount(list, "z:\\game\\", false);  // PATCH2.DPK at the front of the group
  EXPECT_EQ(MarksOf(list), (Marks{{"z:\\game\\", 8}, {"z:\\game\\", 0}, {"z:\\game\\script\\", -1}}));
  Mount(list, "y:\\other\\", true);  // a lone record at the end
  Mount(list, "z:\\gam\\", true);    // joins the group with a shorter shared prefix
  EXPECT_EQ(MarksOf(list), (Marks{{"z:\\game\\", 6},
                                  {"z:\\game\\", 0},
                                  {"z:\\game\\script\\", 0},
                                  {"z:\\gam\\", -1},
                                  {"y:\\other\\", 0}}));
  Mount(list, "a:\\", false);  // lone, at the front
  EXPECT_EQ(list[0].mount_point, "a:\\");
  EXPECT_EQ(list[0].group_mark, 0);
}

TEST(MountList, LookupsAskOnlyTheFirstGroupThatSharesAFirstByte) {
  MountList list;
  Mount(list, "y:\\other\\", true);
  Mount(list, "z:\\game\\", true);
  Mount(list, "z:\\game\\script\\", true);
  Mount(list, "z:\\game\\", false);
  EXPECT_EQ(Asked(list, "z:\\game\\script\\a.sob"),
            (std::vector<std::string>{"z:\\game\\|script\\a.sob", "z:\\game\\|script\\a.sob",
                                      "z:\\game\\script\\|a.sob"}));
  EXPECT_TRUE(Asked(list, "y:\\elsewhere\\a.sob").empty());  // shares a first byte, is no prefix
  EXPECT_TRUE(Asked(list, "x:\\a.sob").empty());
}

TEST(MountList, RemovalRepairsTheMarks) {
  MountList two;
  Mount(two, "z:\\a\\", true);
  Mount(two, "z:\\b\\", true);
  two.RemoveAt(0);
  EXPECT_EQ(MarksOf(two), (Marks{{"z:\\b\\", 0}}));
  Mount(two, "z:\\a\\", true);
  two.RemoveAt(1);
  EXPECT_EQ(MarksOf(two), (Marks{{"z:\\b\\", 0}}));

  MountList three;
  Mount(three, "z:\\a\\", true);
  Mount(three, "z:\\b\\", true);
  Mount(three, "z:\\c\\", true);
  EXPECT_EQ(MarksOf(three), (Marks{{"z:\\a\\", 3}, {"z:\\b\\", 0}, {"z:\\c\\", -1}}));
  three.RemoveAt(0);
  EXPECT_EQ(MarksOf(three), (Marks{{"z:\\b\\", 3}, {"z:\\c\\", -1}}));
  Mount(three, "z:\\d\\", true);
  three.RemoveAt(2);
  EXPECT_EQ(MarksOf(three), (Marks{{"z:\\b\\", 3}, {"z:\\c\\", -1}}));
  Mount(three, "z:\\e\\", false);
  three.RemoveAt(1);  // an inner record: nothing to repair
  EXPECT_EQ(MarksOf(three), (Marks{{"z:\\e\\", 3}, {"z:\\c\\", -1}}));
}

}  // namespace
