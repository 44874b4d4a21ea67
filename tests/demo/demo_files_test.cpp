// The demo game as the build ships it in the build folder's demo/: each folder packed into the
// archive of its name, mounted as the game mounts them, and a few loose files, which the game
// reads before an archive's copy. Every file the scripts, the novel frame and its button layout
// name reads back through the game's data files, and the pictures hold the colours and places
// that the demo's window test looks for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/game/game_archives.h"
#include "base/files/path.h"
#include "base/files/read_target.h"
#include "novel/scenario/tob_file.h"
#include "novel/scenario/vov_vm.h"
#include "platform/files/host_path.h"
#include "resource/archives/dpk_decoder.h"
#include "resource/archives/file_system.h"
#include "resource/pictures/elg_decoder.h"
#include "script/read_text_table.h"
#include "script/sob_object.h"
#include "ui/layouts/dgm_layout.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Picture {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint32_t bits = 0;
  std::int16_t user_value0 = 0;
  std::int16_t user_value1 = 0;
  Bytes pixels;  // 32 bits (blue, green, red, alpha) or 8 bits, rows without padding

  std::uint32_t Colour(std::int32_t x, std::int32_t y) const {
    const std::uint8_t* p = &pixels[static_cast<std::size_t>(y * width + x) * 4];
    return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
  }
};

std::uint8_t* CreateTarget(std::int32_t width, std::int32_t height, std::uint32_t bits, std::uint32_t /*alpha*/,
                           std::int32_t* pitch, std::uint8_t** /*palette*/, void* context) {
  auto& picture = *static_cast<Picture*>(context);
  picture.width = width;
  picture.height = height;
  picture.bits = bits;
  *pitch = width * static_cast<std::int32_t>(bits / 8);
  picture.pixels.assign(static_cast<std::size_t>(*pitch) * static_cast<std::size_t>(height), 0);
  return picture.pixels.data();
}

std::optional<Picture> DecodePicture(const Bytes& file, bool indices = false) {
  Picture picture;
  CElgDecoder decoder;
  if (decoder.Load(file.data(), file.size(), &CreateTarget, &picture, indices ? 1 : 0, nullptr, nullptr) != 0) {
    return std::nullopt;
  }
  picture.user_value0 = static_cast<std::int16_t>(decoder.GetUserValue0());
  picture.user_value1 = static_cast<std::int16_t>(decoder.GetUserValue1());
  return picture;
}

std::optional<Bytes> ReadWhole(CMemoryBlockTarget& target, unsigned status) {
  if (status != 0) return std::nullopt;
  const std::uint32_t size = target.GetSize();
  const DataBlock block = target.Detach();
  return Bytes(block.get(), block.get() + size);
}

// The demo's folder as the base data folder, with the game's archives mounted as the set-up
// mounts them and the other archives, those of its folders, as MAIN mounts them.
class DemoFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tools = std::getenv("KESTRUNE_TOOLS_DIR");
    ASSERT_NE(tools, nullptr) << "KESTRUNE_TOOLS_DIR names the build folder";
    folder_ = std::string(tools) + "/demo/";
    std::memcpy(saved_base_folder_, g_ModuleFolder, kMaxPath);
    ASSERT_EQ(SetBaseFolder(plat::ToEnginePath(folder_).c_str()), 0u);
    ASSERT_EQ(RegisterDpkDecoder(files_), 0u);
    MountGameArchives(files_);
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(folder_)) {
      const std::string name = entry.path().filename().string();
      const bool mounted_by_engine = name == "SCRIPT.DPK" || name.starts_with("PATCH");
      if (name.ends_with(".DPK") && !mounted_by_engine) folder_archives_.push_back(name);
    }
    std::sort(folder_archives_.begin(), folder_archives_.end());
    for (std::size_t id = 0; id < folder_archives_.size(); ++id) {
      ASSERT_EQ(files_.MountArchive(folder_archives_[id].c_str(), static_cast<std::int32_t>(id), 1, true, nullptr), 0u)
          << folder_archives_[id];
    }
  }
  void TearDown() override { std::memcpy(g_ModuleFolder, saved_base_folder_, kMaxPath); }

  // A file as the game reads it: loose, or from an archive.
  std::optional<Bytes> Read(const std::string& name) {
    CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kRefused);
    return ReadWhole(target, files_.ReadFile(name.c_str(), target, nullptr));
  }
  // An entry of one of the folders' archives.
  std::optional<Bytes> ReadPacked(const std::string& archive, const char* entry) {
    const auto found = std::find(folder_archives_.begin(), folder_archives_.end(), archive);
    if (found == folder_archives_.end()) return std::nullopt;
    const auto id = static_cast<std::int32_t>(found - folder_archives_.begin());
    CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kRefused);
    return ReadWhole(target, files_.ReadArchiveEntry(id, -1, entry, target, nullptr));
  }
  // The picture decoded to 32 bits, or to its 8-bit indices.
  std::optional<Picture> Decode(const std::string& name, bool indices = false) {
    const std::optional<Bytes> file = Read(name);
    return file ? DecodePicture(*file, indices) : std::nullopt;
  }

  std::string folder_;
  std::vector<std::string> folder_archives_;
  CFileSystem files_;
  char saved_base_folder_[kMaxPath] = {};
};

TEST_F(DemoFilesTest, TheScriptsReadBack) {
  for (const char* name : {"SCRIPT/DL_APP.SYS", "SCRIPT/DL_APP.INF", "USER.CFG"}) {
    EXPECT_TRUE(Read(name)) << name;
  }
  const std::optional<Bytes> main = Read("SCRIPT/MAIN.SOB");
  ASSERT_TRUE(main);
  EXPECT_TRUE(ParseSobObject(std::span<const std::uint8_t>(*main).subspan(4)));
  const std::optional<Bytes> settings_screen = Read("SCRIPT/Config1.SOB");
  ASSERT_TRUE(settings_screen);
  EXPECT_TRUE(ParseSobObject(std::span<const std::uint8_t>(*settings_screen).subspan(4)));
  const std::optional<Bytes> variables = Read("SCRIPT/USER_VAR.SOB");
  ASSERT_TRUE(variables);
  UserVarObject object;
  ASSERT_EQ(ParseUserVarObject(*variables, object), 0u);
  EXPECT_EQ(object.variables.size(), 5u) << "the picked choice, the save screen's mode pair and result, the settings screen's change flags and choice";

  const std::optional<Bytes> init = Read("SCRIPT/VOV_INIT.DAT");
  ASSERT_TRUE(init);
  std::vector<ReadTextRecord> table;
  ASSERT_EQ(ParseReadTextTable(*init, table, kVovInitLayout), ReadTextTableStatus::kOk);
  ASSERT_EQ(table.size(), 2u);
  for (const ReadTextRecord& record : table) {
    const std::optional<Bytes> scenario = Read("SCRIPT/" + record.name + ".TOB");
    ASSERT_TRUE(scenario) << record.name;
    TobLayout layout;
    ASSERT_EQ(ParseTob(*scenario, layout), TobStatus::kOk) << record.name;
    EXPECT_EQ(layout.lines.size(), record.read_lines.BitCount()) << record.name << ": the table counts its lines";
    EXPECT_EQ(record.choices.BitCount(), record.name == "TITLE" ? 3u : 2u) << record.name;
  }
  EXPECT_EQ(table[0].name, "TITLE");
  EXPECT_EQ(table[1].name, "STORY");
}

TEST_F(DemoFilesTest, TheButtonLayoutNamesTenButtonsWithTheirDisabledLooks) {
  const std::optional<Bytes> file = Read("SYS/MS_FRAME.GMP");
  ASSERT_TRUE(file);
  DgmLayout layout;
  ASSERT_EQ(ParseDgmLayout(*file, DgmRecords::kShortPictures, layout), 0u);
  ASSERT_EQ(layout.parts.size(), 10u);
  for (std::size_t i = 0; i < layout.parts.size(); ++i) {
    const DgmPart& part = layout.parts[i];
    const bool check = i == 5 || i == 6;
    EXPECT_EQ(part.type, check ? 4 : 1) << "skip and auto play are check buttons";
    // The state that says the picture holds the disabled cells: after the resting, hovered and
    // pressed one, or after those of both values.
    EXPECT_EQ(part.size.state, check ? 8 : 4);
    const std::optional<Picture> picture = Decode("SYS/" + part.picture);
    ASSERT_TRUE(picture) << part.picture;
    EXPECT_EQ(picture->width, (check ? 8 : 4) * 40);
    EXPECT_GE(part.y, 578) << "below the line where auto-hidden buttons fade in";
  }
}

// Every cell of the ten buttons and the menu's eleven items carries its name, centred on its
// place (right of a menu item's dot): letters, ink more than 7 rows high in the shades that
// smoothed glyphs leave on the plate, where a plain mark would have one colour.
TEST_F(DemoFilesTest, EveryButtonAndMenuItemCellCarriesItsName) {
  struct Strip {
    std::string name;
    std::int32_t cell_width;
    std::int32_t label_centre;
  };
  std::vector<Strip> strips;
  for (int button = 0; button < 10; ++button) strips.push_back({"SYS/BT" + std::to_string(button) + ".ELG", 40, 20});
  for (int item = 0; item < 11; ++item) strips.push_back({"SYS/SM_IT" + std::to_string(item) + ".ELG", 160, 94});
  for (const Strip& strip : strips) {
    const std::optional<Picture> picture = Decode(strip.name);
    ASSERT_TRUE(picture) << strip.name;
    for (std::int32_t left = 0; left < picture->width; left += strip.cell_width) {
      const std::uint32_t plate = picture->Colour(left + 3, 1);
      std::set<std::uint32_t> shades;
      std::int32_t top = picture->height, bottom = -1, first = strip.cell_width, last = -1;
      for (std::int32_t y = 0; y < picture->height; ++y) {
        for (std::int32_t x = 2 * strip.label_centre - strip.cell_width; x < strip.cell_width; ++x) {
          const std::uint32_t colour = picture->Colour(left + x, y);
          if (colour == plate || colour >> 24 == 0) continue;
          shades.insert(colour);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
          first = std::min(first, x);
          last = std::max(last, x);
        }
      }
      EXPECT_GE(bottom - top, 7) << strip.name << " at " << left;
      EXPECT_GE(shades.size(), 4u) << strip.name << " at " << left;
      EXPECT_NEAR((first + last) / 2, strip.label_centre, 3) << strip.name << " at " << left;
    }
  }
}

TEST_F(DemoFilesTest, ThePicturesHoldTheirKnownColoursAndPlaces) {
  struct Expected {
    const char* name;
    std::int32_t width;
    std::int32_t height;
  };
  for (const Expected& e : {Expected{"SYS/MS_FRM_B.ELG", 800, 134}, Expected{"SYS/NM_FRM_B.ELG", 160, 39},
                            Expected{"SYS/MS_CURSR.ELG", 6 * 16, 16}, Expected{"SYS/SEL00B.ELG", 1448, 10},
                            Expected{"SYS/SEL01B.ELG", 1448, 28}, Expected{"SYS/SEL02B.ELG", 1448, 10},
                            Expected{"BG/TITLE.ELG", 800, 600}, Expected{"BG/PARK.ELG", 800, 600},
                            Expected{"BG/HILL.ELG", 800, 600}, Expected{"CHR/MIO.ELG", 200, 300}}) {
    const std::optional<Picture> picture = Decode(e.name);
    ASSERT_TRUE(picture) << e.name;
    EXPECT_EQ(picture->width, e.width) << e.name;
    EXPECT_EQ(picture->height, e.height) << e.name;
  }
  // Masks: 8-bit pictures whose indices are their levels, solid over the whole box.
  for (const char* mask : {"SYS/MS_FRM_A.ELG", "SYS/MS_FRM_G.ELG", "SYS/NM_FRM_A.ELG", "SYS/SEL01A.ELG",
                           "SYS/SEL00G.ELG", "SYS/SEL02A.ELG"}) {
    const std::optional<Picture> picture = Decode(mask, true);
    ASSERT_TRUE(picture) << mask;
    EXPECT_EQ(picture->bits, 8u) << mask;
    EXPECT_EQ(picture->pixels.front(), 255) << mask;
    EXPECT_EQ(picture->pixels.back(), 255) << mask;
  }
  EXPECT_EQ(Decode("BG/TITLE.ELG")->Colour(640, 110) & 0xFFFFFF, 0xF4E9B0u) << "the moon";
  const std::optional<Picture> mio = Decode("CHR/MIO.ELG");
  EXPECT_EQ(mio->Colour(100, 250), 0xFFD04870u) << "her dress";
  EXPECT_EQ(mio->Colour(0, 0) >> 24, 0u) << "transparent around her";
  EXPECT_EQ(mio->user_value0, 300) << "standing in the middle, her left edge is at x 300";
  EXPECT_EQ(mio->user_value1, 166) << "and her feet on the message window at y 466";
}

// The settings template lies loose because the set-up copies it as a file, the game settings
// because the save folder is read and written as files; the ending's star is a fix that lies loose
// over the archive's first draft. Everything else ships in the archives, and MAIN mounts each one
// the engine does not. (Saves that a played demo wrote into its save folder are not counted.)
TEST_F(DemoFilesTest, TheFoldersShipInArchivesThatMainMountsBesideAFewLooseFiles) {
  const std::vector<std::string> loose_files{"BG/ENDING.ELG", "SAVEDATA/APP_CFG.DAT", "USER.CFG"};
  std::vector<std::string> loose;
  for (const std::filesystem::directory_entry& entry : std::filesystem::recursive_directory_iterator(folder_)) {
    const std::string name = entry.path().lexically_relative(folder_).generic_string();
    const bool played_save = name.starts_with("SAVEDATA/") && name != "SAVEDATA/APP_CFG.DAT";
    if (entry.is_regular_file() && !name.ends_with(".DPK") && !played_save) loose.push_back(name);
  }
  std::sort(loose.begin(), loose.end());
  EXPECT_EQ(loose, loose_files);
  EXPECT_TRUE(std::filesystem::exists(folder_ + "SCRIPT.DPK"));
  EXPECT_GE(folder_archives_.size(), 7u) << "BG, BGM, CHR, MOVIE, SE, SYS and VOICE";
  const std::optional<Bytes> main = Read("SCRIPT/MAIN.SOB");
  ASSERT_TRUE(main);
  for (const std::string& archive : folder_archives_) {
    const std::string text = archive + '\0';
    EXPECT_NE(std::search(main->begin(), main->end(), text.begin(), text.end()), main->end())
        << "MAIN mounts " << archive;
  }
}

TEST_F(DemoFilesTest, ALooseFileIsReadBeforeItsPackedCopy) {
  const std::optional<Bytes> packed = ReadPacked("BG.DPK", "ENDING.ELG");
  const std::optional<Bytes> read = Read("BG/ENDING.ELG");
  ASSERT_TRUE(packed);
  ASSERT_TRUE(read);
  std::ifstream in(folder_ + "BG/ENDING.ELG", std::ios::binary);
  EXPECT_EQ(*read, Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())) << "the loose file";
  EXPECT_NE(*read, *packed);
  const std::optional<Picture> fixed = DecodePicture(*read);
  const std::optional<Picture> draft = DecodePicture(*packed);
  ASSERT_TRUE(fixed);
  ASSERT_TRUE(draft);
  EXPECT_EQ(fixed->Colour(400, 240) & 0xFFFFFF, 0xFFF6D8u) << "the star of the loose fix";
  EXPECT_NE(draft->Colour(400, 240) & 0xFFFFFF, 0xFFF6D8u) << "the archive's draft without it";
}

}  // namespace
