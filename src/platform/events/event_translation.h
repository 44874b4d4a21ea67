// SDL events in the engine's terms: each event becomes the window messages the engine expects,
// with their numbers and parameters packed as it reads them. The translation depends only on the
// event and on the state passed in, so it runs without a display.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/events/window_messages.h"

namespace plat {

// What the translation needs to know beyond the event, read when the event is taken.
struct EventContext {
  uint32_t time = 0;
  Point cursor;         // the cursor on the desktop
  Point client_origin;  // the event window's client area on the desktop
  int32_t client_width = 0;
  int32_t client_height = 0;
  bool minimized = false;
  uint16_t modifiers = KMOD_NONE;  // SDL's modifier state
  int32_t desktop_width = 0;
  int32_t desktop_height = 0;
  int32_t desktop_bits = 0;
  bool accepts_files = false;  // the event window takes dropped files
};

class EventTranslator {
 public:
  // Appends the messages that `event` becomes; events the engine has no message for add none.
  // A display change is addressed to window 0: it goes to every window. The files of a drop
  // gather until its end, which becomes one WM_DROPFILES for a window that accepts them.
  void Translate(const SDL_Event& event, const EventContext& context, std::vector<Message>& out);

  // The display change for every window, carrying the desktop's mode as the context gives it.
  static Message DisplayChange(const EventContext& context);

  // MK_ flags of the mouse buttons held, as the last events left them.
  uint32_t HeldButtons() const { return held_buttons_; }

 private:
  void TranslateCursorTurn(const SDL_MouseMotionEvent& motion, const EventContext& context,
                           std::vector<Message>& out) const;
  void TranslateKey(const SDL_KeyboardEvent& key, const EventContext& context, std::vector<Message>& out) const;
  void TranslateText(const SDL_TextInputEvent& text, const EventContext& context, std::vector<Message>& out) const;
  void TranslateButton(const SDL_MouseButtonEvent& button, const EventContext& context, std::vector<Message>& out);
  void TranslateWindowEvent(const SDL_WindowEvent& window, const EventContext& context,
                            std::vector<Message>& out) const;
  void TranslateComposition(uint32_t window_id, bool composing, const EventContext& context, std::vector<Message>& out);
  void TranslateDrop(const SDL_DropEvent& drop, const EventContext& context, std::vector<Message>& out);
  uint32_t MouseFlags(uint16_t modifiers) const;

  uint32_t held_buttons_ = 0;
  bool composing_ = false;
  // The engine paths of the drop each window is receiving.
  std::map<WindowId, std::vector<std::string>> pending_drops_;
};

}  // namespace plat
