// The built-in functions over the game host's saves, snapshot, variables and files, called by
// their numbers as scripts call them.
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "script/game_host_access.h"
#include "builtins/save_builtins.h"
#include "gfx/display/screen_manager.h"
#include "platform/encoding/text_encoding.h"
#include "support/game_host_fixture.h"

namespace {

class HostBuiltinsTest : public game_test::SaveFolderTest {
 protected:
  std::uint32_t Call(std::uint32_t id, std::initializer_list<std::uint32_t> words) {
    const NativeArgs args = Args(static_cast<std::uint32_t>(words.size()), 0);
    std::uint32_t address = args.Address();
    for (const std::uint32_t word : words) {
      host_.Memory().SetWord(address, word);
      address += 4;
    }
    return Native(id)(args);
  }
  std::uint32_t Text(const std::string& text) {
    const std::uint32_t address = host_.Memory().Allocate(static_cast<std::uint32_t>(text.size() + 1), true);
    host_.Memory().Write(address, text.c_str(), static_cast<std::uint32_t>(text.size()));
    return address;
  }
  std::string TextAt(std::uint32_t address) const {
    std::string text;
    for (char c; (c = static_cast<char>(host_.Memory().Byte(address))) != 0; ++address) text += c;
    return text;
  }
};

constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;

TEST_F(HostBuiltinsTest, TheHostIsTheBuiltInsHostWhileItLives) {
  EXPECT_EQ(g_GameHost, static_cast<IGameHost*>(&host_));
  EXPECT_EQ(&g_GameHost->Scripts(), &host_);
}

TEST_F(HostBuiltinsTest, SnapshotBuiltInsTakeRestoreAndDiscard) {
  EXPECT_EQ(Call(52, {}), 0u);
  EXPECT_EQ(Call(51, {}), kMinusOne);
  SetWord(0, 11);
  EXPECT_EQ(Call(50, {}), 0u);
  EXPECT_EQ(Call(52, {}), 1u);
  SetWord(0, 22);
  EXPECT_EQ(Call(51, {}), 0u);
  EXPECT_EQ(Word(0), 11u);
  EXPECT_EQ(Call(52, {}), 0u);
  EXPECT_EQ(Call(50, {}), 0u);
  EXPECT_EQ(Call(53, {}), 0u);
  EXPECT_EQ(Call(52, {}), 0u);
}

TEST_F(HostBuiltinsTest, SaveBuiltInsWriteStampCaptionCopyLoadAndDelete) {
  EXPECT_EQ(Call(39, {0, 5, Text("ignored")}), 0u);  // boot value 0: the selection stays
  EXPECT_EQ(host_.SaveTitle(), "");
  EXPECT_EQ(Call(39, {0x10003, 5, Text("Spring")}), 1u);  // only the low 16 bits count
  EXPECT_EQ(host_.BootValue(), 3u);
  EXPECT_EQ(host_.SaveWord(), 5u);
  EXPECT_EQ(Call(40, {Block(0)}), 1u);
  EXPECT_EQ(host_.Variables().Marked().size(), 1u);
  EXPECT_EQ(Call(40, {0}), 0u);

  SetWord(0, 0xABCD);
  ASSERT_EQ(Call(43, {2, 1}), 0u);
  const std::uint32_t stamp = host_.Memory().Allocate(200, true);
  ASSERT_EQ(Call(45, {2, 1, stamp, 0}), 0u);
  EXPECT_EQ(TextAt(stamp).rfind(plat::Utf8ToSjis("『Spring』 【記録日時 "), 0), 0u) << TextAt(stamp);
  EXPECT_EQ(Call(45, {2, 1, 0, 0}), 1u);
  EXPECT_EQ(Call(45, {2, 7, stamp, 0}), kMinusOne);

  EXPECT_EQ(Call(47, {2, 1, Text("caption")}), 0u);
  std::string caption;
  ASSERT_EQ(host_.ReadSaveHeader(2, 1, {nullptr, nullptr, &caption, false, nullptr}), 0u);
  EXPECT_EQ(caption.c_str(), std::string("caption"));

  EXPECT_EQ(Call(48, {2, 1, 2, 4}), 0u);
  EXPECT_EQ(Call(49, {2, 1}), 0u);
  EXPECT_EQ(Call(49, {2, 1}), 1u);
  EXPECT_EQ(Call(44, {2, 1}), kMinusOne);

  SetWord(0, 1);
  EXPECT_EQ(Call(42, {2, 4}), 0u);
  EXPECT_EQ(Call(44, {kMinusOne, 0}), 0u);  // a negative group loads the default save
  EXPECT_EQ(Word(0), 0xABCDu);
  EXPECT_EQ(Call(42, {2, kMinusOne}), 1u);  // no rotation in group 2: no path
  SetDefaultSavePath(nullptr);
  EXPECT_NE(Call(44, {kMinusOne, 0}), 0u);  // no default save any more
}

TEST_F(HostBuiltinsTest, VariableBuiltInsFilterAndKeepFiles) {
  // Clear only class 1 (selector 2) of kind 0 (selector 1): the class-0 value stays.
  SetEveryWord(7);
  EXPECT_EQ(Call(27, {2, 1}), 0u);
  EXPECT_EQ(Word(0), 0u);
  EXPECT_EQ(Word(1), 7u);  // a text, kind 1
  EXPECT_EQ(Word(4), 7u);  // class 0
  EXPECT_EQ(Call(26, {0, 0}), 0u);  // all back to their initial values
  EXPECT_EQ(Word(0), 0x04030201u);
  EXPECT_EQ(Word(4), 9u);

  EXPECT_EQ(Call(28, {0, 0}), 0u);
  SetWord(0, 99);
  EXPECT_EQ(Call(29, {0, 0}), 0u);
  EXPECT_EQ(Word(0), 0x04030201u);
  SetWord(0, 98);
  EXPECT_EQ(Call(30, {Block(0)}), 0u);
  EXPECT_EQ(Call(30, {0x12345}), 2u);
  SetWord(0, 1);
  EXPECT_EQ(Call(29, {0, 0}), 0u);
  EXPECT_EQ(Word(0), 98u);

  EXPECT_EQ(Call(33, {0}), 1u);  // no name yet
  EXPECT_EQ(Call(34, {Text("VARS.DAT")}), 0u);
  EXPECT_EQ(Call(31, {0, 0, 0, 0}), 0u);
  SetWord(0, 5);
  EXPECT_EQ(Call(33, {0}), 0u);
  EXPECT_EQ(Word(0), 98u);

  SetWord(2, 1234);  // the persistent class-2 value
  EXPECT_EQ(Call(35, {}), 0u);
  EXPECT_TRUE(game_.Exists("SAVE/VARS.DAT"));
  SetWord(2, 1);
  EXPECT_EQ(Call(36, {}), 0u);
  EXPECT_EQ(Word(2), 1234u);
}

}  // namespace

namespace {

// A 32-bit picture of one colour whose handle the scripts hold.
class ColourPicture {
 public:
  ColourPicture(std::int32_t width, std::int32_t height, std::uint8_t depth, std::uint32_t colour) {
    EXPECT_EQ(image.Create(width, height, depth, 0), 0u);
    if (depth != 32) return;
    for (std::int32_t y = 0; y < height; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(image.GetRowPointer(y));
      for (std::int32_t x = 0; x < width; ++x) row[x] = colour;
    }
  }
  CImage image;
};

TEST_F(HostBuiltinsTest, TheSavePairsObjectIsTheNextThumbnailAndTheHeaderReadsIntoAnImage) {
  ColourPicture picture(200, 150, 32, 0xFF204060);
  const std::uint32_t handle = picture.image.ScriptHandle(handles_);
  host_.BeginSaveSelection(1, 0, "the title");
  EXPECT_EQ(Call(41, {handle, 0}), 1u);
  ASSERT_EQ(Call(43, {2, 0}), 0u);

  const std::uint32_t title = host_.Memory().Allocate(64, true);
  const std::uint32_t date = host_.Memory().Allocate(64, true);
  host_.Memory().SetWord(title, 0x58585858);
  // An 8-bit image cannot take the thumbnail: 1, and nothing is written.
  ColourPicture grey(100, 75, 8, 0);
  EXPECT_EQ(Call(46, {2, 0, grey.image.ScriptHandle(handles_), title, 0, 0, 0, date}), 1u);
  EXPECT_EQ(host_.Memory().Word(title), 0x58585858u);
  // A handle that names nothing is a missing thumbnail image too.
  EXPECT_EQ(Call(46, {2, 0, 0x12345678, title, 0, 0, 0, 0}), 1u);

  ColourPicture thumbnail(100, 75, 32, 0);
  ASSERT_EQ(Call(46, {2, 0, thumbnail.image.ScriptHandle(handles_), title, 0, 0, 0, date}), 0u);
  EXPECT_EQ(TextAt(title), "the title");
  EXPECT_EQ(TextAt(date).find('/'), 4u);
  EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(thumbnail.image.GetRowPointer(40))[50] & 0xFFFFFF, 0x204060u);

  // Without an object the saves have no thumbnail source.
  EXPECT_EQ(Call(41, {0, 0}), 1u);
  EXPECT_EQ(Call(43, {2, 1}), 1u);
}

TEST_F(HostBuiltinsTest, APictureDeletedAfterTheSavePairNamedItLeavesTheSavesWithoutAThumbnailSource) {
  CScreenManager screen;
  g_ScreenManager = &screen;
  const std::uint32_t picture = Call(231, {200, 150, 32, 0});
  ASSERT_NE(picture, 0u);
  host_.BeginSaveSelection(1, 0, "the title");
  EXPECT_EQ(Call(41, {picture, 0}), 1u);
  const std::uint32_t held = host_.Memory().Allocate(4, true);
  host_.Memory().SetWord(held, picture);
  EXPECT_EQ(Call(243, {held}), 0u);
  EXPECT_EQ(Call(43, {2, 0}), 1u);
  g_ScreenManager = nullptr;
}

}  // namespace
