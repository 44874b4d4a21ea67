// The one window of the widget toolkit, into which the scripts and the system screens put their
// widgets. It binds the window's environment to the application (pointer, clock, screen size,
// bindings, keyboard and mouse, text input, GUI sounds through the sound channels), draws the
// tooltip, switches the cursor shape and keeps the last command id a child reported until a
// script takes it.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>

#include "base/lifetime/watched_ptr.h"
#include "gfx/images/image.h"
#include "platform/system/geometry.h"
#include "scene/sprites/sprite.h"
#include "ui/fonts/font_base.h"
#include "ui/gui/gui_command_listener.h"
#include "ui/gui/gui_window.h"

class CImagePart;
class CSoundChannelManager;

// What the root window needs of the application, which installs it while it runs.
class IGuiApplication {
 public:
  virtual ~IGuiApplication() = default;
  // The pointer in game-screen pixels as the application tracks it ((-1, -1) outside).
  virtual plat::Point GetPointerPos() const = 0;
  // Moves the pointer to a point of the game screen.
  virtual void SetPointerPos(int32_t x, int32_t y) = 0;
  // Shows or hides the cursor on the window's thread.
  virtual void ShowCursor(bool show) = 0;
  // Asks the window bound for text input to switch its input method; false when none is bound.
  virtual bool SendImeMessage(uint32_t flag) = 0;
  // Hands a pending key press, else pending typed text, to the element; its answer.
  virtual bool DeliverTextInput(CGuiElement* element) = 0;
};

// Null while no application runs.
extern IGuiApplication* g_GuiApplication;

class CGuiRootWindow;

// The root window's side as a listener of scroll bars: their notifications become its commands.
class CRootCommandListener : public CGuiCommandListener {
 public:
  explicit CRootCommandListener(CGuiRootWindow& window) : window_(window) {}
  void OnClick(CGuiElement* element, int32_t value) override;

 private:
  CGuiRootWindow& window_;
};

class CGuiRootWindow : public CGuiWindow {
 public:
  static constexpr int32_t kNoSound = -2;
  static constexpr int32_t kCursorModeCount = 7;
  // The program's own cursors of cursor modes 1 and 5.
  static constexpr int kCursorResourceHand = 120;
  static constexpr int kCursorResourceSmall = 121;

  CGuiRootWindow() = default;

  void SetMousePos(int32_t x, int32_t y) override;
  void GetMousePos(int32_t& x, int32_t& y) override;
  // False for a mode outside 0-6; true when stored (or already the mode).
  bool SetCursorMode(int32_t mode) override;
  int32_t GetCursorMode() const override { return cursor_mode_; }
  void ShowCursor(bool show) override;
  uint32_t RestartHoverTimer() override;
  int32_t GetScreenWidth() const override;
  int32_t GetScreenHeight() const override;
  uint8_t GetFocusPointerMode() const override { return 2; }
  void ParkPointer() override { SetMousePos(GetScreenWidth() - 1, GetScreenHeight() - 1); }
  int32_t PlaySound(const char* name, int32_t id, int32_t a3, int32_t a4) override;
  void OnCommand(int32_t id) override { command_id_ = id; }
  void NotifyTextInput(uint32_t flag) override;
  CInputBindings* GetInputBindings() override;
  CKeyboard* GetKeyboard() override;
  CMouse* GetMouse() override;
  void Reset() override;
  void ShowTooltip(const char* text, int32_t x, int32_t y) override;
  uint32_t HideTooltipImage() override;
  bool BeginInput(uint32_t time, bool& moved, int32_t x, int32_t y) override;
  bool DeliverTextInput(CGuiElement* focused) override;

  void SetTooltipLayer(CImagePart* part);
  CImagePart* GetTooltipPart() const { return tooltip_part_; }
  // `make_ready`, when given, runs before each use of the font.
  void SetTooltipFont(CFontBase* font, std::function<void()> make_ready = {}) {
    tooltip_font_ = font;
    tooltip_font_ready_ = std::move(make_ready);
  }
  // True when an image button or check button of the current list covers the point.
  bool IsOverButton(int32_t x, int32_t y) const;
  // The last command id (-1 none), which becomes -1.
  int32_t TakeCommandId();
  int32_t GetCommandId() const { return command_id_; }
  // The channels that play the GUI sounds (null: none).
  void SetSoundChannels(CSoundChannelManager* channels) { sound_channels_ = channels; }
  CSoundChannelManager* GetSoundChannels() const { return sound_channels_; }
  // The channels of the standard decide, enter and leave sounds (-1: none).
  void SetStandardSounds(int32_t decide, int32_t enter, int32_t leave);
  CGuiCommandListener& GetCommandListener() { return listener_; }
  // A word the scripts keep in the window.
  void SetScriptValue(int32_t value) { script_value_ = value; }
  int32_t GetScriptValue() const { return script_value_; }

  int32_t GetTooltipOffsetY() const { return tooltip_offset_y_; }
  const CImage& GetTooltipImage() const { return tooltip_image_; }
  CImage& GetTooltipImage() { return tooltip_image_; }
  // Where the tooltip's top-left lies on the tooltip part, and whether it is shown there.
  plat::Point GetTooltipPosition() const { return tooltip_position_; }
  bool IsTooltipVisible() const { return tooltip_visible_; }
  const CSprite& GetTooltipSprite() const { return tooltip_sprite_; }

 private:
  bool DrawTooltipImage(const char* text);
  plat::Point PlaceTooltip(int32_t x, int32_t y) const;
  // Lists the sprite in the part's layer unless it is listed, and shows the image with it.
  void ShowTooltipSprite();

  HeldFont<CFontBase> tooltip_font_;
  std::function<void()> tooltip_font_ready_;
  CImage tooltip_image_;
  // Shows the image in the tooltip part's layer; it goes before the image.
  CSprite tooltip_sprite_;
  plat::Point tooltip_position_{};
  bool tooltip_visible_ = false;
  int32_t cursor_mode_ = 0;
  int32_t tooltip_offset_x_ = 0;
  int32_t tooltip_offset_y_ = 22;
  int32_t command_id_ = -1;
  int32_t script_value_ = 0;
  CSoundChannelManager* sound_channels_ = nullptr;
  int32_t standard_sounds_[3] = {-1, -1, -1};
  CRootCommandListener listener_{*this};
  // The tooltip hides for good when its part ends, until a new part is set.
  WatchedPtr<CImagePart> tooltip_part_{[this] { HideTooltipImage(); }};
};

// The program's root window, made on first use and ended at exit.
CGuiRootWindow& GuiRootWindow();
