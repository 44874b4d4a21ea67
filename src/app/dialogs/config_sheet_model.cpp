#include "app/dialogs/config_sheet_model.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "base/numbers/little_endian.h"

namespace {

// Bytes of the game settings.
constexpr std::size_t kAskBeforeWebPage = 0;
constexpr std::size_t kFirstPage = 2;
constexpr std::size_t kFrameHiddenAtBottom = 10;
constexpr std::size_t kHintsOn = kSettingHintsOn;
constexpr std::size_t kHintDelay = kSettingHintDelay;
constexpr std::size_t kHistoryPages = 29;
constexpr std::size_t kHistorySaved = 30;
constexpr std::size_t kFirstKey = 114;
constexpr std::size_t kForcedSkipModifier = 130;
constexpr std::size_t kUnreadTextNotSkipped = 131;
constexpr std::size_t kJoystickOn = 132;
constexpr std::size_t kFirstButton = 133;
constexpr std::size_t kRightButton = 149;
constexpr std::size_t kWheelUpRewinds = 150;
constexpr std::size_t kRightClickEndsAutoPlay = 151;
constexpr std::size_t kWheelButton = 152;
constexpr std::size_t kWheelDownNextPage = 153;
constexpr std::size_t kTopmostInFullScreen = 155;
constexpr std::size_t kMoviesOn = 165;
constexpr std::size_t kMovieWindow = 166;
constexpr std::size_t kMovieVolume = 168;  // u32
constexpr std::size_t kHistoryFontSmoothed = 190;

constexpr int kMostVolume = 256;
constexpr int kMostHintDelay = 300;
constexpr int kMostHistoryPages = 255;
constexpr uint8_t kResolutionByDirectDraw = 2;
constexpr uint8_t kResolutionByDisplay = 1;
// The last key code a field can take, and the first joystick code of a button.
constexpr uint8_t kLastAssignableKey = 211;
constexpr uint8_t kFirstButtonCode = 4;

constexpr std::array<const char*, 256> MakeKeyNames() {
  std::array<const char*, 256> names{};
  names[0x01] = "Esc";
  constexpr const char* kRow1[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "-"};
  for (int i = 0; i < 11; ++i) names[0x02 + i] = kRow1[i];
  names[0x0E] = "BackSpace";
  constexpr const char* kRow2[] = {"Q", "W", "E", "R", "T", "Y", "U", "I", "O", "P", "[", "]"};
  for (int i = 0; i < 12; ++i) names[0x10 + i] = kRow2[i];
  constexpr const char* kRow3[] = {"A", "S", "D", "F", "G", "H", "J", "K", "L", ";", ":", "]"};
  for (int i = 0; i < 12; ++i) names[0x1E + i] = kRow3[i];
  names[0x2B] = "\\";
  constexpr const char* kRow4[] = {"Z", "X", "C", "V", "B", "N", "M", ",", ".", "/"};
  for (int i = 0; i < 10; ++i) names[0x2C + i] = kRow4[i];
  names[0x37] = "ﾃﾝｷｰ[*]";
  names[0x39] = "Space";
  constexpr const char* kFunction[] = {"F6", "F7", "F8", "F9", "F10"};
  for (int i = 0; i < 5; ++i) names[0x40 + i] = kFunction[i];
  constexpr const char* kPad[] = {"ﾃﾝｷｰ[7]", "ﾃﾝｷｰ[8]", "ﾃﾝｷｰ[9]", "ﾃﾝｷｰ[-]", "ﾃﾝｷｰ[4]", "ﾃﾝｷｰ[5]", "ﾃﾝｷｰ[6]",
                                  "ﾃﾝｷｰ[+]", "ﾃﾝｷｰ[1]", "ﾃﾝｷｰ[2]", "ﾃﾝｷｰ[3]", "ﾃﾝｷｰ[0]", "ﾃﾝｷｰ[.]"};
  for (int i = 0; i < 13; ++i) names[0x47 + i] = kPad[i];
  names[0x57] = "F11";
  names[0x58] = "F12";
  names[0xB5] = "ﾃﾝｷｰ[/]";
  names[0xC7] = "Home";
  names[0xC9] = "PageUp";
  names[0xCF] = "End";
  names[0xD1] = "PageDown";
  names[0xD2] = "Insert";
  names[0xD3] = "Delete";
  return names;
}

constexpr std::array<const char*, 256> kKeyNames = MakeKeyNames();

// A number field's text as the field reads it: its leading decimal digits, clamped.
int ClampedNumber(const std::string& text, int most) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) return most;
  return static_cast<int>(std::clamp<long long>(value, 0, most));
}

bool Flag(const GameSettingsBlock& block, std::size_t byte) { return block[byte] != 0; }

uint8_t Byte(bool on) { return on ? 1 : 0; }

uint8_t ListIndex(int index) { return static_cast<uint8_t>(std::clamp(index, 0, 255)); }

}  // namespace

std::string AssignableKeyName(uint8_t code) { return kKeyNames[code] != nullptr ? kKeyNames[code] : ""; }

std::string JoystickButtonName(uint8_t code) {
  if (code < kFirstButtonCode) return {};
  char name[24];
  std::snprintf(name, sizeof name, "ボタン%d", code - 3);
  return name;
}

const std::array<const char*, kAssignedActions>& AssignedActionLabels() {
  static constexpr std::array<const char*, kAssignedActions> kLabels = {
      "決定",           "キャンセル",     "オートプレイ",   "セーブ",         "ロード",
      "クイックセーブ", "クイックロード", "ウィンドウを消去", "システムメニュー", "環境設定",
      "テキスト履歴",   "次の選択肢までスキップ", "前の選択肢に戻る", "タイトルに戻る"};
  return kLabels;
}

const std::vector<std::string>& MouseButtonChoices() {
  static const std::vector<std::string> kChoices = {"割り当て無し", "システムメニュー", "ウィンドウを消去",
                                                    "オートプレイ", "次の選択肢までスキップ", "セーブ", "ロード"};
  return kChoices;
}

const std::vector<std::string>& DrawingMethodChoices() {
  static const std::vector<std::string> kChoices = {"自動設定", "DirectDraw", "Direct3D"};
  return kChoices;
}

CConfigSheetModel::CConfigSheetModel(GameSettingsBlock& settings, bool joystick_capture, VolumePreview preview)
    : settings_(settings), joystick_capture_(joystick_capture), preview_(std::move(preview)) {
  for (int page = 0; page < kConfigPages; ++page) ReadPage(page, settings_);
  ShowPage(std::min<int>(settings_[kFirstPage], kConfigPages - 1));
}

void CConfigSheetModel::ShowPage(int page) {
  current_page_ = std::clamp(page, 0, kConfigPages - 1);
  shown_[static_cast<std::size_t>(current_page_)] = true;
  settings_[kFirstPage] = static_cast<uint8_t>(current_page_);
}

void CConfigSheetModel::ReadPage(int page, const GameSettingsBlock& from) {
  ConfigSheetControls& c = controls_;
  switch (page) {
    case kConfigKeyboardPage:
      std::copy_n(&from[kFirstKey], kAssignedActions, c.keys.begin());
      c.forced_skip_with_ctrl = from[kForcedSkipModifier] == 1;
      c.unread_text_not_skipped = Flag(from, kUnreadTextNotSkipped);
      break;
    case kConfigJoystickPage:
      c.joystick_on = Flag(from, kJoystickOn);
      std::copy_n(&from[kFirstButton], kAssignedActions, c.buttons.begin());
      c.right_button = from[kRightButton];
      c.wheel_button = from[kWheelButton];
      c.right_click_ends_auto_play = Flag(from, kRightClickEndsAutoPlay);
      c.wheel_up_rewinds_text = from[kWheelUpRewinds] == 1;
      c.wheel_down_next_page = Flag(from, kWheelDownNextPage);
      break;
    case kConfigOtherPage:
      c.caption_from_text = Flag(from, kSettingSaveCaption);
      c.history_font_smoothed = Flag(from, kHistoryFontSmoothed);
      c.frame_hidden_at_bottom = Flag(from, kFrameHiddenAtBottom);
      c.ask_before_web_page = Flag(from, kAskBeforeWebPage);
      c.movies_on = Flag(from, kMoviesOn);
      c.movie_window = Flag(from, kMovieWindow);
      c.movie_volume = static_cast<int>(std::min<uint32_t>(LoadLe32(&from[kMovieVolume]), kMostVolume));
      c.hints_on = Flag(from, kHintsOn);
      c.hint_delay = static_cast<int>(std::min<uint32_t>(LoadLe32(&from[kHintDelay]) / 10, kMostHintDelay));
      c.history_pages = from[kHistoryPages];
      c.history_saved = Flag(from, kHistorySaved);
      break;
    default:
      c.change_resolution = Flag(from, kSettingChangeResolution);
      c.topmost_in_full_screen = Flag(from, kTopmostInFullScreen);
      c.resolution_by_direct_draw = from[kSettingResolutionMethod] == kResolutionByDirectDraw;
      c.monitor = from[kSettingMonitorNumber];
      c.drawing_method = from[kSettingEnlargedDrawing] > 0 ? from[kSettingEnlargedDrawing] - 1 : 0;
      c.drawing_unenlarged = Flag(from, kSettingDrawingUnenlarged);
      c.power_of_two_textures = Flag(from, kSettingPowerOfTwoTextures);
      c.bilinear_filtering = Flag(from, kSettingBilinearFiltering);
      c.transfer_through_dc = Flag(from, kSettingTransferThroughDc);
      c.start_in_window = Flag(from, kSettingStartInWindow);
      c.save_window_position = Flag(from, kSettingSaveWindowPosition);
      break;
  }
}

void CConfigSheetModel::WritePage(int page) {
  const ConfigSheetControls& c = controls_;
  GameSettingsBlock& to = settings_;
  switch (page) {
    case kConfigKeyboardPage:
      std::copy(c.keys.begin(), c.keys.end(), &to[kFirstKey]);
      to[kForcedSkipModifier] = Byte(c.forced_skip_with_ctrl);
      to[kUnreadTextNotSkipped] = Byte(c.unread_text_not_skipped);
      break;
    case kConfigJoystickPage:
      // Without a joystick to read, its switch and buttons stay as they were stored.
      if (joystick_capture_) {
        to[kJoystickOn] = Byte(c.joystick_on);
        std::copy(c.buttons.begin(), c.buttons.end(), &to[kFirstButton]);
      }
      to[kRightButton] = ListIndex(c.right_button);
      to[kWheelButton] = ListIndex(c.wheel_button);
      to[kRightClickEndsAutoPlay] = Byte(c.right_click_ends_auto_play);
      to[kWheelUpRewinds] = Byte(c.wheel_up_rewinds_text);
      to[kWheelDownNextPage] = Byte(c.wheel_down_next_page);
      break;
    case kConfigOtherPage:
      hint_settings_changed_ = hint_settings_changed_ || Flag(to, kHintsOn) != c.hints_on ||
                               LoadLe32(&to[kHintDelay]) != static_cast<uint32_t>(c.hint_delay * 10);
      to[kSettingSaveCaption] = Byte(c.caption_from_text);
      to[kHistoryFontSmoothed] = Byte(c.history_font_smoothed);
      to[kFrameHiddenAtBottom] = Byte(c.frame_hidden_at_bottom);
      to[kAskBeforeWebPage] = Byte(c.ask_before_web_page);
      to[kMoviesOn] = Byte(c.movies_on);
      to[kMovieWindow] = Byte(c.movie_window);
      StoreLe32(&to[kMovieVolume], static_cast<uint32_t>(c.movie_volume));
      to[kHintsOn] = Byte(c.hints_on);
      StoreLe32(&to[kHintDelay], static_cast<uint32_t>(c.hint_delay * 10));
      to[kHistoryPages] = static_cast<uint8_t>(c.history_pages);
      to[kHistorySaved] = Byte(c.history_saved);
      break;
    default:
      to[kSettingChangeResolution] = Byte(c.change_resolution);
      to[kTopmostInFullScreen] = Byte(c.topmost_in_full_screen);
      to[kSettingResolutionMethod] = c.resolution_by_direct_draw ? kResolutionByDirectDraw : kResolutionByDisplay;
      to[kSettingMonitorNumber] = ListIndex(c.monitor);
      to[kSettingEnlargedDrawing] = ListIndex(c.drawing_method + 1);
      to[kSettingDrawingUnenlarged] = Byte(c.drawing_unenlarged);
      to[kSettingPowerOfTwoTextures] = Byte(c.power_of_two_textures);
      to[kSettingBilinearFiltering] = Byte(c.bilinear_filtering);
      to[kSettingTransferThroughDc] = Byte(c.transfer_through_dc);
      to[kSettingStartInWindow] = Byte(c.start_in_window);
      to[kSettingSaveWindowPosition] = Byte(c.save_window_position);
      break;
  }
}

bool CConfigSheetModel::CaptureKey(int field, uint8_t code) {
  if (field < 0 || field >= kAssignedActions) return false;
  if (code == 0 || code > kLastAssignableKey || kKeyNames[code] == nullptr) return false;
  std::array<uint8_t, kAssignedActions>& keys = controls_.keys;
  if (keys[static_cast<std::size_t>(field)] == code) return false;
  std::replace(keys.begin(), keys.end(), code, uint8_t{0});
  keys[static_cast<std::size_t>(field)] = code;
  return true;
}

bool CConfigSheetModel::CaptureButton(int field, uint8_t code) {
  if (field < 0 || field >= kAssignedActions || code < kFirstButtonCode) return false;
  std::array<uint8_t, kAssignedActions>& buttons = controls_.buttons;
  std::replace(buttons.begin(), buttons.end(), code, uint8_t{0});
  buttons[static_cast<std::size_t>(field)] = code;
  return true;
}

void CConfigSheetModel::ClearButton(int field) {
  if (field >= 0 && field < kAssignedActions) controls_.buttons[static_cast<std::size_t>(field)] = 0;
}

void CConfigSheetModel::SetMovieVolume(int volume) {
  const int clamped = std::clamp(volume, 0, kMostVolume);
  if (clamped == controls_.movie_volume) return;
  controls_.movie_volume = clamped;
  PreviewVolume();
}

void CConfigSheetModel::TypeMovieVolume(const std::string& text) { SetMovieVolume(ClampedNumber(text, kMostVolume)); }

void CConfigSheetModel::TypeHintDelay(const std::string& text) {
  controls_.hint_delay = ClampedNumber(text, kMostHintDelay * 10) / 10;
}

void CConfigSheetModel::TypeHistoryPages(const std::string& text) {
  controls_.history_pages = ClampedNumber(text, kMostHistoryPages);
}

void CConfigSheetModel::FillDefaults() {
  GameSettingsBlock defaults = DefaultGameSettings();
  // This system's choices for the two drawing settings, as the set-up makes them.
  defaults[kSettingResolutionMethod] = kResolutionByDisplay;
  defaults[kSettingEnlargedDrawing] = 1;
  const int volume_before = controls_.movie_volume;
  ReadPage(current_page_, defaults);
  if (current_page_ == kConfigOtherPage && controls_.movie_volume != volume_before) PreviewVolume();
}

std::array<bool, kConfigPages> CConfigSheetModel::Confirm() {
  for (int page = 0; page < kConfigPages; ++page) {
    if (shown_[static_cast<std::size_t>(page)]) WritePage(page);
  }
  return shown_;
}

void CConfigSheetModel::Cancel() {
  if (preview_) preview_(LoadLe32(&settings_[kMovieVolume]));
}

void CConfigSheetModel::PreviewVolume() const {
  if (preview_) preview_(static_cast<uint32_t>(controls_.movie_volume));
}
