#include "platform/files/dynamic_library.h"
#include "platform/files/elf_identity.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/system/diagnostic_log.h"
#include "support/temp_game_folder.h"

namespace {

using test_support::TempGameFolder;
namespace fs = std::filesystem;

// A library whose constructor writes "<its file>.ran".
const std::string kMarkerLibrary = std::string(KESTRUNE_CODE_MARKER_DIR) + "/marker.so";

// This program's own ELF header with the type and machine fields changed.
std::string OwnHeader(std::uint16_t type, int machine_delta = 0, unsigned char word_class = 0) {
  std::ifstream self("/proc/self/exe", std::ios::binary);
  std::string header(64, '\0');
  self.read(header.data(), 64);
  header[16] = static_cast<char>(type);
  header[17] = 0;
  header[18] = static_cast<char>(header[18] + machine_delta);
  if (word_class != 0) header[4] = static_cast<char>(word_class);
  return header;
}

TEST(DynamicLibrary, OnlySharedObjectsOfThisMachineQualify) {
  TempGameFolder folder;
  folder.WriteFile("good.so", OwnHeader(3));
  folder.WriteFile("program", OwnHeader(2));
  folder.WriteFile("other_machine.so", OwnHeader(3, 1));
  folder.WriteFile("other_class.so", OwnHeader(3, 0, 3));
  folder.WriteFile("windows.dll", std::string("MZ\x90\0\3\0\0\0", 8) + std::string(56, '\0'));
  folder.WriteFile("short.so", "\x7F" "EL");
  EXPECT_TRUE(plat::IsNativeSharedObject(folder.HostPath() + "good.so"));
  EXPECT_FALSE(plat::IsNativeSharedObject(folder.HostPath() + "program"));
  EXPECT_FALSE(plat::IsNativeSharedObject(folder.HostPath() + "other_machine.so"));
  EXPECT_FALSE(plat::IsNativeSharedObject(folder.HostPath() + "other_class.so"));
  EXPECT_FALSE(plat::IsNativeSharedObject(folder.HostPath() + "windows.dll"));
  EXPECT_FALSE(plat::IsNativeSharedObject(folder.HostPath() + "short.so"));
}

TEST(DynamicLibrary, WindowsDllIsRefusedWithALogLine) {
  TempGameFolder folder;
  folder.WriteFile("DECODER.ADL", std::string("MZ\x90\0", 4) + std::string(60, '\0'));
  std::vector<std::string> lines;
  plat::ScopedDiagnosticSink sink([&](std::string_view line) { lines.emplace_back(line); });
  std::unique_ptr<plat::DynamicLibrary> library;
  EXPECT_EQ(plat::DynamicLibrary::Load(folder.EnginePath("decoder.adl"), library),
            plat::DynamicLibrary::LoadStatus::kNotSharedObject);
  EXPECT_EQ(library, nullptr);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("DECODER.ADL"), std::string::npos);

  EXPECT_EQ(plat::DynamicLibrary::Load(folder.EnginePath("MISSING.ADL"), library),
            plat::DynamicLibrary::LoadStatus::kNotLoadable);
}

// The loader is handed the file that was opened and checked: a file put at the path while the
// rule looks, or a link at the path, never runs; and a library loaded after one that stays
// loaded is itself, not the one before it.
TEST(DynamicLibrary, TheLoaderRunsOnlyTheFileThatWasChecked) {
  TempGameFolder folder;
  for (const char* name : {"CHECKED.SO", "OTHER.SO", "TARGET.SO", "NEXT.SO"}) {
    fs::copy_file(kMarkerLibrary, folder.HostPath() + name);
  }
  fs::create_symlink(folder.HostPath() + "TARGET.SO", folder.HostPath() + "LINK.SO");
  const auto swap = [&](const std::string&) {
    fs::rename(folder.HostPath() + "CHECKED.SO", folder.HostPath() + "MOVED.SO");
    fs::rename(folder.HostPath() + "OTHER.SO", folder.HostPath() + "CHECKED.SO");
    return true;
  };
  std::unique_ptr<plat::DynamicLibrary> library;
  ASSERT_EQ(plat::DynamicLibrary::Load(folder.EnginePath("CHECKED.SO"), library, swap),
            plat::DynamicLibrary::LoadStatus::kLoaded);
  EXPECT_TRUE(folder.Exists("MOVED.SO.ran")) << "the file that was checked ran";
  EXPECT_FALSE(folder.Exists("CHECKED.SO.ran")) << "the file put at its path after the check did not";

  std::unique_ptr<plat::DynamicLibrary> linked;
  EXPECT_EQ(plat::DynamicLibrary::Load(folder.EnginePath("LINK.SO"), linked),
            plat::DynamicLibrary::LoadStatus::kNotLoadable);
  EXPECT_FALSE(folder.Exists("TARGET.SO.ran"));

  library.reset();  // the marker stays loaded
  ASSERT_EQ(plat::DynamicLibrary::Load(folder.EnginePath("NEXT.SO"), library), plat::DynamicLibrary::LoadStatus::kLoaded);
  EXPECT_TRUE(folder.Exists("NEXT.SO.ran")) << "the next library is loaded, not the one before it";
}

}  // namespace
