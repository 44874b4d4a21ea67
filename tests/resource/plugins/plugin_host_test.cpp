#include "resource/plugins/plugin_host.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/system/diagnostic_log.h"
#include "resource/archives/file_system.h"
#include "support/data_files_fixture.h"
#include "support/native_code_folder.h"

namespace {

const std::string kPluginFolder = KESTRUNE_TEST_PLUGIN_DIR;

class PluginHostTest : public test_support::DataFilesTest {
 protected:
  // The plug-ins the tests install count as the player's.
  test_support::ScopedNativeCodeFolder native_code_{game_.EnginePath()};
  // Puts a built test plug-in into the game's "plugin" folder under `name`.
  void Install(const std::string& variant, const std::string& name) {
    game_.MakeFolder("plugin");
    std::filesystem::copy_file(kPluginFolder + "/" + variant + ".ADL", game_.HostPath() + "plugin/" + name);
  }
  unsigned Load(const std::string& variant) {
    Install(variant, variant + ".ADL");
    return files_->LoadArchiveDecoderPlugin(("plugin\\" + variant + ".ADL").c_str());
  }
};

class NamedDecoder final : public CArchiveDecoder {
 public:
  explicit NamedDecoder(int name) : name_(name) {}
  RefPtr<CArchive> Open(const char*, plat::FileHandle&, int* error) override {
    if (error != nullptr) *error = name_;
    return nullptr;
  }
  std::int32_t AssistFunc(std::uint32_t command, const PluginArgs& args) override {
    const PluginArgList words = PluginArgList::WithCommand(command, args);
    return words.View().I32(0) + words.View().I32(2) + static_cast<std::int32_t>(words.View().count);
  }
  int name_;
};

TEST_F(PluginHostTest, LoadStatusesOfPluginLibraries) {
  EXPECT_EQ(Load("full"), kPluginLoaded);
  EXPECT_EQ(Load("without_config"), kPluginLoaded);
  EXPECT_EQ(Load("without_assist2"), kPluginMissingExport);
  EXPECT_EQ(Load("null_object"), kPluginNoObject);
  EXPECT_EQ(Load("null_extensions"), kPluginOtherFailure);
  EXPECT_EQ(files_->LoadArchiveDecoderPlugin("plugin\\MISSING.ADL"), kPluginNotLoadable);
  EXPECT_EQ(files_->LoadArchiveDecoderPlugin(std::string(300, 'p').c_str()), kPluginBadPath);
  EXPECT_EQ(files_->LoadArchiveDecoderPlugin(nullptr), kPluginBadPath);

  // The two that loaded answer through their records.
  CArchiveDecoder* decoder = files_->FindArchiveDecoder("DATA.ts2");
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(decoder->AssistFunc(4, PluginArgList{1, 2}.View()), 42);
  PluginAssistFunc2 assist2 = files_->GetAssistFunc2(0x51);
  ASSERT_NE(assist2, nullptr);
  const PluginArgList words{3, 10, 20};
  const PluginArgs view = words.View();
  EXPECT_EQ(assist2(&view), 3030);
  EXPECT_EQ(files_->GetAssistFunc2(0x52), nullptr);
  files_->UnloadArchiveDecodersOfType(0x51);
  EXPECT_EQ(files_->FindArchiveDecoder("DATA.TST"), nullptr);
}

TEST_F(PluginHostTest, FolderLoadSkipsWindowsLibraries) {
  Install("full", "FULL.ADL");
  Install("without_config", "second.adl");
  Install("without_assist2", "BROKEN.ADL");
  Install("full", "NOT_A_PLUGIN.GLL");
  game_.WriteFile("plugin/WINDOWS.ADL", std::string("MZ\x90\0", 4) + std::string(124, '\0'));
  std::vector<std::string> log;
  plat::ScopedDiagnosticSink sink([&](std::string_view line) { log.emplace_back(line); });
  EXPECT_EQ(files_->LoadArchiveDecoderPlugins("plugin"), 2);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_NE(log[0].find("WINDOWS.ADL"), std::string::npos);
  EXPECT_EQ(files_->LoadArchiveDecoderPlugins(std::string(300, 'p').c_str()), -1);
  EXPECT_EQ(files_->LoadArchiveDecoderPlugins("none"), 0);
}

TEST_F(PluginHostTest, DecodersAreFoundByExtensionInRegistrationOrder) {
  auto registered = [&](int name, const char* extensions, std::uint32_t type) {
    return files_->RegisterArchiveDecoder(std::make_unique<NamedDecoder>(name), extensions, "named", type, nullptr,
                                          nullptr, nullptr);
  };
  EXPECT_EQ(files_->RegisterArchiveDecoder(nullptr, "DPK\0", "none", 1, nullptr, nullptr, nullptr), 1u);
  ASSERT_EQ(registered(1, "DPK\0", 1), 0u);
  ASSERT_EQ(registered(2, "XYZ\0DPK\0", 2), 0u);
  ASSERT_EQ(registered(3, "\x83\x5C\0", 3), 0u);
  auto found = [&](const char* name) {
    CArchiveDecoder* decoder = files_->FindArchiveDecoder(name);
    return decoder != nullptr ? static_cast<NamedDecoder*>(decoder)->name_ : 0;
  };
  EXPECT_EQ(found("SCRIPT.DPK"), 1);
  EXPECT_EQ(found("script.dpk"), 1);
  EXPECT_EQ(found("a.xyz"), 2);
  EXPECT_EQ(found("SCRIPT"), 0);
  EXPECT_EQ(found("a.\x83\x5C"), 3);  // an extension made of a two-byte character
  EXPECT_EQ(found("SCRIPT.DPK.BAK"), 0);

  files_->UnloadArchiveDecodersOfType(1);
  EXPECT_EQ(found("SCRIPT.DPK"), 2);
  EXPECT_EQ(files_->FindArchiveDecoder("a.xyz")->AssistFunc(5, PluginArgList{6, 7}.View()), 5 + 7 + 3);
  files_->UnloadArchiveDecoders();
  EXPECT_EQ(found("a.xyz"), 0);
}

TEST(PluginArgs, ShortListsReadAsZeroAndWordsCarryPointers) {
  int target = 17;
  const PluginArgList list{0xFFFFFFFFu, reinterpret_cast<std::uintptr_t>(&target)};
  const PluginArgs args = list.View();
  EXPECT_EQ(args.I32(0), -1);
  EXPECT_EQ(*args.Pointer<int>(1), 17);
  EXPECT_EQ(args.U32(2), 0u);
  EXPECT_EQ(args.From(1).count, 1u);
  EXPECT_EQ(args.From(5).count, 0u);
  EXPECT_EQ(args.From(5).Word(0), 0u);
}

}  // namespace
