#include "resource/plugins/sound_decoder_manager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/data_files_fixture.h"
#include "support/native_code_folder.h"
#include "support/log_capture.h"

namespace {

// What the fake providers saw of the files they were offered.
struct ProviderLog {
  std::vector<std::string> offers;  // provider name, then ":whole" or ":stream"
};

class FakeDecoder final : public CSoundDecoder {
 public:
  FakeDecoder(CFile& file, std::string provider) : file_(&file), provider_(std::move(provider)) { file.AddRef(); }
  ~FakeDecoder() override { file_->Release(); }
  std::uint32_t GetLength() const override { return 0; }
  std::uint32_t GetDataSize() const override { return file_->GetSize(); }
  std::uint32_t Seek(std::uint32_t) override { return 0; }
  std::uint32_t GetPosition() const override { return 0; }
  bool IsEnd() const override { return true; }
  std::uint32_t Read(void*, std::uint32_t) override { return 0; }
  const plat::WaveFormat* GetFormat() const override { return &format_; }

  CFile* file_;
  std::string provider_;
  plat::WaveFormat format_;
};

// Accepts files whose contents begin with `magic`.
class FakeProvider final : public CSoundDecoderProvider {
 public:
  FakeProvider(std::string name, std::string magic, ProviderLog& log)
      : name_(std::move(name)), magic_(std::move(magic)), log_(log) {}
  RefPtr<CSoundDecoder> CreateDecoder(CFile& file, int* error) override {
    log_.offers.push_back(name_ + (file.GetData() != nullptr ? ":whole" : ":stream"));
    char head[8] = {};
    file.SeekBegin(0);
    const std::uint32_t read = file.Read(head, static_cast<std::uint32_t>(magic_.size()));
    file.SeekBegin(0);
    if (read != magic_.size() || std::memcmp(head, magic_.data(), magic_.size()) != 0) {
      if (error != nullptr) *error = 1;
      return nullptr;
    }
    return RefPtr<CSoundDecoder>(new FakeDecoder(file, name_));
  }
  std::string name_;
  std::string magic_;
  ProviderLog& log_;
};

class SoundDecoderManagerTest : public test_support::DataFilesTest {
 protected:
  // The plug-ins the tests install count as the player's.
  test_support::ScopedNativeCodeFolder native_code_{game_.EnginePath()};
  void SetUp() override {
    DataFilesTest::SetUp();
    game_.WriteFile("BGM.OGG", "OggS and the rest");
    game_.WriteFile("x.dat", "RIFF of a wave");
    game_.WriteFile("odd.ogg", "RIFF under the wrong name");
  }
  void RegisterBoth() {
    ASSERT_EQ(host_.RegisterDecoder(DecoderPtr<SllFamily>(new FakeProvider("ogg", "OggS", log_)), "OGG\0",
                                    "Ogg Vorbis format", 2, nullptr, nullptr, nullptr),
              0u);
    ASSERT_EQ(host_.RegisterDecoder(DecoderPtr<SllFamily>(new FakeProvider("riff", "RIFF", log_)), "WAV\0", "Wave", 7,
                                    nullptr, nullptr, nullptr),
              0u);
  }
  std::string Opened(const char* name, bool prefer_stream, int* error) {
    RefPtr<CSoundDecoder> decoder = host_.OpenSound(name, nullptr, prefer_stream, error);
    return decoder ? static_cast<FakeDecoder&>(*decoder).provider_ : "";
  }

  ProviderLog log_;
  CSoundDecoderManager host_;
};

TEST_F(SoundDecoderManagerTest, ChoosesByExtensionThenByContent) {
  RegisterBoth();
  int error = -1;
  EXPECT_EQ(Opened("BGM.OGG", true, &error), "ogg");
  EXPECT_EQ(error, 0);
  EXPECT_EQ(log_.offers, (std::vector<std::string>{"ogg:stream"}));

  // No decoder names ".dat": every provider is asked in turn.
  log_.offers.clear();
  EXPECT_EQ(Opened("x.dat", true, &error), "riff");
  EXPECT_EQ(log_.offers, (std::vector<std::string>{"ogg:stream", "riff:stream"}));

  // The provider of the extension refuses: the others are asked, never it twice.
  log_.offers.clear();
  EXPECT_EQ(Opened("odd.ogg", false, &error), "riff");
  EXPECT_EQ(log_.offers, (std::vector<std::string>{"ogg:whole", "riff:whole"}));

  EXPECT_EQ(host_.FindDecoderByType(7), host_.FindDecoderByExtension("a.wav"));
  EXPECT_EQ(host_.FindDecoderByType(9), nullptr);
}

TEST_F(SoundDecoderManagerTest, LoadWholeFlagNeverOpensAStream) {
  RegisterBoth();
  host_.SetLoadWhole(true);
  int error = -1;
  EXPECT_EQ(Opened("BGM.OGG", true, &error), "ogg");
  EXPECT_EQ(Opened("x.dat", true, &error), "riff");
  for (const std::string& offer : log_.offers) EXPECT_NE(offer.find(":whole"), std::string::npos) << offer;
}

TEST_F(SoundDecoderManagerTest, FailuresGiveTheirStatuses) {
  int error = -1;
  EXPECT_EQ(Opened("BGM.OGG", true, &error), "");
  EXPECT_EQ(error, CSoundDecoderManager::kNoDecoder);

  RegisterBoth();
  EXPECT_EQ(Opened("MISSING.OGG", false, &error), "");
  EXPECT_EQ(error, CSoundDecoderManager::kFileFailed);
  EXPECT_EQ(Opened(nullptr, false, &error), "");
  EXPECT_EQ(error, CSoundDecoderManager::kFileFailed);
  game_.WriteFile("plain.txt", "nothing to hear");
  LogCapture log;
  EXPECT_EQ(Opened("plain.txt", false, &error), "");
  EXPECT_EQ(error, CSoundDecoderManager::kNoDecoder);
  // A sound there that nothing decodes is named in the log, once; a missing one was not.
  EXPECT_EQ(log.Lines(), (std::vector<std::string>{"sound \"plain.txt\" cannot be read: no sound decoder takes its "
                                                   "contents (it is damaged, or of another format)"}));
  EXPECT_EQ(host_.RegisterDecoder(nullptr, "OGG\0", "none", 3, nullptr, nullptr, nullptr), 1u);

  host_.UnloadDecodersOfType(2);
  EXPECT_EQ(host_.FindDecoderByExtension("BGM.OGG"), nullptr);
}

TEST_F(SoundDecoderManagerTest, ACallersFileStaysTheCallersAndADecoderHoldsItsOwn) {
  RegisterBoth();
  game_.WriteFile("plain.txt", "nothing to hear");
  RefPtr<CFile> plain = MakeRef<CFile>();
  ASSERT_EQ(plain->Load("plain.txt"), 0u);
  int error = -1;
  EXPECT_EQ(host_.OpenSound("plain.ogg", plain.get(), true, &error), nullptr);
  EXPECT_EQ(plain->GetRefCount(), 0u);

  RefPtr<CFile> file = MakeRef<CFile>();
  ASSERT_EQ(file->Load("x.dat"), 0u);
  RefPtr<CSoundDecoder> decoder = host_.OpenSound(nullptr, file.get(), true, &error);
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(file->GetRefCount(), 1u);  // the caller's and the decoder's
  decoder.reset();
  EXPECT_EQ(file->GetRefCount(), 0u);
}

TEST_F(SoundDecoderManagerTest, APluginLibraryDecodesItsFormat) {
  game_.MakeFolder("plugin");
  std::filesystem::copy_file(std::string(KESTRUNE_TEST_PLUGIN_DIR) + "/full.SLL", game_.HostPath() + "plugin/full.SLL");
  game_.WriteFile("plugin/WINDOWS.SLL", std::string("MZ\x90\0", 4) + std::string(124, '\0'));
  EXPECT_EQ(host_.LoadDecoderPlugins("plugin"), 1);
  game_.WriteFile("voice.snd", "SLL! twelve bytes");
  int error = -1;
  RefPtr<CSoundDecoder> decoder = host_.OpenSound("voice.snd", nullptr, true, &error);
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(decoder->GetDataSize(), 17u);
  EXPECT_EQ(decoder->GetFormat()->block_align, 4);
  PluginAssistFunc2 assist2 = host_.GetAssistFunc2(0x61);
  ASSERT_NE(assist2, nullptr);
  const PluginArgList words{41};
  const PluginArgs view = words.View();
  EXPECT_EQ(assist2(&view), 42);
  decoder.reset();
  host_.UnloadDecoders();
  EXPECT_EQ(host_.FindDecoderByExtension("voice.snd"), nullptr);
}

}  // namespace
