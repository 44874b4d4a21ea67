#include "app/framework/system_report.h"

#include <gtest/gtest.h>

#include "gfx/display/screen_manager.h"
#include "platform/encoding/text_encoding.h"

namespace {

std::string Sjis(const char* utf8) { return plat::Utf8ToSjis(utf8); }

SystemReportFacts SampleFacts() {
  SystemReportFacts facts;
  facts.app.product_name = "Title";
  facts.app.copyright = "(C) Maker";
  facts.app.web_address = "http://example.invalid/";
  facts.system.os_name = "Linux";
  facts.system.os_version = "6.1";
  facts.system.language = "ja_JP";
  facts.system.memory_total = 24ull << 30;
  facts.system.memory_available = 5ull << 30;
  facts.system.swap_total = 8ull << 20;
  facts.system.swap_available = 3ull << 20;
  facts.system.processor_count = 8;
  facts.desktop = plat::DesktopInfo{1920, 1080, 32, 0, {}};
  facts.cpu.vendor = "GenuineIntel";
  facts.cpu.brand = "Brand CPU";
  facts.cpu.name = "Intel Pentium 4(Northwood)";
  facts.cpu.mmx = true;
  facts.cpu.sse2 = true;
  facts.cpu.caches.l1_data = 32;
  facts.cpu.caches.l2 = 512;
  facts.megahertz = 2400;
  return facts;
}

TEST(SystemReportTest, DirectXVersionPrintsItsMajorNumberAndTheRegistryText) {
  EXPECT_EQ(FormatDirectXVersion(4u << 16 | 9, 0u << 16 | 904), "DirectX 9 (4.09.00.0904)\r\n");
  EXPECT_EQ(FormatDirectXVersion(0, 0), "Unknown\r\n");
}

TEST(SystemReportTest, ShortFormListsSystemThenDevicesAndEndsThere) {
  const std::string report = WriteSystemReport(SampleFacts(), false);
  EXPECT_EQ(report.rfind(Sjis("「Title」Version 1.00\r\n(C) Maker\r\nhttp://example.invalid/\r\n\r\n------ システム ------\r\n"
                              "OS              : Linux (6.1) ja_JP\r\nDirectX         : Unknown\r\n"
                              "CPU             : Brand CPU [ Intel Pentium 4(Northwood) ]\r\n"
                              "メモリ          : 24576MB (5120MB 使用可能)\r\n"
                              "ページファイル  : 5MB 使用中 / 3MB 使用可能\r\n"
                              "ディスプレイ    : 1920x1080 32bit\r\n"),
                         0),
            0u);
  const std::size_t devices = report.find(Sjis("------ デバイス ------\r\nサウンドカード  : 不明\r\n"
                                               "DirectDraw      : 未初期化\r\nDirectSound     : 無効\r\n"));
  ASSERT_NE(devices, std::string::npos);
  EXPECT_LT(report.find(Sjis("フレームスキップ")), devices);
  EXPECT_TRUE(report.ends_with(Sjis("SSE命令         : 使用しない\r\n")));
  EXPECT_EQ(report.find(Sjis("------ CPU ------")), std::string::npos);
}

TEST(SystemReportTest, DetailedFormMarksEachProcessorFeatureAndTheClock) {
  const std::string report = WriteSystemReport(SampleFacts(), true);
  EXPECT_NE(report.find(Sjis("------ CPU ------\r\nCPU情報    : Brand CPU [ Intel Pentium 4(Northwood) ]\r\n"
                             "             Vender GenuineIntel / Type 0 / Family 0 / Model 0 / Stepping 0\r\n"
                             "CPUクロック: 2.40GHz (8 CPU)\r\nキャッシュ : L1 D-Cache 32KB / L2 Cache 512KB\r\n"
                             "拡張機能   : FPU × / TSC × / CMOV ×\r\n"
                             "             MMX ○ / SSE × / SSE2 ○ / SSE3 ×\r\n"
                             "             MMX+ × / 3DNow! × / 3DNow!+ × / HTT ×\r\n\r\n")),
            std::string::npos);
  EXPECT_EQ(report.find(Sjis("CPU             : ")), std::string::npos);
  EXPECT_EQ(report.find(Sjis("------ デバイス ------")), std::string::npos);
}

TEST(SystemReportTest, DetailedFormNamesTheFirstUsableSoundDeviceAndDrivesAndProcesses) {
  SystemReportFacts facts = SampleFacts();
  facts.sound_devices = {{std::nullopt, "Default", ""},
                         {plat::AudioDeviceGuid{}, "Card A", "alsa"},
                         {plat::AudioDeviceGuid{}, "Card B", "pulse"}};
  facts.drives = {{"/", CStartUpLog::DriveKind::kFixed, 1234567ull << 20, 3000000ull << 20},
                  {"/mnt/net", CStartUpLog::DriveKind::kNetwork, 0, 0}};
  const std::string report = WriteSystemReport(facts, true);
  EXPECT_NE(report.find(Sjis("----- DirectSound -----\r\nDirectSound状態 : 有効\r\nサウンドカード  : Card A\r\n"
                             "ドライバファイル: alsa\r\n※複数のサウンドデバイスが接続されています。\r\n")),
            std::string::npos);
  EXPECT_NE(report.find(Sjis("----- ドライブ情報 -----\r\n [/]   1,234,567 /   3,000,000 MB\r\n"
                             " [/mnt/net] ネットワークドライブ\r\n\r\n----- プロセス -----\r\n"
                             "スナップショットの作成に失敗\r\n")),
            std::string::npos);
  facts.sound_devices.clear();
  EXPECT_NE(WriteSystemReport(facts, true).find(Sjis("----- DirectSound -----\r\n利用できません\r\n")),
            std::string::npos);
}

}  // namespace

namespace {

// A screen that presents through the texture is reported as such in both forms, with its
// drawing device, surfaces and texture; the full-screen line gives the display mode.
TEST(SystemReportTest, TheScreenIsReportedAsItRuns) {
  SystemReportFacts facts = SampleFacts();
  facts.screen_up = true;
  ScreenReport& screen = facts.screen;
  screen.render_mode = CScreenManager::kRenderTexture;
  screen.full_screen = true;
  screen.display_name = "screen";
  screen.mode_width = 1280;
  screen.mode_height = 1024;
  screen.mode_depth = 32;
  screen.driver_description = "surfaces";
  screen.driver_name = "gl";
  screen.driver_version = 0x0002001A00050000ull;
  screen.has_surfaces = true;
  screen.primary_caps = 0x200;
  screen.back_caps = 0x800;
  screen.pixel.bits_per_pixel = 32;
  screen.pixel.red_bits = screen.pixel.green_bits = screen.pixel.blue_bits = 8;
  screen.pixel.red_mask = 0xFF0000;
  screen.pixel.green_mask = 0xFF00;
  screen.pixel.blue_mask = 0xFF;
  screen.pixel_code = 32;
  screen.texture_width = 1024;
  screen.texture_height = 512;
  screen.texture_code = 32;
  const std::string brief = WriteSystemReport(facts, false);
  EXPECT_NE(brief.find(Sjis("画面更新方法    : Direct3D\r\n")), std::string::npos) << brief;
  EXPECT_NE(brief.find(Sjis("------ デバイス ------\r\nビデオカード    : surfaces\r\n")), std::string::npos);
  EXPECT_NE(brief.find(Sjis("DirectDraw      : HAL\r\nVSync待ち描画   : 無効\r\n")), std::string::npos);
  const std::string detailed = WriteSystemReport(facts, true);
  EXPECT_NE(detailed.find(Sjis("------ フルスクリーンモード ------\r\nディスプレイ      : screen\r\n"
                               "                    1280x1024 32bit\r\n< DirectDraw >\r\n"
                               "ビデオカード      : surfaces\r\nドライバファイル  : gl\r\n"
                               "ドライバ Version  : 2.26.5.0\r\n動作モード        : HAL\r\n")),
            std::string::npos)
      << detailed;
  EXPECT_NE(detailed.find(Sjis("プライマリバッファ: VRAM / Caps[0x00000200]\r\n"
                               "バックバッファ    : システムメモリ / Caps[0x00000800]\r\n"
                               "ピクセル情報      : 32bit Type[0x0020] RGB888/00ff0000:0000ff00:000000ff\r\n")),
            std::string::npos);
  EXPECT_NE(detailed.find(Sjis("< Direct3D >\r\nテクスチャ        : 1024x512 Type[0x0020]\r\nテクスチャ直接転送: 有効\r\n")),
            std::string::npos);
  EXPECT_EQ(detailed.find(Sjis("GDI描画")), std::string::npos);
  facts.screen = ScreenReport{};
  EXPECT_NE(WriteSystemReport(facts, true).find(Sjis("------ ウィンドウモード ------\r\nGDI描画\r\n")), std::string::npos);
}

}  // namespace
