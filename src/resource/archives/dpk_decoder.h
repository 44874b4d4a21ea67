// The built-in archive decoder of DPK archives, and its program-wide settings: the game's two
// key words and whether archives build their name and information tables. The game's set-up
// hands its settings over through the decoder's assist entries, which the plug-in record of
// the data-file layer carries.
#pragma once

#include <cstdint>

#include "resource/archives/archive.h"
#include "resource/archives/dpk_keys.h"
#include "resource/plugins/plugin_args.h"

class CFileSystem;

class CDpkDecoder final : public CArchiveDecoder {
 public:
  // 0, 1 not a DPK archive, 3 the file does not open, 5 no path, 7 a read failed or the index
  // does not hold together, 8 no memory, 14 unexpected.
  RefPtr<CArchive> Open(const char* path, plat::FileHandle& file, int* error) override;
  std::int32_t AssistFunc(std::uint32_t command, const PluginArgs& args) override;
};

inline constexpr std::uint32_t kDpkAssistBuildTables = 0;
inline constexpr std::uint32_t kDpkAssistKeyWords = 1;

// The assist entries: command 0 {flag} sets whether archives opened afterwards build their
// tables (the flag's low byte non-zero); command 1 {first, second} sets the key words.
// 0, or 5 for any other command. The second entry takes the command as its first word.
std::int32_t DpkAssistFunc(std::uint32_t command, const PluginArgs* args);
std::int32_t DpkAssistFunc2(const PluginArgs* args);

struct DpkDecoderSettings {
  bool build_tables = false;
  DpkKeyWords keys = kDefaultDpkKeyWords;
};
DpkDecoderSettings GetDpkDecoderSettings();

// Registers the decoder with the data-file layer for "DPK" ("DPK format", type 1) with its
// assist entries. 0, or the layer's status.
unsigned RegisterDpkDecoder(CFileSystem& files);
