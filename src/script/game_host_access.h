// The game script host as the engine below the game folder reaches it (the built-in functions
// and the novel frame). The host lives in the folder above them, so it installs itself here for
// as long as it lives; with no host installed the callers that need it do nothing and return 0.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "script/script_host.h"

class CFontBase;
class CGuiElement;
class CImage;

// Where ReadSaveHeader puts the fields of a save's header; a null field is not read.
struct SaveHeaderOutputs {
  // A 32-bit image of at least 100 x 75: the thumbnail's colours go into its top-left pixels.
  CImage* thumbnail = nullptr;
  std::string* title = nullptr;
  std::string* caption = nullptr;
  // The caption in the lines of the save screens (see save_file::WrapCaption).
  bool wrap_caption = false;
  // The file's last write time, "YYYY/MM/DD(<weekday>) hh:mm".
  std::string* date = nullptr;
};

class IGameHost {
 public:
  virtual CScriptHost& Scripts() = 0;

  virtual void BeginSaveSelection(std::uint16_t boot_value, std::uint32_t save_word, const char* title) = 0;
  virtual std::uint32_t GetSaveFilePath(std::string& path, std::int32_t group, std::int32_t slot) const = 0;
  virtual void SetPendingLoadPath(std::string path) = 0;
  // Reads the save at `path` and checks it whole without loading it: 0 when it would load.
  virtual std::uint32_t CheckSaveFile(const std::string& path) const = 0;
  virtual std::uint32_t SaveGame(std::int32_t group, std::int32_t slot) = 0;
  virtual std::uint32_t LoadGame(std::int32_t group, std::int32_t slot) = 0;
  virtual std::uint32_t FormatSaveTimeStamp(std::string* text, std::int32_t group, std::int32_t slot,
                                            std::uint32_t mode) const = 0;
  virtual std::uint32_t WriteSaveCaption(std::int32_t group, std::int32_t slot, const char* text) = 0;
  virtual std::uint32_t ReadSaveHeader(std::int32_t group, std::int32_t slot, const SaveHeaderOutputs& out) const = 0;
  // The picture whose image becomes a save's thumbnail while no novel frame exists, and a
  // prepared thumbnail picture's name.
  virtual void SetThumbnailSource(CImage* source, const char* picture_name) = 0;
  virtual std::uint32_t CopySaveFile(std::int32_t from_group, std::int32_t from_slot, std::int32_t to_group,
                                     std::int32_t to_slot) = 0;
  virtual std::uint32_t DeleteSaveFile(std::int32_t group, std::int32_t slot) = 0;

  virtual std::uint32_t TakeSnapshot() = 0;
  virtual std::uint32_t RestoreSnapshot() = 0;
  virtual void DiscardSnapshot() = 0;
  virtual std::span<const std::uint8_t> HeldSnapshot() const = 0;

  // Brings a text box, a list menu and a font (null: none) in line with the game settings, or
  // the novel frame's message window while a frame lives: the settings-changed mark as it was.
  virtual std::uint8_t ApplyTextSettings(bool only_when_changed, bool clear_mark, CGuiElement* text_box,
                                         CGuiElement* list_menu, CFontBase* font, bool font_flag, bool printer_flag,
                                         bool text_box_given) = 0;

 protected:
  ~IGameHost() = default;
};

extern IGameHost* g_GameHost;

// Runs `operation` on the installed game host; 0 without one.
template <class Operation>
std::uint32_t WithGameHost(Operation operation) {
  return g_GameHost != nullptr ? operation(*g_GameHost) : 0;
}
