// The game's script host: the script host with the game's built-in functions 3 to 808, the
// seeding of the script random generator, and the restart of the main script.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "base/numbers/byte_cursor.h"
#include "base/settings/game_settings.h"
#include "game/script_sound_channels.h"
#include "gfx/images/image.h"
#include "novel/text/text_printer.h"
#include "script/game_host_access.h"
#include "script/script_host.h"

class CFontBase;
class CGuiElement;

class CGameScriptHost : public CScriptHost, public IGameHost {
 public:
  static constexpr const char* kMainScript = "MAIN";
  // The input actions with which the scripts' scroll bars and list boxes page back and forward.
  static constexpr uint8_t kPageBackAction = 18;
  static constexpr uint8_t kPageForwardAction = 19;

  // The script host part, the sound channels (on the global timer manager, published as
  // g_SoundChannels), the seeding of the script random generator from the millisecond clock,
  // then the built-in functions 3 to 808 in the order of their numbers, the widget manager's
  // timer manager, input method and page actions, the widgets' pointer glide and the message
  // box's set-up, and last the built-in effects and filters of the script host (with the
  // application's object hosts). The text printer is published as g_TextPrinter.
  // The destructor takes its sound channels back from the staff roll, stops the message box's
  // notice, empties the root window and deletes the scripts' widgets and the input-mode label.
  CGameScriptHost();
  ~CGameScriptHost() override;

  CScriptHost& Scripts() override { return *this; }

  CSoundChannelManager& SoundChannels() { return sound_channels_; }
  CTextPrinter& TextPrinter() { return text_printer_; }
  // Hands the game settings' sound switches and volumes to the sound channels.
  void ApplySoundSettings(const GameSettingsBlock& settings);

  // Drops every script but the library with the boot value (its negation when `keep_boot_value`
  // is false) in "ScriptBootFlg", then loads the main script into the own context. 0, or 1 when the
  // main script does not load.
  std::uint32_t RestartMain(bool keep_boot_value);

  std::uint16_t BootValue() const { return boot_value_; }
  void SetBootValue(std::uint16_t value) { boot_value_ = value; }

  // The boot value, the save word and the save title (null: none) set together; the list of
  // marked variables starts again empty.
  void BeginSaveSelection(std::uint16_t boot_value, std::uint32_t save_word, const char* title) override;
  std::uint32_t SaveWord() const { return save_word_; }
  const std::string& SaveTitle() const { return save_title_; }
  // The picture whose image becomes a save's thumbnail while no novel frame exists, and the name
  // of a prepared thumbnail picture ("SYS_<leaf of the name>"; null or empty: none).
  void SetThumbnailSource(CImage* source, const char* picture_name) override;

  // The state record that save files and snapshots carry: the class-1 variables, a text flag
  // byte, with the text part the text printer's state and the held snapshot (u32 size, bytes),
  // then the block of the novel frame attached to the host (with the text log when the text
  // part is written) when a frame exists, and last the sound channels' state. The text part is written when
  // asked and the game settings ask for saved text. 0; 1 the variables, 3 the novel frame could
  // not be written (`record` is then empty).
  std::uint32_t WriteState(std::vector<std::uint8_t>& record, bool with_text) const;
  // Reads a record in the same order, discarding the held snapshot and the frame's pending
  // display state on the way. 0; 1 an empty record; 2 the variables do not match; 3 the text
  // part, the frame's state or the sound channels' part is damaged. A damaged record leaves the
  // variables, the text printer, the held snapshot, the frame and the channels as they were. A
  // record that ends before the sound channels' part leaves the channels as they are.
  std::uint32_t ReadState(std::span<const std::uint8_t> record);

  // RestoreSnapshot's result when no snapshot is held (-1 to the scripts).
  static constexpr std::uint32_t kNoSnapshot = 0xFFFFFFFF;
  // Replaces the held snapshot by a new record, with the text part unless the game settings say
  // otherwise; WriteState's result (no snapshot is held after a failure).
  std::uint32_t TakeSnapshot() override;
  // Reads the held snapshot back and drops it; ReadState's result, or kNoSnapshot.
  std::uint32_t RestoreSnapshot() override;
  void DiscardSnapshot() override { snapshot_ = std::vector<std::uint8_t>(); }
  // The held snapshot's record, empty when none is held.
  std::span<const std::uint8_t> HeldSnapshot() const override { return snapshot_; }

  // Save files "DATA<group><slot>.SAV" of the save folder. Group 10 rotates through slots 0 to
  // 9 and group 11 through 5 to 9; a negative slot there means the rotating slot.
  static constexpr std::int32_t kRotatingGroup = 10;
  static constexpr std::int32_t kQuickGroup = 11;
  // The scripts' -1 for "no such save".
  static constexpr std::uint32_t kNoSaveFile = 0xFFFFFFFF;
  // The path of a save. Slot >= 0: 0 when the file exists, 3 when not. Negative slot: the newest
  // existing rotating slot, counted down from the group's next one; 1 (group 10) or 2 (group 11)
  // when none exists, 3 in another group.
  std::uint32_t GetSaveFilePath(std::string& path, std::int32_t group, std::int32_t slot) const override;
  // Writes a save: 0; 1 no thumbnail source; 2 the thumbnail cannot be made; 5 the file cannot be
  // written (the old file is left whole); 6 the state record cannot be written; kNoSaveFile for a
  // slot that names no file.
  std::uint32_t SaveGame(std::int32_t group, std::int32_t slot) override;
  // Loads a save; a negative group loads the pending-load path. A negative slot of a rotating
  // group loads the newest of its saves that reads: one that does not is passed over, and while
  // a novel frame lives its notice of a failed quick load says so. kNoSaveFile when the save is
  // missing (none in the rotation), else LoadGameFile's result (of the newest, when none reads).
  std::uint32_t LoadGame(std::int32_t group, std::int32_t slot) override;
  // Loads the save at `path`, or the packed state stored at `offset` of that file. 0; 1 the file
  // cannot be read; 3 bad magic, byte sum, sizes or packed data; 4 the state record is refused;
  // 5 a version other than 0. Nothing of the running game changes unless the result is 0.
  std::uint32_t LoadGameFile(const std::string& path, std::uint32_t offset);
  void SetPendingLoadPath(std::string path) override { pending_load_path_ = std::move(path); }
  // LoadGameFile's results 1, 3 and 5 for a save that cannot be loaded, without loading it.
  std::uint32_t CheckSaveFile(const std::string& path) const override;
  // Replaces the caption of an existing save (at most 139 bytes, whole characters). 0; 1 the
  // file cannot be read or written; 2 bad magic; kNoSaveFile no such save. Null text: 0, nothing.
  std::uint32_t WriteSaveCaption(std::int32_t group, std::int32_t slot, const char* text) override;
  // Reads the header of a save for the save and load screens. 0; 1 the thumbnail image is not a
  // 32-bit image of at least 100 x 75; 2 the file or its time cannot be read; 3 bad magic or a
  // header cut short; kNoSaveFile no such save. Nothing is written unless the result is 0.
  std::uint32_t ReadSaveHeader(std::int32_t group, std::int32_t slot, const SaveHeaderOutputs& out) const override;
  // A save's title in corner brackets, a separator (a space in mode 0, a line feed in mode 1, CR
  // LF in any other), then its write time after the words "record time" in lenticular brackets.
  // 0; 1 null text; else ReadSaveHeader's result.
  std::uint32_t FormatSaveTimeStamp(std::string* text, std::int32_t group, std::int32_t slot,
                                    std::uint32_t mode) const override;
  // 0; 1 the source is missing or the target names no file; 2 the copy failed.
  std::uint32_t CopySaveFile(std::int32_t from_group, std::int32_t from_slot, std::int32_t to_group, std::int32_t to_slot) override;
  // 0; 1 no such save; 2 it cannot be deleted.
  std::uint32_t DeleteSaveFile(std::int32_t group, std::int32_t slot) override;

  // The application's byte that says the game settings changed since it was last cleared (null:
  // never changed). The window thread sets it, the scripts read and clear it.
  void SetSettingsChangedMark(std::atomic<std::uint8_t>* mark) { settings_changed_mark_ = mark; }
  // Brings a text box (type 5 or 111), a list menu (type 6) and a font (null: the default font)
  // in line with the game settings; null skips a widget. With `only_when_changed` nothing happens
  // while the mark is 0. Returns the mark as it was on entry; `clear_mark` clears it. While a
  // novel frame lives, the frame applies the settings to its own message window instead: it is
  // told whether a text box was given (`text_box_given`, for a script word that names none, -1
  // among them, or the widget itself), and its result is returned.
  std::uint8_t ApplyTextSettings(bool only_when_changed, bool clear_mark, CGuiElement* text_box, CGuiElement* list_menu,
                                 CFontBase* font, bool font_flag, bool printer_flag,
                                 bool text_box_given = false) override;
  // The hint switch and delay become the root window's tooltip switch and delay. 0.
  std::uint32_t ApplyMessageLayerRedrawSetting();

 protected:
  // A script object that ends, or all of them, leave the current message's choices in the
  // printer's history.
  void OnUnloadScript() override { text_printer_.HandOverToHistory(); }
  void OnResetScripts() override { text_printer_.HandOverToHistory(); }

 private:
  std::uint32_t ReadStateParts(std::span<const std::uint8_t> record);
  // The path of (group, slot) in the save folder; nothing when it names no file.
  std::optional<std::string> SaveFileName(std::int32_t group, std::int32_t slot) const;
  // The paths of the rotating group's saves that exist, counted down from its next slot.
  std::vector<std::string> RotatingSavesNewestFirst(std::int32_t group) const;
  std::uint32_t LoadNewestThatReads(std::int32_t group);
  // Where a save's thumbnail, title and caption come from.
  struct SaveSource {
    CImage* picture = nullptr;
    std::string thumbnail_name;
    std::string title;
    std::optional<std::string> caption;
  };
  SaveSource CurrentSaveSource();
  // The thumbnail's pixels, or SaveGame's status for the step that failed.
  static std::variant<std::vector<std::uint8_t>, std::uint32_t> BuildThumbnail(const SaveSource& source);

  std::uint16_t boot_value_ = 1;
  std::uint32_t save_word_ = 0;
  std::string save_title_;
  // Null once a script deletes the picture: the saves then have no thumbnail source.
  WatchedPtr<CImage, CImageInterface> thumbnail_source_;
  std::string thumbnail_name_;
  std::vector<std::uint8_t> snapshot_;
  std::string pending_load_path_;
  CScriptSoundChannels sound_channels_;
  CTextPrinter text_printer_{*this};
  std::atomic<std::uint8_t>* settings_changed_mark_ = nullptr;
};

// Seeds the script random generator's state from `clock`.
void SeedScriptRandom(std::uint32_t clock);
