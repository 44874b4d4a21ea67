// The save files of the game script host: the layout, the rotating slots, the checked load that
// changes nothing on a damaged file, and the write that never damages the old file.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "base/files/file.h"
#include "base/files/file_services.h"
#include "base/numbers/little_endian.h"
#include "game/save_file_layout.h"
#include "gfx/images/image.h"
#include "platform/encoding/text_encoding.h"
#include "support/game_host_fixture.h"

namespace {

using namespace save_file;

constexpr std::uint32_t kTop = 0xFF102030;     // red 10, green 20, blue 30
constexpr std::uint32_t kBottom = 0xFFA0B0C0;

class SaveFilesTest : public game_test::SaveFolderTest {
 protected:
  void SetUp() override {
    SaveFolderTest::SetUp();
    // The source: the top half one colour, the bottom half another.
    for (std::int32_t y = 0; y < 150; ++y) {
      auto* row = reinterpret_cast<std::uint32_t*>(source_.GetRowPointer(y));
      for (std::int32_t x = 0; x < 200; ++x) row[x] = y < 75 ? kTop : kBottom;
    }
  }

  std::string SaveFile(int group, int slot) const {
    return "SAVE/DATA" + Two(group) + Two(slot) + ".SAV";
  }
  static std::string Two(int number) { return (number < 10 ? "0" : "") + std::to_string(number); }
  std::vector<std::uint8_t> Bytes(int group, int slot) const {
    const std::string text = game_.ReadFile(SaveFile(group, slot));
    return {text.begin(), text.end()};
  }
  void Replace(int group, int slot, const std::vector<std::uint8_t>& bytes) const {
    game_.WriteFile(SaveFile(group, slot), sob_test::AsText(bytes));
  }
  std::vector<std::string> FilesInSaveFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(game_.HostPath() + "SAVE")) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

};

TEST_F(SaveFilesTest, ASaveHoldsEveryFieldAtItsOffsetAndLoadsBack) {
  host_.BeginSaveSelection(3, 77, "A title of the save");
  SetWord(0, 0x12345678);
  ASSERT_EQ(host_.TakeSnapshot(), 0u);
  const std::vector<std::uint8_t> snapshot = Held();
  ASSERT_EQ(host_.SaveGame(3, 2), 0u);

  const std::vector<std::uint8_t> file = Bytes(3, 2);
  ASSERT_GT(file.size(), kDataOffset);
  EXPECT_EQ(std::string(file.begin(), file.begin() + 4), "WK03");
  EXPECT_EQ(LoadLe32(&file[4]), 0u);
  const std::size_t last_row = kThumbnailOffset + 74 * 300;
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 8, file.begin() + 14), (std::vector<std::uint8_t>{0x30, 0x20, 0x10, 0x30, 0x20, 0x10}));
  EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + last_row + 297, file.begin() + last_row + 300), (std::vector<std::uint8_t>{0xC0, 0xB0, 0xA0}));
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[22508])), "A title of the save");
  EXPECT_EQ(file[22552], 0);  // no caption without the caption setting
  const std::uint32_t stored = LoadLe32(&file[22696]);
  EXPECT_EQ(stored, file.size() - 22705);
  std::uint32_t sum = 0;
  for (std::size_t i = 22705; i < file.size(); ++i) sum += file[i];
  EXPECT_EQ(file[22704], sum & 0xFF);
  EXPECT_EQ(settings_[kSettingSaveWritten], 1);

  SetWord(0, 1);
  host_.DiscardSnapshot();
  ASSERT_EQ(host_.LoadGame(3, 2), 0u);
  EXPECT_EQ(Word(0), 0x12345678u);
  EXPECT_EQ(Held(), snapshot);
  EXPECT_EQ(host_.LoadGame(3, 3), CGameScriptHost::kNoSaveFile);
}

TEST_F(SaveFilesTest, ADamagedFileIsRefusedAndChangesNothing) {
  SetWord(0, 5);
  ASSERT_EQ(host_.SaveGame(1, 0), 0u);
  const std::vector<std::uint8_t> good = Bytes(1, 0);
  struct Case {
    const char* what;
    std::size_t at;
    std::uint8_t value;
    std::size_t keep;  // bytes kept, 0 all
    std::uint32_t status;
  };
  const Case cases[] = {
      {"flipped data byte", good.size() - 1, static_cast<std::uint8_t>(good.back() ^ 0x40), 0, 3},
      {"version 1", 4, 1, 0, 5},
      {"bad magic", 0, 'X', 0, 3},
      {"stored size beyond the file", 22699, 0x7F, 0, 3},
      {"cut in the data", 0, 'W', good.size() - 3, 3},
      {"cut in the header", 0, 'W', 100, 3},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> bad = good;
    bad[c.at] = c.value;
    if (c.keep != 0) bad.resize(c.keep);
    Replace(1, 1, bad);
    SetWord(0, 9);
    ASSERT_EQ(host_.TakeSnapshot(), 0u);
    const std::vector<std::uint8_t> held = Held();
    EXPECT_EQ(host_.LoadGame(1, 1), c.status) << c.what;
    EXPECT_EQ(Word(0), 9u) << c.what;
    EXPECT_EQ(Held(), held) << c.what;
  }
}

TEST_F(SaveFilesTest, NegativeSlotsRotateThroughTheirGroups) {
  settings_[kSettingNextRotatingSlot] = 9;
  for (const int expected : {9, 0, 1}) {
    ASSERT_EQ(host_.SaveGame(10, -1), 0u);
    EXPECT_TRUE(game_.Exists(SaveFile(10, expected))) << expected;
    EXPECT_EQ(settings_[kSettingLastRotatingSlot], expected);
  }
  EXPECT_EQ(settings_[kSettingNextRotatingSlot], 2);
  for (const int expected : {5, 6, 7, 8, 9, 5}) {
    ASSERT_EQ(host_.SaveGame(11, -1), 0u);
    EXPECT_EQ(settings_[kSettingLastQuickSlot], expected);
  }
  EXPECT_EQ(settings_[kSettingNextQuickSlot], 6);
  EXPECT_EQ(host_.SaveGame(4, -1), CGameScriptHost::kNoSaveFile);
}

TEST_F(SaveFilesTest, ANegativeSlotFindsTheNewestSaveCountingDown) {
  std::string path;
  EXPECT_EQ(host_.GetSaveFilePath(path, 10, -1), 1u);
  EXPECT_EQ(host_.GetSaveFilePath(path, 11, -1), 2u);
  EXPECT_EQ(host_.GetSaveFilePath(path, 12, -1), 3u);
  ASSERT_EQ(host_.SaveGame(10, 3), 0u);
  ASSERT_EQ(host_.SaveGame(10, 7), 0u);
  ASSERT_EQ(host_.SaveGame(11, 8), 0u);
  const struct {
    int group;
    int next;
    int found;
  } cases[] = {{10, 5, 3}, {10, 4, 3}, {10, 3, 7}, {10, 0, 7}, {10, 8, 7}, {11, 5, 8}, {11, 9, 8}, {11, 8, 8}};
  for (const auto& c : cases) {
    settings_[c.group == 10 ? kSettingNextRotatingSlot : kSettingNextQuickSlot] = static_cast<std::uint8_t>(c.next);
    ASSERT_EQ(host_.GetSaveFilePath(path, c.group, -1), 0u) << c.group << " " << c.next;
    EXPECT_EQ(path, game_.EnginePath("SAVE\\DATA" + Two(c.group) + Two(c.found) + ".SAV")) << c.group << " " << c.next;
  }
  // Group 11 tries only its own five slots.
  ASSERT_EQ(host_.DeleteSaveFile(11, 8), 0u);
  ASSERT_EQ(host_.SaveGame(11, 4), 0u);
  EXPECT_EQ(host_.GetSaveFilePath(path, 11, -1), 2u);
  EXPECT_EQ(host_.DeleteSaveFile(11, 8), 1u);
}

// The newest rotating save damaged: a load of the newest goes on from the newest save that reads,
// counting down; with none that reads, the newest's refusal, and nothing changed.
TEST_F(SaveFilesTest, ALoadOfTheNewestPassesOverSavesThatDoNotRead) {
  for (const std::uint32_t word : {5u, 6u, 7u}) {
    SetWord(0, word);
    ASSERT_EQ(host_.SaveGame(11, -1), 0u);
  }
  std::vector<std::uint8_t> damaged = Bytes(11, 7);
  damaged.back() ^= 0x40;
  Replace(11, 7, damaged);
  SetWord(0, 1);
  EXPECT_EQ(host_.LoadGame(11, -1), 0u);
  EXPECT_EQ(Word(0), 6u) << "the save before the damaged one";
  std::vector<std::uint8_t> unreadable = Bytes(11, 6);
  unreadable.resize(100);
  Replace(11, 6, unreadable);
  EXPECT_EQ(host_.LoadGame(11, -1), 0u);
  EXPECT_EQ(Word(0), 5u);
  Replace(11, 5, damaged);
  SetWord(0, 1);
  EXPECT_EQ(host_.LoadGame(11, -1), 3u) << "the newest's refusal";
  EXPECT_EQ(Word(0), 1u);
  EXPECT_EQ(host_.LoadGame(10, -1), CGameScriptHost::kNoSaveFile);
}

TEST_F(SaveFilesTest, TheCaptionKeepsAtMost139BytesOfWholeCharacters) {
  ASSERT_EQ(host_.SaveGame(2, 0), 0u);
  const std::vector<std::uint8_t> before = Bytes(2, 0);
  ASSERT_EQ(host_.WriteSaveCaption(2, 0, std::string(200, 'c').c_str()), 0u);
  std::vector<std::uint8_t> file = Bytes(2, 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[22552])), std::string(139, 'c'));
  // 138 single bytes and a two-byte character that would reach byte 140: left out whole.
  const std::string sjis = std::string(138, 'd') + "\x82\xA0";
  ASSERT_EQ(host_.WriteSaveCaption(2, 0, sjis.c_str()), 0u);
  file = Bytes(2, 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[22552])), std::string(138, 'd'));
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (i < 22552 || i >= 22696) {
      ASSERT_EQ(file[i], before[i]) << i;
    }
  }
  EXPECT_EQ(host_.WriteSaveCaption(2, 1, "x"), CGameScriptHost::kNoSaveFile);
}

TEST_F(SaveFilesTest, AnInterruptedWriteLeavesThePreviousFileByteIdentical) {
  SetWord(0, 1);
  ASSERT_EQ(host_.SaveGame(5, 0), 0u);
  SetWord(0, 2);
  ASSERT_EQ(host_.CopySaveFile(5, 0, 5, 1), 0u);
  ASSERT_EQ(host_.SaveGame(5, 1), 0u);
  const std::vector<std::uint8_t> old_file = Bytes(5, 0);
  const std::vector<std::uint8_t> new_file = Bytes(5, 1);
  ASSERT_NE(old_file, new_file);
  const std::vector<std::string> files = FilesInSaveFolder();
  const std::string path = game_.EnginePath("SAVE\\DATA0500.SAV");
  for (const std::size_t fail_at : {std::size_t{0}, std::size_t{1}, std::size_t{4}, std::size_t{8}, std::size_t{22507},
                                    kDataOffset - 1, kDataOffset, new_file.size() / 2, new_file.size() - 1}) {
    const FileBytesWriter failing = [fail_at](CFile& file, std::span<const std::uint8_t> data) {
      file.Write(data.data(), static_cast<std::uint32_t>(fail_at));
      return false;
    };
    EXPECT_EQ(SaveFileReplacing(path.c_str(), new_file, failing), 2u) << fail_at;
    EXPECT_EQ(Bytes(5, 0), old_file) << fail_at;
    EXPECT_EQ(FilesInSaveFolder(), files) << fail_at;
  }
  ASSERT_EQ(host_.LoadGame(5, 0), 0u);
  EXPECT_EQ(Word(0), 1u);
}

TEST_F(SaveFilesTest, TheHeaderGivesThumbnailTitleWrappedCaptionAndTimeStamp) {
  host_.BeginSaveSelection(1, 0, "Spring");
  ASSERT_EQ(host_.SaveGame(4, 1), 0u);
  ASSERT_EQ(host_.WriteSaveCaption(4, 1, ("Line\n" + std::string(40, 'c')).c_str()), 0u);
  std::tm local{};  // 2024/03/09 07:05, a Saturday
  std::tie(local.tm_year, local.tm_mon, local.tm_mday, local.tm_hour, local.tm_min, local.tm_isdst) =
      std::tuple{2024 - 1900, 2, 9, 7, 5, -1};
  const auto written = std::chrono::system_clock::from_time_t(std::mktime(&local));
  std::filesystem::last_write_time(game_.HostPath() + SaveFile(4, 1), std::chrono::file_clock::from_sys(written));
  CImage image;
  ASSERT_EQ(image.Create(120, 80, 32, 0), 0u);  // zeroed: alpha and the pixels beyond stay 0
  std::string title, caption, date, stamp;
  ASSERT_EQ(host_.ReadSaveHeader(4, 1, {&image, &title, &caption, true, &date}), 0u);
  EXPECT_EQ(image.GetPixel(99, 37), 0x102030u);
  EXPECT_EQ(image.GetPixel(0, 74), 0xA0B0C0u);
  EXPECT_EQ(image.GetPixel(100, 0) | image.GetPixel(0, 75), 0u);
  EXPECT_EQ(title, "Spring");
  EXPECT_EQ(caption, "Line\n" + std::string(34, 'c') + "\n" + std::string(6, 'c'));
  const std::string time = "2024/03/09(" + plat::Utf8ToSjis("土") + ") 07:05";
  EXPECT_EQ(date, time);
  ASSERT_EQ(host_.FormatSaveTimeStamp(&stamp, 4, 1, 2), 0u);
  EXPECT_EQ(stamp, plat::Utf8ToSjis("『Spring』\r\n【記録日時 ") + time + plat::Utf8ToSjis("】"));
}

TEST_F(SaveFilesTest, ABadHeaderOrThumbnailImageIsRefusedAndWritesNothing) {
  ASSERT_EQ(host_.SaveGame(6, 0), 0u);
  const std::vector<std::uint8_t> good = Bytes(6, 0);
  CImage image, small;
  ASSERT_EQ(image.Create(100, 75, 32, 0), 0u);
  ASSERT_EQ(small.Create(100, 75, 8, 0), 0u);
  std::string title = "kept";
  // A header cut one byte short, and a bad magic.
  using File = std::vector<std::uint8_t>;
  for (const File& bytes : {File(good.begin(), good.begin() + kSizesOffset - 1), File{'W', 'K', '0', '4'}}) {
    Replace(6, 1, bytes);
    EXPECT_EQ(host_.ReadSaveHeader(6, 1, {&image, &title, nullptr, false, nullptr}), 3u);
    EXPECT_EQ(host_.FormatSaveTimeStamp(&title, 6, 1, 0), 3u);
  }
  EXPECT_EQ(host_.ReadSaveHeader(6, 0, {&small, &title, nullptr, false, nullptr}), 1u);
  EXPECT_EQ(host_.ReadSaveHeader(6, 2, {&image, &title, nullptr, false, nullptr}), CGameScriptHost::kNoSaveFile);
  EXPECT_EQ(host_.FormatSaveTimeStamp(nullptr, 6, 0, 0), 1u);
  EXPECT_EQ(title, "kept");
  EXPECT_EQ(image.GetPixel(0, 0), 0u);
}

TEST(WrapCaptionTest, LinesOfAtMost34BytesOfWholeCharactersAndAtMostFour) {
  const std::string a33(33, 'a'), x34(34, 'x'), kana = "\x82\xA0";
  EXPECT_EQ(WrapCaption(""), "");
  EXPECT_EQ(WrapCaption(a33 + kana + "b"), a33 + "\n" + kana + "b");  // the character starts the next line
  EXPECT_EQ(WrapCaption(std::string(139, 'x')), x34 + "\n" + x34 + "\n" + x34 + "\n" + x34);
  EXPECT_EQ(WrapCaption("a\n\nc\nd\ne"), "a\n\nc\nd");
}

}  // namespace

namespace {

// A half-width katakana is one byte: the caption is cut before a two-byte character that would
// not fit, never inside one.
TEST_F(SaveFilesTest, TheCaptionCutsAfterAHalfWidthKatakanaOnACharacterBoundary) {
  ASSERT_EQ(host_.SaveGame(2, 0), 0u);
  const std::string katakana_then_hiragana = std::string(137, 'd') + "\xB1\x82\xA0";
  ASSERT_EQ(host_.WriteSaveCaption(2, 0, katakana_then_hiragana.c_str()), 0u);
  const std::vector<std::uint8_t> file = Bytes(2, 0);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[22552])), std::string(137, 'd') + "\xB1");
  EXPECT_EQ(FitText(std::string(138, 'd') + "\xDF\xB1", 139), std::string(138, 'd') + "\xDF");
}

// A source picture that cannot be copied into 32 bits (a 16-bit one) fails the save with 3.
TEST_F(SaveFilesTest, ASourceThatCannotBeCopiedFailsTheSaveWithThree) {
  CImage sixteen_bits;
  ASSERT_EQ(static_cast<CImageBase&>(sixteen_bits).Create(200, 150, 16, false), 0u);
  host_.SetThumbnailSource(&sixteen_bits, nullptr);
  EXPECT_EQ(host_.SaveGame(2, 0), 3u);
  EXPECT_FALSE(game_.Exists(SaveFile(2, 0)));
}

}  // namespace
