#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"
#include "support/data_files_fixture.h"
#include "support/native_code_folder.h"

namespace {

const std::string kPluginFolder = KESTRUNE_TEST_PLUGIN_DIR;

int g_live_objects = 0;
std::vector<std::string> g_finished;

// A built-in draw object whose set-up returns its first argument word.
class CountedEffect final : public CDcpObject {
 public:
  explicit CountedEffect(std::uint32_t number) : number_(number) { ++g_live_objects; }
  ~CountedEffect() override { --g_live_objects; }
  std::int32_t SetUp(const PluginArgs& args) override { return args.I32(0); }
  std::uint32_t number_;
};

CDcpObject* MakeEffect(std::uint32_t number) { return new CountedEffect(number); }
CDcpObject* MakeNothing(std::uint32_t) { return nullptr; }

class CountedTransition final : public CTcpObject {
 public:
  CountedTransition() { ++g_live_objects; }
  ~CountedTransition() override { --g_live_objects; }
  std::int32_t Create(std::uintptr_t parameter, const PluginArgs& args) override {
    parameter_ = parameter;
    return args.I32(0);
  }
  std::uintptr_t parameter_ = 0;
};

CTcpObject* MakeTransition(std::uint32_t) { return new CountedTransition; }
void FinishCross() { g_finished.push_back("cross"); }
void FinishRule() { g_finished.push_back("rule"); }
int g_ripple_start_ups = 0;
void StartRipple() { ++g_ripple_start_ups; }

class ObjectPluginHostTest : public test_support::DataFilesTest {
 protected:
  // The plug-ins the tests install count as the player's.
  test_support::ScopedNativeCodeFolder native_code_{game_.EnginePath()};
  unsigned Load(const std::string& variant) {
    game_.MakeFolder("plugin");
    std::filesystem::copy_file(kPluginFolder + "/" + variant + ".DCP", game_.HostPath() + "plugin/" + variant + ".DCP",
                               std::filesystem::copy_options::overwrite_existing);
    return dcp_.LoadObjectPlugin(("plugin\\" + variant + ".DCP").c_str());
  }
  CDcpPluginManager dcp_;
};

TEST_F(ObjectPluginHostTest, FirstRegistrationOfANameWinsAndNamesKeepTheirCase) {
  ASSERT_EQ(dcp_.RegisterObject(&MakeEffect, "bg_zoom", 0, nullptr, nullptr, 4), 0u);
  ASSERT_EQ(dcp_.RegisterObject(&MakeEffect, "bg_zoom", 0, nullptr, nullptr, 9), 0u);
  EXPECT_EQ(dcp_.RegisterObject(nullptr, "none", 0, nullptr, nullptr, 0), 1u);
  EXPECT_EQ(dcp_.RegisterObject(&MakeEffect, nullptr, 0, nullptr, nullptr, 0), 1u);
  std::uint32_t number = 0;
  EXPECT_EQ(dcp_.FindObject("bg_zoom", &number), &MakeEffect);
  EXPECT_EQ(number, 4u);
  EXPECT_EQ(dcp_.FindObject("BG_ZOOM", &number), nullptr);
  EXPECT_EQ(dcp_.CreateObject("Bg_Zoom"), nullptr);

  RefPtr<CDcpObject> object = dcp_.CreateObject("bg_zoom");
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(static_cast<CountedEffect&>(*object).number_, 4u);
}

TEST_F(ObjectPluginHostTest, CreationReleasesAnObjectWhoseSetUpFails) {
  ASSERT_EQ(dcp_.RegisterObject(&MakeEffect, "bg_blur", 0, nullptr, nullptr, 0), 0u);
  ASSERT_EQ(dcp_.RegisterObject(&MakeNothing, "bg_none", 0, nullptr, nullptr, 0), 0u);
  EXPECT_EQ(dcp_.CreateObjectV("bg_blur", PluginArgList{3}.View()), nullptr);
  EXPECT_EQ(g_live_objects, 0);
  RefPtr<CDcpObject> made = dcp_.CreateObjectV("bg_blur", PluginArgList{0}.View());
  EXPECT_NE(made, nullptr);
  EXPECT_EQ(g_live_objects, 1);
  made.reset();
  EXPECT_EQ(dcp_.CreateObjectV("bg_none", PluginArgList{0}.View()), nullptr);
  EXPECT_EQ(dcp_.CreateObjectV("missing", PluginArgList{0}.View()), nullptr);

  CTcpPluginManager tcp;
  ASSERT_EQ(tcp.RegisterObject(&MakeTransition, "cross", 0, 0, 0, nullptr, &FinishCross), 0u);
  EXPECT_EQ(tcp.CreateObjectV(77, "cross", PluginArgList{1}.View()), nullptr);
  EXPECT_EQ(g_live_objects, 0);
  RefPtr<CTcpObject> cross = tcp.CreateObjectV(77, "cross", PluginArgList{0}.View());
  ASSERT_NE(cross, nullptr);
  EXPECT_EQ(static_cast<CountedTransition&>(*cross).parameter_, 77u);
}

TEST_F(ObjectPluginHostTest, RemovingATransitionRecordCallsItsFinishEntry) {
  g_finished.clear();
  {
    CTcpPluginManager tcp;
    tcp.RegisterObject(&MakeTransition, "cross", 0, 0, 0, nullptr, &FinishCross);
    tcp.RegisterObject(&MakeTransition, "mosaic", 1, 0, 1, nullptr, nullptr);
    tcp.RegisterObject(&MakeTransition, "rule", 0, 0, 0, nullptr, &FinishRule);
    tcp.UnloadObjectsOfType(1);
    EXPECT_TRUE(g_finished.empty());
    EXPECT_EQ(tcp.GetObjects().GetRecordCount(), 2u);
  }
  EXPECT_EQ(g_finished, (std::vector<std::string>{"cross", "rule"}));
}

TEST_F(ObjectPluginHostTest, ATransitionStartsUpOnceAtTheFirstLookupOfItsName) {
  g_ripple_start_ups = 0;
  CTcpPluginManager tcp;
  ASSERT_EQ(tcp.RegisterObject(&MakeTransition, "ripple", 0, 0, 0, &StartRipple, nullptr), 0u);
  EXPECT_EQ(g_ripple_start_ups, 0) << "not at registration";
  EXPECT_EQ(tcp.FindObject("cross", nullptr), nullptr);
  EXPECT_EQ(g_ripple_start_ups, 0) << "nor at the lookup of another name";
  EXPECT_EQ(tcp.CreateObjectV(0, "ripple", PluginArgList{1}.View()), nullptr);
  EXPECT_EQ(g_ripple_start_ups, 1) << "a lookup starts it up, whatever the creation gives";
  EXPECT_NE(tcp.CreateObjectV(0, "ripple", PluginArgList{0}.View()), nullptr);
  EXPECT_NE(tcp.FindObject("ripple", nullptr), nullptr);
  EXPECT_EQ(g_ripple_start_ups, 1);
}

TEST_F(ObjectPluginHostTest, ALibraryGoesWithTheLastRecordOfItsObjects) {
  ASSERT_EQ(dcp_.RegisterObject(&MakeEffect, "wave", 5, nullptr, nullptr, 0), 0u);
  ASSERT_EQ(Load("full"), kPluginLoaded);
  EXPECT_EQ(dcp_.GetObjects().GetRecordCount(), 4u);
  EXPECT_EQ(dcp_.GetObjects().GetModuleReferences(0), 2);

  // The built-in "wave" registered first wins; the library's objects answer by their number.
  EXPECT_EQ(dcp_.FindObject("wave", nullptr), &MakeEffect);
  std::uint32_t number = 0;
  ASSERT_NE(dcp_.FindObject("glow", &number), nullptr);
  EXPECT_EQ(number, 2u);
  EXPECT_NE(dcp_.CreateObjectV("ripple", PluginArgList{101}.View()), nullptr);
  EXPECT_EQ(dcp_.CreateObjectV("ripple", PluginArgList{100}.View()), nullptr);
  ObjectAssistFunc assist = dcp_.FindAssistFunc("glow");
  ASSERT_NE(assist, nullptr);
  const PluginArgList words{41};
  const PluginArgs view = words.View();
  EXPECT_EQ(assist(&view), 42);
  EXPECT_EQ(dcp_.FindAssistFunc2("glow"), nullptr);

  // Type 5 takes two of the library's objects (and the built-in): the library stays for "glow".
  dcp_.UnloadObjectsOfType(5);
  EXPECT_EQ(dcp_.GetObjects().GetRecordCount(), 1u);
  ASSERT_EQ(dcp_.GetObjects().GetModuleCount(), 1u);
  EXPECT_EQ(dcp_.GetObjects().GetModuleReferences(0), 0);
  dcp_.UnloadObjectsOfType(7);
  EXPECT_EQ(dcp_.GetObjects().GetModuleCount(), 0u);
}

TEST_F(ObjectPluginHostTest, LoadStatusesOfObjectLibraries) {
  ASSERT_EQ(Load("empty"), kPluginLoaded);
  EXPECT_EQ(dcp_.GetObjects().GetRecordCount(), 0u);
  ASSERT_EQ(dcp_.GetObjects().GetModuleCount(), 1u);
  EXPECT_EQ(dcp_.GetObjects().GetModuleReferences(0), -1);
  EXPECT_EQ(Load("without_type"), kPluginMissingExport);
  EXPECT_EQ(dcp_.LoadObjectPlugin("plugin\\MISSING.DCP"), kPluginNotLoadable);
  EXPECT_EQ(dcp_.LoadObjectPlugin(std::string(300, 'p').c_str()), kPluginBadPath);
  EXPECT_EQ(dcp_.GetObjects().GetModuleCount(), 1u);

  // A folder: the plug-ins of the family load, a Windows library is skipped.
  game_.WriteFile("plugin/WINDOWS.DCP", std::string("MZ\x90\0", 4) + std::string(124, '\0'));
  dcp_.UnloadObjects();
  EXPECT_EQ(dcp_.LoadObjectPlugins("plugin"), 1);
  EXPECT_EQ(dcp_.GetObjects().GetModuleCount(), 1u);
  EXPECT_EQ(dcp_.LoadObjectPlugins(std::string(300, 'p').c_str()), -1);
}

}  // namespace
