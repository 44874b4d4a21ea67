// Lists that own their objects: any one object leaves, the others keep the order they were made
// in, and an object whose end deletes another of its list ends both.
#include "base/lifetime/owned_objects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class Item {
 public:
  Item(std::string name, uint32_t id, std::vector<std::string>& ended) : name_(std::move(name)), id_(id), ended_(ended) {}
  ~Item() {
    ended_.push_back(name_);
    if (list_ != nullptr) list_->Delete(takes_along_);
  }
  Item(const Item&) = delete;
  Item& operator=(const Item&) = delete;

  uint32_t GetId() const { return id_; }
  const std::string& Name() const { return name_; }
  // Its end deletes `other` from the list.
  void TakeAlong(OwnedObjects<Item>& list, const Item* other) {
    list_ = &list;
    takes_along_ = other;
  }

 private:
  std::string name_;
  uint32_t id_;
  std::vector<std::string>& ended_;
  OwnedObjects<Item>* list_ = nullptr;
  const Item* takes_along_ = nullptr;
};

std::vector<std::string> Names(const OwnedObjects<Item>& list) {
  std::vector<std::string> names;
  for (const std::unique_ptr<Item>& item : list) names.push_back(item->Name());
  return names;
}

using Strings = std::vector<std::string>;

class OwnedObjectsTest : public testing::Test {
 protected:
  // Items named a, b, c, ... on from the last made, with the ids given, in that order.
  std::vector<Item*> Make(const std::vector<uint32_t>& ids) {
    std::vector<Item*> made;
    for (const uint32_t id : ids) {
      Item* item = nullptr;
      EXPECT_EQ(list_.Append(std::make_unique<Item>(std::string(1, next_name_++), id, ended_), &item), 0u);
      made.push_back(item);
    }
    return made;
  }

  char next_name_ = 'a';
  std::vector<std::string> ended_;
  OwnedObjects<Item> list_;
};

TEST_F(OwnedObjectsTest, AnyObjectLeavesAndTheOthersKeepTheirOrder) {
  const std::vector<Item*> items = Make({0, 1, 0, 1, 0, 1});
  EXPECT_EQ(list_.Delete(items[2]), 0u);
  EXPECT_EQ(list_.Delete(items[5]), 0u);
  EXPECT_EQ(list_.Delete(items[0]), 0u);
  EXPECT_EQ(ended_, (Strings{"c", "f", "a"}));
  EXPECT_EQ(Names(list_), (Strings{"b", "d", "e"}));
  std::vector<std::string> elsewhere;
  const Item stranger("x", 0, elsewhere);
  EXPECT_EQ(list_.Delete(&stranger), 2u);
  EXPECT_EQ(list_.Delete(nullptr), 1u);
  EXPECT_FALSE(list_.Contains(&stranger));
  EXPECT_TRUE(list_.Contains(items[3]));

  list_.DeleteWhereId(1, false);
  EXPECT_EQ(Names(list_), (Strings{"e"}));
  EXPECT_EQ(ended_, (Strings{"c", "f", "a", "b", "d"}));
  EXPECT_EQ(list_.Delete(items[3]), 2u) << "deleted by its id, no longer listed";
}

TEST_F(OwnedObjectsTest, AnObjectWhoseEndDeletesAnotherOfItsListEndsBoth) {
  std::vector<Item*> items = Make({0, 0, 0, 0});
  items[1]->TakeAlong(list_, items[3]);
  EXPECT_EQ(list_.Delete(items[1]), 0u);
  EXPECT_EQ(ended_, (Strings{"b", "d"}));
  EXPECT_EQ(Names(list_), (Strings{"a", "c"}));

  items = Make({0, 7});
  items[0]->TakeAlong(list_, items[1]);
  list_.DestroyInOrder();
  EXPECT_EQ(ended_, (Strings{"b", "d", "a", "c", "e", "f"}));
  EXPECT_TRUE(list_.empty());
}

}  // namespace
