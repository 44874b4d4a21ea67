#include "base/lifetime/handle_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <vector>

namespace {

struct Picture : ScriptVisible<Picture> {
  int id = 0;
};

struct Sound : ScriptVisible<Sound> {};

// Seen by scripts as its base class.
struct Drawable : ScriptVisible<Drawable> {
  virtual ~Drawable() = default;
  virtual int Kind() const { return 0; }
};
struct Sprite : Drawable {
  int Kind() const override { return 1; }
};

void ExpectWellFormed(std::uint32_t handle) {
  EXPECT_NE(handle, 0u);
  EXPECT_NE(handle, 0xFFFFFFFFu);
  EXPECT_GE(handle & 0xFFFFFF, 0x10000u);
}

TEST(HandleTable, IssuesHandlesOnDemandAndResolvesThemByKind) {
  HandleTable table;
  Picture picture;
  Sound sound;
  const std::uint32_t picture_handle = picture.ScriptHandle(table);
  const std::uint32_t sound_handle = sound.ScriptHandle(table);
  ExpectWellFormed(picture_handle);
  ExpectWellFormed(sound_handle);
  EXPECT_EQ(picture_handle, 0x00010000u);  // generation 0, index 0
  EXPECT_EQ(picture.ScriptHandle(table), picture_handle);  // one handle per object
  EXPECT_NE(sound_handle, picture_handle);
  EXPECT_EQ(table.Get<Picture>(picture_handle), &picture);
  EXPECT_EQ(table.Get<Sound>(sound_handle), &sound);
  EXPECT_EQ(table.LiveCount(), 2u);
}

TEST(HandleTable, WrongKindsAndNonHandlesReadAsNull) {
  HandleTable table;
  Picture picture;
  const std::uint32_t handle = picture.ScriptHandle(table);
  EXPECT_EQ(table.Get<Sound>(handle), nullptr);
  for (std::uint32_t word : {0u, 1u, 0xFFFFu, 0xFFFFFFFFu, handle + 1, handle | 0x01000000u, handle & 0xFFFFu}) {
    EXPECT_EQ(table.Get<Picture>(word), nullptr) << std::hex << word;
  }
}

TEST(HandleTable, ObjectsSeenAsTheirBaseResolveOnlyAsTheBase) {
  HandleTable table;
  Sprite sprite;
  const std::uint32_t handle = sprite.ScriptHandle(table);
  Drawable* drawable = table.Get<Drawable>(handle);
  ASSERT_EQ(drawable, &sprite);
  EXPECT_EQ(drawable->Kind(), 1);
  EXPECT_EQ(table.Get<Sprite>(handle), nullptr);
}

TEST(HandleTable, ADeletedObjectsHandleReadsAsNull) {
  HandleTable table;
  auto picture = std::make_unique<Picture>();
  const std::uint32_t handle = picture->ScriptHandle(table);
  picture.reset();
  EXPECT_EQ(table.Get<Picture>(handle), nullptr);
  EXPECT_EQ(table.LiveCount(), 0u);
  // The entry is reused with the next generation; the old handle stays dead.
  Picture next;
  const std::uint32_t next_handle = next.ScriptHandle(table);
  EXPECT_EQ(next_handle, handle + 0x01000000u);
  EXPECT_EQ(table.Get<Picture>(handle), nullptr);
  EXPECT_EQ(table.Get<Picture>(next_handle), &next);

  next.RevokeScriptHandle();
  EXPECT_EQ(table.Get<Picture>(next_handle), nullptr);
  EXPECT_NE(next.ScriptHandle(table), next_handle);  // a fresh handle on the next request
}

TEST(HandleTable, GenerationsWrapWithoutReissuingALiveValue) {
  HandleTable table;
  Picture resident;
  const std::uint32_t resident_handle = resident.ScriptHandle(table);
  std::set<std::uint32_t> seen;
  std::uint32_t first_churned = 0;
  for (int round = 0; round < 600; ++round) {
    Picture churned;
    const std::uint32_t handle = churned.ScriptHandle(table);
    ExpectWellFormed(handle);
    EXPECT_NE(handle, resident_handle);
    EXPECT_EQ(table.Get<Picture>(handle), &churned);
    if (round == 0) first_churned = handle;
    seen.insert(handle);
  }
  // One entry served every churned object: its 256 generations came round again.
  EXPECT_EQ(seen.size(), 256u);
  EXPECT_EQ(seen.count(first_churned | 0xFF000000u), 1u);
  EXPECT_EQ(table.Get<Picture>(resident_handle), &resident);
}

TEST(HandleTable, FreedEntriesAreReusedOldestFirst) {
  HandleTable table;
  std::vector<std::unique_ptr<Picture>> pictures(3);
  std::vector<std::uint32_t> handles;
  for (auto& picture : pictures) {
    picture = std::make_unique<Picture>();
    handles.push_back(picture->ScriptHandle(table));
  }
  pictures[2].reset();
  pictures[0].reset();
  Picture again;
  // Entry 2 was freed first.
  EXPECT_EQ(again.ScriptHandle(table) & 0xFFFFFF, handles[2] & 0xFFFFFF);
  Picture then;
  EXPECT_EQ(then.ScriptHandle(table) & 0xFFFFFF, handles[0] & 0xFFFFFF);
  // With no entry free a new one is made; once freed, it is the one reused.
  auto fresh = std::make_unique<Picture>();
  const std::uint32_t fresh_entry = fresh->ScriptHandle(table) & 0xFFFFFF;
  EXPECT_EQ(fresh_entry, (handles[2] & 0xFFFFFF) + 1);
  fresh.reset();
  Picture last;
  EXPECT_EQ(last.ScriptHandle(table) & 0xFFFFFF, fresh_entry);
}

TEST(HandleTable, ObjectsMayOutliveTheirTable) {
  Picture picture;
  {
    HandleTable table;
    EXPECT_NE(picture.ScriptHandle(table), 0u);
  }
  HandleTable other;
  EXPECT_EQ(picture.ScriptHandle(other), 0x00010000u);
  EXPECT_EQ(other.Get<Picture>(0x00010000u), &picture);
}

TEST(HandleTable, AnObjectBelongsToOneTableAtATime) {
  HandleTable first;
  HandleTable second;
  Picture picture;
  EXPECT_NE(picture.ScriptHandle(first), 0u);
  EXPECT_EQ(picture.ScriptHandle(second), 0u);
  EXPECT_EQ(second.LiveCount(), 0u);
}

}  // namespace
