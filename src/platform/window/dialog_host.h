// Modal dialogs drawn with the overlay GUI over a window's picture: the window keeps showing
// its last frame under the dialog and keeps receiving its other messages, while the dialog takes
// its input. A dialog without an owner window gets a window of its own. A dialog is a view that
// draws its controls each frame through `DialogUi` and acts on what was clicked between frames.
// Everything here runs on the window thread.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/events/window_messages.h"

namespace plat {

class OverlayGui;

// The controls a dialog draws with, valid while its view builds a frame. Texts are UTF-8; a
// width of 0 is the control's own.
class DialogUi {
 public:
  DialogUi(const OverlayGui& gui, bool close_requested, SDL_Window* window = nullptr)
      : gui_(gui), close_requested_(close_requested), window_(window) {}

  void Text(const std::string& text);
  // Text broken into lines at the given width, as the message window breaks them
  // (WrapDialogText).
  void WrappedText(const std::string& text, float width);
  bool Button(const std::string& label, float width = 0.0F);
  bool Checkbox(const std::string& label, bool& value);
  bool Radio(const std::string& label, bool active);
  bool Slider(const std::string& id, int& value, int minimum, int maximum, float width);
  // A one-line field; true when its text changed in this frame.
  bool InputText(const std::string& id, std::string& text, float width);
  // A multi-line field the user can select in but not change, in its own colours (0xRRGGBB;
  // kStyleColour keeps the dialog's).
  static constexpr uint32_t kStyleColour = 0xFFFFFFFF;
  void ReadOnlyText(const std::string& id, const std::string& text, float width, float height,
                    uint32_t text_colour = kStyleColour, uint32_t background = kStyleColour);
  // A text drawn as a link; true when it was clicked.
  bool LinkText(const std::string& text);
  bool Combo(const std::string& id, int& index, const std::vector<std::string>& items, float width);
  // A box that shows a text and takes the focus when clicked (true on the click).
  bool Field(const std::string& id, const std::string& text, bool focused, float width);
  // Tabs: a tab's contents follow when TabItem answers true, closed by EndTabItem.
  bool BeginTabBar(const std::string& id);
  bool TabItem(const std::string& label, bool select);
  void EndTabItem();
  void EndTabBar();
  // The next control takes the keyboard focus.
  void FocusNext();
  // The last control lost the keyboard focus in this frame.
  bool LostFocus() const;
  // The next control starts at `x` of the window (0: just after the last one).
  void SameLine(float x = 0.0F);
  void Separator();
  // The next control starts at `x` from the left of the dialog's contents.
  void SetCursorX(float x);
  void BeginDisabled(bool disabled);
  void EndDisabled();
  // A list box of lines; true when the selection changed, `activated` set on a double click.
  bool ListBox(const std::string& id, int& index, const std::vector<std::string>& items, float width, float height,
               bool& activated);
  float ContentWidth() const;

  // The keys pressed since the frame before, as DirectInput codes (0 for keys without one).
  std::vector<uint8_t> PressedKeys() const;
  // Return or the keypad's Enter was pressed since the frame before: the default button's key.
  bool ReturnPressed() const;
  // Escape, the window's close box, or a watcher asked the dialog to close.
  bool CloseRequested() const { return close_requested_; }
  // Moves the mouse pointer to (right, down) from the top-left corner of the control drawn last.
  void PutPointerOnLastItem(int32_t right, int32_t down);

 private:
  const OverlayGui& gui_;
  bool close_requested_;
  SDL_Window* window_;
};

class DialogView {
 public:
  virtual ~DialogView() = default;
  // Draws the controls; must not open other dialogs.
  virtual void Build(DialogUi& ui) = 0;
  // Between frames: acts on what the last frame recorded (may open other dialogs); false when
  // the dialog has ended.
  virtual bool Step() = 0;
};

struct DialogFrame {
  std::string title;  // UTF-8
  // A height of 0 fits the dialog to its controls, at least `width` wide.
  int32_t width = 0;
  int32_t height = 0;
  // The top-left corner in the owner's client area; negative: centred.
  int32_t x = -1;
  int32_t y = -1;
  // Texts whose glyphs the font must hold besides the common Japanese ones (entered or read
  // texts, say).
  std::vector<std::string> texts;
};

// Runs the view until it ends, over `owner` (a window with a picture), else over a window of its
// own; false when it cannot be shown (no display, or not on the window thread).
bool RunModalDialog(WindowId owner, const DialogFrame& frame, DialogView& view);

// Whether a dialog is open over the window, or any at all (window 0).
bool IsDialogOpen(WindowId window);

// What a watcher sees after each frame of a dialog: the pixels of the window it shows in.
struct DialogShot {
  std::string title;
  int frame = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, rows top down
  int32_t width = 0;
  int32_t height = 0;
  // The font holds a glyph of its own for every character of the title and the frame's texts.
  bool glyphs_covered = false;
};

// While it lives, every dialog frame is shown to the watcher, which may answer true to ask the
// dialog to close, as the close box would (tests look at dialogs this way).
class ScopedDialogWatcher {
 public:
  using Watcher = std::function<bool(const DialogShot& shot)>;
  explicit ScopedDialogWatcher(Watcher watcher);
  ~ScopedDialogWatcher();
  ScopedDialogWatcher(const ScopedDialogWatcher&) = delete;
  ScopedDialogWatcher& operator=(const ScopedDialogWatcher&) = delete;

 private:
  Watcher previous_;
};

namespace dialog_host {
// Takes an input event addressed to a window with an open dialog; false leaves it to the window.
bool TakeEvent(const SDL_Event& event);
// Draws the window's open dialogs over what its renderer holds (the presenter calls it).
void DrawOver(WindowId window, SDL_Renderer* renderer);
}  // namespace dialog_host

}  // namespace plat
