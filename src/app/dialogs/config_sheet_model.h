// The state of the configuration sheet: the controls of its four pages (keyboard, mouse and
// joystick, other, window) read from the game settings, the live capture of keys and joystick
// buttons into the assignment fields, the coupled sliders and number fields, the defaults of one
// page, and the confirmation that writes the pages back. Texts are UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/settings/game_settings.h"

inline constexpr int kConfigPages = 4;
inline constexpr int kConfigKeyboardPage = 0;
inline constexpr int kConfigJoystickPage = 1;
inline constexpr int kConfigOtherPage = 2;
inline constexpr int kConfigWindowPage = 3;
// The actions whose keys and joystick buttons the user assigns.
inline constexpr int kAssignedActions = 14;

// The name a key field shows for a DirectInput key code; empty for keys that cannot be assigned.
std::string AssignableKeyName(uint8_t code);
// "ボタン%d" for a joystick code of a button (4 and above, counted from 1), else empty.
std::string JoystickButtonName(uint8_t code);

// The labels of the assigned actions, of the mouse-button choices and of the drawing methods.
const std::array<const char*, kAssignedActions>& AssignedActionLabels();
const std::vector<std::string>& MouseButtonChoices();
const std::vector<std::string>& DrawingMethodChoices();

struct ConfigSheetControls {
  // Keyboard page.
  std::array<uint8_t, kAssignedActions> keys{};
  bool forced_skip_with_ctrl = false;
  bool unread_text_not_skipped = false;
  // Mouse and joystick page.
  bool joystick_on = false;
  std::array<uint8_t, kAssignedActions> buttons{};
  int right_button = 0;
  int wheel_button = 0;
  bool right_click_ends_auto_play = false;
  bool wheel_up_rewinds_text = false;
  bool wheel_down_next_page = false;
  // Other page.
  bool caption_from_text = false;
  bool history_font_smoothed = false;
  bool frame_hidden_at_bottom = false;
  bool ask_before_web_page = false;
  bool movies_on = false;
  bool movie_window = false;
  int movie_volume = 0;   // 0 to 256
  bool hints_on = false;
  int hint_delay = 0;     // in tens of milliseconds, 0 to 300
  int history_pages = 0;  // 0 to 255
  bool history_saved = false;
  // Window page.
  bool change_resolution = false;
  bool topmost_in_full_screen = false;
  bool resolution_by_direct_draw = false;
  int monitor = 0;
  int drawing_method = 0;  // list index
  bool drawing_unenlarged = false;
  bool power_of_two_textures = false;
  bool bilinear_filtering = false;
  bool transfer_through_dc = false;
  bool start_in_window = false;
  bool save_window_position = false;
};

class CConfigSheetModel {
 public:
  // Plays the movie volume at once (the preview), through the movie that is playing.
  using VolumePreview = std::function<void(uint32_t volume)>;

  // `joystick_capture`: a joystick can be read for the capture of buttons; without one the
  // joystick switch and buttons stay as stored.
  CConfigSheetModel(GameSettingsBlock& settings, bool joystick_capture, VolumePreview preview);

  ConfigSheetControls& Controls() { return controls_; }
  const ConfigSheetControls& Controls() const { return controls_; }
  bool HasJoystickCapture() const { return joystick_capture_; }

  // The page shown: kept in the settings as the page to open with next time.
  int CurrentPage() const { return current_page_; }
  void ShowPage(int page);

  // A key pressed while the key field `field` has the focus: taken when it has a name and the
  // field does not hold it already; a field holding it gives it up. True when taken (the focus
  // then moves to the next field).
  bool CaptureKey(int field, uint8_t code);
  // The same for a joystick code on the button field `field` (buttons only: 4 and above).
  bool CaptureButton(int field, uint8_t code);
  void ClearButton(int field);
  // The name the quick-save modifier label shows: the modifier that forced skipping does not use.
  const char* QuickSaveModifier() const { return controls_.forced_skip_with_ctrl ? "Shift" : "Ctrl"; }

  // The sliders and their number fields.
  void SetMovieVolume(int volume);
  void TypeMovieVolume(const std::string& text);
  void TypeHintDelay(const std::string& text);
  void TypeHistoryPages(const std::string& text);
  std::string MovieVolumeText() const { return std::to_string(controls_.movie_volume); }
  std::string HintDelayText() const { return std::to_string(controls_.hint_delay * 10); }
  std::string HistoryPagesText() const { return std::to_string(controls_.history_pages); }

  // Fills the shown page's controls with the defaults of the settings; the settings stay.
  void FillDefaults();
  // OK: writes every page that was shown into the settings. Answers which pages were written.
  std::array<bool, kConfigPages> Confirm();
  // Cancel: the volume from before the preview plays again.
  void Cancel();
  // The hint switch or delay differ from the stored ones (set by Confirm).
  bool HintSettingsChanged() const { return hint_settings_changed_; }

 private:
  void ReadPage(int page, const GameSettingsBlock& from);
  void WritePage(int page);
  void PreviewVolume() const;

  GameSettingsBlock& settings_;
  bool joystick_capture_;
  VolumePreview preview_;
  ConfigSheetControls controls_;
  int current_page_ = 0;
  std::array<bool, kConfigPages> shown_{};
  bool hint_settings_changed_ = false;
};
