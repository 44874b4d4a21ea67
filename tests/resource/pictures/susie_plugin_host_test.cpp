#include "resource/pictures/susie_plugin_host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/files/read_target.h"
#include "elg_test_target.h"
#include "platform/system/diagnostic_log.h"
#include "resource/archives/file_system.h"
#include "resource/archives/susie_archive.h"
#include "resource/pictures/image_loader_manager.h"
#include "resource/pictures/susie_image_decoder.h"
#include "support/data_files_fixture.h"
#include "support/native_code_folder.h"

namespace {

const std::string kPluginFolder = KESTRUNE_TEST_PLUGIN_DIR;

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (const int value : values) bytes += static_cast<char>(value);
  return bytes;
}

// An "SQAR" archive of (name, contents) entries.
std::string Archive(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string file = "SQAR";
  for (const auto& [name, contents] : entries) {
    file += static_cast<char>(name.size());
    file += name;
    const auto size = static_cast<std::uint32_t>(contents.size());
    for (int i = 0; i < 4; ++i) file += static_cast<char>(size >> (8 * i));
    file += contents;
  }
  return file;
}

class SusiePluginHostTest : public test_support::DataFilesTest {
 protected:
  // The plug-ins the tests install count as the player's.
  test_support::ScopedNativeCodeFolder native_code_{game_.EnginePath()};
  void Install(const std::string& variant, const std::string& name) {
    game_.MakeFolder("plugin");
    std::filesystem::copy_file(kPluginFolder + "/" + variant + ".SPI", game_.HostPath() + "plugin/" + name,
                               std::filesystem::copy_options::overwrite_existing);
  }
  int Load(const std::string& variant, const SusieHosts& hosts) {
    Install(variant, variant + ".SPI");
    return LoadSusiePlugin(("plugin\\" + variant + ".SPI").c_str(), hosts);
  }
  SusieHosts Both() { return SusieHosts{&images_, files_.get()}; }

  CImageLoaderManager images_;
};

TEST_F(SusiePluginHostTest, AnImagePluginServesPicturesThroughTheImageLoaderHost) {
  ASSERT_EQ(Load("image", Both()), kSusieLoaded);
  // Two by two pixels, top row first: red, green; blue, white.
  game_.WriteFile("PIC.sq", "SQ" + Bytes({2, 2, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255}));
  ElgTestTarget target;
  const DecodeTarget decode{&ElgTestTarget::Create, nullptr, &target, 0, nullptr, nullptr};
  ASSERT_EQ(images_.DecodeFile("PIC.sq", decode, {}), CImageLoaderManager::kDone);
  const std::vector<std::uint8_t> expected = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
  EXPECT_EQ(target.Rows(), expected);

  // Found by its filter's extension, in upper case, twice.
  CImageDecoder* decoder = images_.FindLoaderByExtension("a.SQ", false);
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(images_.FindLoaderByType(5), decoder);
  EXPECT_EQ(SusieExtensionList("*.sq;*.SQ"), std::string("SQ\0SQ\0\0", 7));

  // A probe shorter than 2048 bytes reaches the plug-in padded with zeros (it reads all 2048).
  const std::string short_picture = "SQ" + Bytes({1, 1, 1, 2, 3});
  EXPECT_TRUE(decoder->IsSupported(reinterpret_cast<const std::uint8_t*>(short_picture.data()), short_picture.size(), 0));
  std::string long_data(4096, '\0');
  long_data.replace(0, short_picture.size(), short_picture);
  EXPECT_TRUE(decoder->IsSupported(reinterpret_cast<const std::uint8_t*>(long_data.data()), long_data.size(), 0));
  long_data[2047] = 1;
  EXPECT_FALSE(decoder->IsSupported(reinterpret_cast<const std::uint8_t*>(long_data.data()), long_data.size(), 0));

  // The plug-in's progress reaches the caller's, whose answer it takes.
  DibInfoBlock info;
  DibBits bits;
  auto cancel = [](std::int32_t, std::int32_t, void*) -> std::int32_t { return 1; };
  EXPECT_EQ(decoder->Decode(reinterpret_cast<const std::uint8_t*>(short_picture.data()), short_picture.size(), &info,
                            &bits, cancel, nullptr),
            CSpiImageDecoder::kPluginFailed);
  ASSERT_EQ(decoder->Decode(reinterpret_cast<const std::uint8_t*>(short_picture.data()), short_picture.size(), &info,
                            &bits, nullptr, nullptr),
            0);
  EXPECT_EQ(info->bit_count, 24);
  EXPECT_EQ(bits.size(), 4u);
}

TEST_F(SusiePluginHostTest, AnArchivePluginServesEntriesThroughTheDataFileLayer) {
  ASSERT_EQ(Load("archive", Both()), kSusieLoaded);
  game_.WriteFile("DATA.SQA", Archive({{"readme.txt", "top level"},
                                       {"dir/Hello.TXT", "hello from the plug-in"},
                                       {"empty.bin", ""},
                                       {"\x87\x54.txt", "roman one"}}));
  ASSERT_EQ(files_->MountArchive("DATA.SQA", 7, 1, true, nullptr), 0u);
  CMemoryBlockTarget target(CMemoryBlockTarget::EmptyFiles::kRefused);
  ASSERT_EQ(files_->ReadFile("DATA\\DIR\\hello.txt", target, nullptr), 0u);
  const DataBlock block = target.Detach();
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.get()), target.GetSize()), "hello from the plug-in");

  // Entries are never streamed: the layer reads them whole.
  int error = -1;
  RefPtr<CReadStream> stream = files_->OpenStream("data\\readme.txt", nullptr, &error, true);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(error, 0);

  CArchive* archive = files_->GetArchive(7, 0);
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(archive->GetEntryCount(), 4u);
  EXPECT_TRUE(archive->GetEntryInfoTable().empty());
  EXPECT_TRUE(archive->HasEntry("\xFA\x4A.TXT"));  // the other Roman numeral one
  EXPECT_TRUE(archive->HasEntry("\xFA\x40.txt"));
  EXPECT_FALSE(archive->HasEntry("\xFA\x41.txt"));
  const char* name = nullptr;
  ASSERT_NE(archive->GetEntryInfo(1, &name), nullptr);
  EXPECT_STREQ(name, "dir\\Hello.TXT");
  CMemoryBlockTarget empty(CMemoryBlockTarget::EmptyFiles::kAccepted);
  EXPECT_EQ(archive->ReadEntry(2, empty, {}), 2);
  EXPECT_EQ(archive->ReadEntry(9, empty, {}), 3);
  archive->OpenEntryStream(9, &error);
  EXPECT_EQ(error, 3);

  // Extraction into a folder; the progress of the plug-in reaches the reader.
  game_.MakeFolder("out");
  std::vector<std::int32_t> steps;
  auto& spi = static_cast<CSpiArchive&>(*archive);
  EXPECT_EQ(spi.ExtractEntryByName("DIR\\HELLO.TXT", game_.EnginePath("out").c_str(),
                                   [&](std::int32_t step, std::int32_t) { steps.push_back(step); }),
            0);
  EXPECT_EQ(game_.ReadFile("out/Hello.TXT"), "hello from the plug-in");
  EXPECT_EQ(steps, (std::vector<std::int32_t>{0, 1}));
  EXPECT_EQ(spi.ExtractEntry(0, nullptr, {}), 5);

  // With tables asked for, archives opened afterwards list their names.
  CArchiveDecoder* decoder = files_->FindArchiveDecoder("x.sqa");
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(decoder->AssistFunc(0, PluginArgList{1}.View()), 0);
  EXPECT_EQ(decoder->AssistFunc(4, PluginArgList{1}.View()), 5);
  ASSERT_EQ(files_->MountArchive("DATA.SQA", 8, 0, true, nullptr), 0u);
  EXPECT_EQ(files_->GetArchive(8, 0)->GetEntryInfoTable().size(), 4u);
  EXPECT_EQ(decoder->AssistFunc(0, PluginArgList{0}.View()), 0);

  game_.WriteFile("EMPTY.SQA", "SQAR");
  game_.WriteFile("WRONG.SQA", "ZZZZ");
  EXPECT_EQ(files_->MountArchive("EMPTY.SQA", 9, 0, true, nullptr), 2u);
  EXPECT_EQ(files_->MountArchive("WRONG.SQA", 9, 0, true, nullptr), 1u);
}

TEST_F(SusiePluginHostTest, LoadStatuses) {
  EXPECT_EQ(Load("without_info", Both()), kSusieNoPluginInfo);
  EXPECT_EQ(Load("without_picture", Both()), kSusieNotRegistered);
  EXPECT_EQ(Load("archive", SusieHosts{&images_, nullptr}), kSusieKindNotWanted);
  EXPECT_EQ(Load("image", SusieHosts{nullptr, files_.get()}), kSusieKindNotWanted);
  EXPECT_EQ(images_.FindLoaderByType(5), nullptr);
  EXPECT_EQ(LoadSusiePlugin("plugin\\MISSING.SPI", Both()), kSusieNotLoadable);
  EXPECT_EQ(LoadSusiePlugin(std::string(300, 'p').c_str(), Both()), kSusieBadPath);

  // A folder: Windows plug-ins are skipped with a line naming them.
  game_.WriteFile("plugin/WINDOWS.SPI", std::string("MZ\x90\0", 4) + std::string(124, '\0'));
  std::vector<std::string> log;
  plat::ScopedDiagnosticSink sink([&](std::string_view line) { log.emplace_back(line); });
  EXPECT_EQ(LoadSusiePlugins("plugin", Both()), 2);  // image.SPI and archive.SPI
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("WINDOWS.SPI"), std::string::npos);
  EXPECT_EQ(LoadSusiePlugins(std::string(300, 'p').c_str(), Both()), -1);
}

TEST(SusieNames, FoldedNamesHashAlike) {
  const std::vector<std::pair<std::string, std::string>> equal = {
      {"Dir\\File.TXT", "dir\\file.txt"},
      {"\x82\x60\x82\x79", "\x82\x81\x82\x9A"},  // full-width A and Z with a and z
      {"\x87\x54", "\xFA\x4A"},
      {"\xFA\x40", "\xFA\x4A"},
      {"\x87\x5D", "\xFA\x49"},
  };
  for (const auto& [a, b] : equal) {
    EXPECT_TRUE(SusieNamesEqual(a, b)) << a;
    EXPECT_EQ(SusieNameHash(a), SusieNameHash(b)) << a;
  }
  EXPECT_FALSE(SusieNamesEqual("\x83\x60", "\x83\x81"));  // only 0x82 leads full-width letters
  EXPECT_FALSE(SusieNamesEqual("a", "b"));
  EXPECT_NE(SusieNameHash(""), 0u);
}

}  // namespace
