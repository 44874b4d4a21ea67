// The watched pointer reads null from the end of its object on, and only from its object's end:
// each copy, moved or assigned one watches on its own, one kept in a growing container is still
// told, one that ends before its object is never told, and one that holds a class the object
// announces itself as a base of is told too.
#include "base/lifetime/watched_ptr.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

// An object that announces its end, as the engine's deletable objects do.
struct Watched {
  Watched() = default;
  Watched(const Watched&) = delete;
  Watched& operator=(const Watched&) = delete;
  virtual ~Watched() { CEndWatch::Announce(this); }
};

// Its announcing part is not at its start, so the two addresses differ.
struct Leading {
  virtual ~Leading() = default;
  int word = 0;
};
struct Composite : Leading, Watched {};

TEST(WatchedPtrTest, TheEndOfItsObjectClearsEveryPointerToItAndNoOther) {
  auto first = std::make_unique<Watched>();
  auto second = std::make_unique<Watched>();
  const WatchedPtr<Watched> to_first(first.get());
  const WatchedPtr<Watched> to_second(second.get());
  const WatchedPtr<Watched> none;
  first.reset();
  EXPECT_EQ(to_first.get(), nullptr);
  EXPECT_EQ(to_second.get(), second.get());
  EXPECT_EQ(none.get(), nullptr);
  second.reset();
  EXPECT_EQ(to_second.get(), nullptr);
}

TEST(WatchedPtrTest, CopiesAndMovedPointersWatchOnTheirOwnAlsoInAGrowingContainer) {
  auto object = std::make_unique<Watched>();
  std::unique_ptr<WatchedPtr<Watched>> original = std::make_unique<WatchedPtr<Watched>>(object.get());
  const WatchedPtr<Watched> copy(*original);
  WatchedPtr<Watched> moved(std::move(*original));
  original.reset();
  EXPECT_EQ(copy.get(), object.get()) << "the copy outlives the pointer it was copied from";
  EXPECT_EQ(moved.get(), object.get());
  // Each growth moves the pointers to new places; each must still be told there.
  std::vector<WatchedPtr<Watched>> kept;
  for (int i = 0; i < 33; ++i) kept.push_back(moved);
  kept.erase(kept.begin());
  object.reset();
  EXPECT_EQ(copy.get(), nullptr);
  EXPECT_EQ(moved.get(), nullptr);
  for (const WatchedPtr<Watched>& pointer : kept) EXPECT_EQ(pointer.get(), nullptr);
}

TEST(WatchedPtrTest, AnAssignedPointerWatchesOnlyItsNewObject) {
  auto first = std::make_unique<Watched>();
  auto second = std::make_unique<Watched>();
  auto third = std::make_unique<Watched>();
  WatchedPtr<Watched> pointer(first.get());
  const WatchedPtr<Watched> to_second(second.get());
  pointer = to_second;
  first.reset();
  EXPECT_EQ(pointer.get(), second.get()) << "the object it held before ends unnoticed";
  const WatchedPtr<Watched>& same = pointer;
  pointer = same;
  EXPECT_EQ(pointer.get(), second.get());
  pointer = third.get();
  second.reset();
  EXPECT_EQ(pointer.get(), third.get());
  EXPECT_EQ(to_second.get(), nullptr);
  third.reset();
  EXPECT_EQ(pointer.get(), nullptr);
  pointer = nullptr;
  EXPECT_EQ(pointer.get(), nullptr);
}

// A holder that ends before the object leaves nothing behind for the object's end to reach.
TEST(WatchedPtrTest, AHolderThatEndsFirstIsNotToldOfTheEnd) {
  auto object = std::make_unique<Watched>();
  for (int i = 0; i < 3; ++i) {
    auto holder = std::make_unique<WatchedPtr<Watched>>(object.get());
    EXPECT_EQ(holder->get(), object.get());
  }
  const WatchedPtr<Watched> last(object.get());
  object.reset();
  EXPECT_EQ(last.get(), nullptr);
}

TEST(WatchedPtrTest, APointerToTheWholeObjectIsToldWhenItsAnnouncingPartEnds) {
  auto object = std::make_unique<Composite>();
  ASSERT_NE(static_cast<void*>(object.get()), static_cast<void*>(static_cast<Watched*>(object.get())));
  const WatchedPtr<Composite, Watched> whole(object.get());
  EXPECT_EQ(whole->word, 0);
  object.reset();
  EXPECT_EQ(whole.get(), nullptr);
}

}  // namespace
