// The save files of the game script host: a fixed header that the save and load screens read
// without loading the game (magic, version, a 100 x 75 thumbnail, title, caption), then the
// packed state record. Saves are written beside the old file and renamed over it; loads check
// the whole file before the running game is touched.
#include <cstdio>
#include <cstring>
#include <utility>
#include <variant>

#include "base/files/file_services.h"
#include "base/files/packed_block.h"
#include "base/files/path.h"
#include "base/numbers/little_endian.h"
#include "base/settings/game_settings.h"
#include "game/game_script_host.h"
#include "game/save_file_layout.h"
#include "gfx/images/blit_clipping.h"
#include "gfx/images/image.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/file_system_ops.h"
#include "platform/system/diagnostic_log.h"

namespace {

using namespace save_file;

// SaveGame's statuses of the thumbnail.
constexpr std::uint32_t kThumbnailFailed = 2;
constexpr std::uint32_t kSourceCopyFailed = 3;

struct RotatingSlots {
  std::int32_t first = 0;
  std::size_t next_setting = 0;
  std::size_t last_setting = 0;
};

// The rotating slots of a group; nothing for a group that has none.
std::optional<RotatingSlots> RotationOf(std::int32_t group) {
  if (group == CGameScriptHost::kRotatingGroup) return RotatingSlots{0, kSettingNextRotatingSlot, kSettingLastRotatingSlot};
  if (group == CGameScriptHost::kQuickGroup) return RotatingSlots{5, kSettingNextQuickSlot, kSettingLastQuickSlot};
  return std::nullopt;
}

// The group's next rotating slot; a settings byte outside the group's slots counts as its first.
std::int32_t NextSlot(const RotatingSlots& rotation) {
  const std::int32_t next = CurrentGameSettings()[rotation.next_setting];
  return next >= rotation.first && next <= kLastSlot ? next : rotation.first;
}

std::int32_t SlotAfter(const RotatingSlots& rotation, std::int32_t slot) {
  return slot >= kLastSlot ? rotation.first : slot + 1;
}

std::int32_t SlotBefore(const RotatingSlots& rotation, std::int32_t slot) {
  return slot <= rotation.first ? kLastSlot : slot - 1;
}

bool FileExists(const std::string& path) {
  const std::optional<std::uint32_t> attributes = plat::GetFileAttributes(path);
  return attributes && (*attributes & plat::kFileAttributeDirectory) == 0;
}

// The thumbnail's pixels (blue, green, red) from `source`, or the status of the step that
// failed: the thumbnail image (kThumbnailFailed) or the 32-bit copy of the source at its own
// size that is stretched into it (kSourceCopyFailed).
std::variant<std::vector<std::uint8_t>, std::uint32_t> ThumbnailPixels(CImage& source) {
  CImage thumbnail;
  if (thumbnail.Create(kThumbnailWidth, kThumbnailHeight, 32, 0) != 0) return kThumbnailFailed;
  CImage copy;
  if (copy.Create(source.GetWidth(), source.GetHeight(), 32, 0) != 0 || copy.Copy(&source, 0, 0, nullptr, false) != 0) {
    return kSourceCopyFailed;
  }
  const ImageSize size{kThumbnailWidth, kThumbnailHeight};
  if (thumbnail.StretchCopy(&copy, &size, 0, 0, nullptr, false) != 0) return kSourceCopyFailed;
  std::vector<std::uint8_t> pixels;
  pixels.reserve(kThumbnailSize);
  for (std::int32_t y = 0; y < kThumbnailHeight; ++y) {
    const std::uint8_t* row = thumbnail.GetRowPointer(y);
    for (std::int32_t x = 0; x < kThumbnailWidth; ++x) pixels.insert(pixels.end(), row + x * 4, row + x * 4 + 3);
  }
  return pixels;
}

}  // namespace

void CGameScriptHost::SetThumbnailSource(CImage* source, const char* picture_name) {
  thumbnail_source_ = source;
  thumbnail_name_ = picture_name != nullptr ? picture_name : "";
}

std::optional<std::string> CGameScriptHost::SaveFileName(std::int32_t group, std::int32_t slot) const {
  if (group < 0 || slot < 0) return std::nullopt;
  char name[kMaxPath];
  std::snprintf(name, sizeof(name), "DATA%02d%02d.SAV", group, slot);
  return SaveFilePath(name);
}

std::vector<std::string> CGameScriptHost::RotatingSavesNewestFirst(std::int32_t group) const {
  std::vector<std::string> saves;
  const std::optional<RotatingSlots> rotation = RotationOf(group);
  if (!rotation) return saves;
  std::int32_t candidate = NextSlot(*rotation);
  for (std::int32_t tries = kLastSlot + 1 - rotation->first; tries > 0; --tries) {
    candidate = SlotBefore(*rotation, candidate);
    const std::optional<std::string> name = SaveFileName(group, candidate);
    if (name && FileExists(*name)) saves.push_back(*name);
  }
  return saves;
}

std::uint32_t CGameScriptHost::GetSaveFilePath(std::string& path, std::int32_t group, std::int32_t slot) const {
  if (slot >= 0) {
    const std::optional<std::string> name = SaveFileName(group, slot);
    if (!name) return 3;
    path = *name;
    return FileExists(path) ? 0 : 3;
  }
  if (!RotationOf(group)) return 3;
  const std::vector<std::string> saves = RotatingSavesNewestFirst(group);
  if (saves.empty()) return group == kRotatingGroup ? 1 : 2;
  path = saves.front();
  return 0;
}

CGameScriptHost::SaveSource CGameScriptHost::CurrentSaveSource() {
  // The novel frame's page, title and message take the host's place while a frame exists.
  if (IHostedFrame* frame = AttachedFrame(); frame != nullptr) {
    IHostedFrame::SaveFace face = frame->CurrentSaveFace();
    return {face.picture, "", std::move(face.title), std::move(face.caption)};
  }
  return {thumbnail_source_, thumbnail_name_, save_title_, text_printer_.GetCaption()};
}

std::variant<std::vector<std::uint8_t>, std::uint32_t> CGameScriptHost::BuildThumbnail(const SaveSource& source) {
  if (!source.thumbnail_name.empty()) {
    char leaf[kMaxPath];
    GetPathLeaf(source.thumbnail_name.c_str(), leaf, false);
    const std::string picture_name = std::string("SYS_") + leaf;
    CImage prepared;
    if (prepared.LoadFile32(picture_name.c_str(), nullptr, 0, 0) == 0) {
      auto pixels = ThumbnailPixels(prepared);
      if (std::holds_alternative<std::vector<std::uint8_t>>(pixels)) return pixels;
    }
  }
  return ThumbnailPixels(*source.picture);
}

std::uint32_t CGameScriptHost::SaveGame(std::int32_t group, std::int32_t slot) {
  const SaveSource source = CurrentSaveSource();
  if (source.picture == nullptr || source.picture->GetPixels() == nullptr) return 1;
  const auto built = BuildThumbnail(source);
  if (const std::uint32_t* failure = std::get_if<std::uint32_t>(&built)) return *failure;
  const auto& thumbnail = std::get<std::vector<std::uint8_t>>(built);
  const std::string caption =
      CurrentGameSettings()[kSettingSaveCaption] != 0 ? source.caption.value_or(std::string()) : std::string();

  const std::optional<RotatingSlots> rotation = RotationOf(group);
  const bool rotating = slot < 0 && rotation;
  if (rotating) slot = NextSlot(*rotation);
  const std::optional<std::string> path = SaveFileName(group, slot);
  if (!path) return kNoSaveFile;

  std::vector<std::uint8_t> record;
  if (WriteState(record, true) != 0) return 6;
  const PackedBlock block = PackBlock(record);
  const SaveHeader header{thumbnail, FitText(source.title, kTitleLimit), FitText(caption, kCaptionLimit)};
  if (SaveFileReplacing(path->c_str(), WriteSaveFile(header, block)) != 0) {
    LogUnwrittenFile("the save", *path);
    return 5;
  }

  // The rotation moves on only once the save is on the disk, so a failed save is not skipped
  // over by the next load of the newest save.
  if (g_UserConfig != nullptr) {
    GameSettingsBlock& settings = *g_UserConfig;
    if (rotating) settings[rotation->next_setting] = static_cast<std::uint8_t>(SlotAfter(*rotation, slot));
    if (group == kRotatingGroup || (group == kQuickGroup && slot >= rotation->first)) {
      settings[rotation->last_setting] = static_cast<std::uint8_t>(slot);
    }
    settings[kSettingSaveWritten] = 1;
  }
  return 0;
}

std::uint32_t CGameScriptHost::LoadGame(std::int32_t group, std::int32_t slot) {
  if (group < 0) return LoadGameFile(pending_load_path_, 0);
  if (slot < 0 && RotationOf(group)) return LoadNewestThatReads(group);
  std::string path;
  if (GetSaveFilePath(path, group, slot) != 0) return kNoSaveFile;
  return LoadGameFile(path, 0);
}

namespace {

void LogRefusedSave(const std::string& path, std::uint32_t result) {
  const char* reason = "it cannot be read";
  if (result == 3) reason = "it is damaged (its mark, byte sum, sizes or packed data are wrong)";
  if (result == 4) reason = "its state record is refused";
  if (result == 5) reason = "it was written by another version";
  plat::LogDiagnostic("save \"" + LoggedPath(path) + "\" cannot be loaded: " + reason);
}

// Reads the state record of the save at `path` (or of the packed state at `offset`): LoadGameFile's
// results. A save that cannot be read is logged with its reason, so that a lost game can be
// traced to its file.
std::uint32_t ReadSaveRecord(const std::string& path, std::uint32_t offset, std::vector<std::uint8_t>& record) {
  std::uint32_t result = 1;
  if (!path.empty()) {
    if (const std::optional<std::vector<std::uint8_t>> file = LoadDataFile(path.c_str())) {
      result = ReadSaveFile(*file, offset, record);
    }
  }
  if (result != 0) LogRefusedSave(path, result);
  return result;
}

}  // namespace

std::uint32_t CGameScriptHost::CheckSaveFile(const std::string& path) const {
  std::vector<std::uint8_t> record;
  return ReadSaveRecord(path, 0, record);
}

std::uint32_t CGameScriptHost::LoadGameFile(const std::string& path, std::uint32_t offset) {
  std::vector<std::uint8_t> record;
  const std::uint32_t read = ReadSaveRecord(path, offset, record);
  if (read != 0) return read;
  if (ReadState(record) == 0) return 0;
  LogRefusedSave(path, 4);
  return 4;
}

std::uint32_t CGameScriptHost::LoadNewestThatReads(std::int32_t group) {
  std::uint32_t newest = kNoSaveFile;
  std::uint32_t result = kNoSaveFile;
  for (const std::string& path : RotatingSavesNewestFirst(group)) {
    result = LoadGameFile(path, 0);
    if (newest == kNoSaveFile) newest = result;
    if (result == 0) break;
  }
  if (newest != 0 && newest != kNoSaveFile && AttachedFrame() != nullptr) AttachedFrame()->NoticeNewestLoadFailed();
  return result == 0 ? 0 : newest;
}

std::uint32_t CGameScriptHost::WriteSaveCaption(std::int32_t group, std::int32_t slot, const char* text) {
  std::string path;
  if (GetSaveFilePath(path, group, slot) != 0) return kNoSaveFile;
  std::optional<std::vector<std::uint8_t>> file = LoadDataFile(path.c_str());
  if (!file) return 1;
  if (!HasSaveMagic(*file)) return 2;
  if (text == nullptr) return 0;
  if (file->size() < kCaptionOffset + kCaptionField) return 2;
  const std::string caption = FitText(text, kCaptionLimit);
  std::memcpy(file->data() + kCaptionOffset, caption.c_str(), caption.size() + 1);
  return SaveFileReplacing(path.c_str(), *file) == 0 ? 0 : 1;
}

std::uint32_t CGameScriptHost::CopySaveFile(std::int32_t from_group, std::int32_t from_slot, std::int32_t to_group,
                                            std::int32_t to_slot) {
  std::string from;
  if (GetSaveFilePath(from, from_group, from_slot) != 0) return 1;
  const std::optional<std::string> to = SaveFileName(to_group, to_slot);
  if (!to) return 1;
  const std::optional<std::vector<std::uint8_t>> file = LoadDataFile(from.c_str());
  if (!file) return 2;
  return SaveFileReplacing(to->c_str(), *file) == 0 ? 0 : 2;
}

std::uint32_t CGameScriptHost::DeleteSaveFile(std::int32_t group, std::int32_t slot) {
  std::string path;
  if (GetSaveFilePath(path, group, slot) != 0) return 1;
  return plat::DeleteFile(path) ? 0 : 2;
}
