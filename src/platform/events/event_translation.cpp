#include "platform/events/event_translation.h"

#include <utility>

#include "platform/encoding/sjis.h"
#include "platform/encoding/text_composition.h"
#include "platform/encoding/text_encoding.h"
#include "platform/events/dropped_files.h"
#include "platform/events/key_codes.h"
#include "platform/files/host_path.h"
#include "platform/system/diagnostic_log.h"

namespace plat {
namespace {

Message MakeMessage(WindowId window, uint32_t number, uint32_t wparam, int32_t lparam, const EventContext& context) {
  Message message;
  message.window = window;
  message.message = number;
  message.wparam = wparam;
  message.lparam = lparam;
  message.time = context.time;
  message.point = context.cursor;
  return message;
}

uint32_t ButtonFlag(uint8_t button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return MK_LBUTTON;
    case SDL_BUTTON_RIGHT:
      return MK_RBUTTON;
    case SDL_BUTTON_MIDDLE:
      return MK_MBUTTON;
    default:
      return 0;
  }
}

uint32_t ButtonFlagsFromMask(uint32_t mask) {
  return ((mask & SDL_BUTTON_LMASK) != 0 ? MK_LBUTTON : 0) | ((mask & SDL_BUTTON_RMASK) != 0 ? MK_RBUTTON : 0) |
         ((mask & SDL_BUTTON_MMASK) != 0 ? MK_MBUTTON : 0);
}

uint32_t ButtonMessage(uint8_t button, bool pressed) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return pressed ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case SDL_BUTTON_RIGHT:
      return pressed ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    default:
      return pressed ? WM_MBUTTONDOWN : WM_MBUTTONUP;
  }
}

// Alt and F10 make the system-key variants, as the menu keys.
bool IsSystemKey(uint32_t virtual_key, uint16_t modifiers) {
  return (modifiers & KMOD_ALT) != 0 || virtual_key == VK_MENU || virtual_key == VK_F10;
}

}  // namespace

void EventTranslator::Translate(const SDL_Event& event, const EventContext& context, std::vector<Message>& out) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      TranslateKey(event.key, context, out);
      break;
    case SDL_TEXTINPUT:
      SetTextComposition({});
      TranslateText(event.text, context, out);
      break;
    case SDL_TEXTEDITING:
      SetTextComposition(event.edit.text, event.edit.start, event.edit.length);
      TranslateComposition(event.edit.windowID, event.edit.text[0] != '\0', context, out);
      break;
    case SDL_TEXTEDITING_EXT: {
      // The long form of a composition that does not fit the short event.
      const char* text = event.editExt.text != nullptr ? event.editExt.text : "";
      SetTextComposition(text, event.editExt.start, event.editExt.length);
      TranslateComposition(event.editExt.windowID, text[0] != '\0', context, out);
      break;
    }
    case SDL_MOUSEMOTION:
      held_buttons_ = ButtonFlagsFromMask(event.motion.state);
      TranslateCursorTurn(event.motion, context, out);
      out.push_back(MakeMessage(event.motion.windowID, WM_MOUSEMOVE, MouseFlags(context.modifiers),
                                MakeLParam(event.motion.x, event.motion.y), context));
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      TranslateButton(event.button, context, out);
      break;
    case SDL_MOUSEWHEEL: {
      // Whole notches only, as the wheel messages count them; the wheel's lParam is on the desktop.
      int32_t notches = event.wheel.y;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      if (notches == 0) break;
      const uint32_t wparam = MakeLong(MouseFlags(context.modifiers), static_cast<uint32_t>(notches * WHEEL_DELTA));
      const int32_t lparam = MakeLParam(context.client_origin.x + event.wheel.mouseX,
                                        context.client_origin.y + event.wheel.mouseY);
      out.push_back(MakeMessage(event.wheel.windowID, WM_MOUSEWHEEL, wparam, lparam, context));
      break;
    }
    case SDL_WINDOWEVENT:
      TranslateWindowEvent(event.window, context, out);
      break;
    case SDL_DROPBEGIN:
    case SDL_DROPFILE:
    case SDL_DROPCOMPLETE:
      TranslateDrop(event.drop, context, out);
      break;
    case SDL_DISPLAYEVENT:
      if (event.display.event == SDL_DISPLAYEVENT_CONNECTED || event.display.event == SDL_DISPLAYEVENT_DISCONNECTED ||
          event.display.event == SDL_DISPLAYEVENT_ORIENTATION) {
        out.push_back(DisplayChange(context));
      }
      break;
    default:
      break;
  }
}

Message EventTranslator::DisplayChange(const EventContext& context) {
  return MakeMessage(0, WM_DISPLAYCHANGE, static_cast<uint32_t>(context.desktop_bits),
                     MakeLParam(context.desktop_width, context.desktop_height), context);
}

// A move over the client area is preceded, as the system does it, by the hit-test and by the
// window's turn to set the cursor; a move outside it (a drag that left the window) is not.
void EventTranslator::TranslateCursorTurn(const SDL_MouseMotionEvent& motion, const EventContext& context,
                                          std::vector<Message>& out) const {
  if (motion.x < 0 || motion.y < 0 || motion.x >= context.client_width || motion.y >= context.client_height) return;
  out.push_back(MakeMessage(motion.windowID, WM_NCHITTEST, 0,
                            MakeLParam(context.client_origin.x + motion.x, context.client_origin.y + motion.y),
                            context));
  out.push_back(MakeMessage(motion.windowID, WM_SETCURSOR, motion.windowID,
                            static_cast<int32_t>(MakeLong(HTCLIENT, WM_MOUSEMOVE)), context));
}

void EventTranslator::TranslateKey(const SDL_KeyboardEvent& key, const EventContext& context,
                                   std::vector<Message>& out) const {
  const uint32_t virtual_key = VirtualKeyFromSdl(key.keysym.sym, key.keysym.scancode);
  if (virtual_key == 0) return;
  const ScanCode scan = ScanCodeFromSdl(key.keysym.scancode);
  const bool pressed = key.state == SDL_PRESSED;
  const bool system = IsSystemKey(virtual_key, context.modifiers);
  uint32_t lparam = 1 | (uint32_t{scan.code} << kKeyScanCodeShift);
  if (scan.extended) lparam |= kKeyExtendedBit;
  if ((context.modifiers & KMOD_ALT) != 0) lparam |= kKeyContextBit;
  if (!pressed) {
    lparam |= kKeyPreviousStateBit | kKeyTransitionBit;
  } else if (key.repeat != 0) {
    lparam |= kKeyPreviousStateBit;
  }
  const uint32_t number = pressed ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
  out.push_back(MakeMessage(key.windowID, number, virtual_key, static_cast<int32_t>(lparam), context));
}

void EventTranslator::TranslateText(const SDL_TextInputEvent& text, const EventContext& context,
                                    std::vector<Message>& out) const {
  // The window reads Shift-JIS, one message per character: a single byte as WM_CHAR, a two-byte
  // character whole as WM_IME_CHAR, so that no reader has to guess which bytes belong together.
  const std::string sjis = Utf8ToSjis(text.text);
  for (std::size_t index = 0; index < sjis.size();) {
    const auto lead = static_cast<uint8_t>(sjis[index]);
    if (SjisCodeLengthAt(sjis, index) == 2) {
      const uint32_t code = uint32_t{lead} << 8 | static_cast<uint8_t>(sjis[index + 1]);
      out.push_back(MakeMessage(text.windowID, WM_IME_CHAR, code, 1, context));
      index += 2;
    } else {
      out.push_back(MakeMessage(text.windowID, WM_CHAR, lead, 1, context));
      ++index;
    }
  }
}

void EventTranslator::TranslateButton(const SDL_MouseButtonEvent& button, const EventContext& context,
                                      std::vector<Message>& out) {
  const uint32_t flag = ButtonFlag(button.button);
  if (flag == 0) return;
  const bool pressed = button.state == SDL_PRESSED;
  held_buttons_ = pressed ? (held_buttons_ | flag) : (held_buttons_ & ~flag);
  out.push_back(MakeMessage(button.windowID, ButtonMessage(button.button, pressed), MouseFlags(context.modifiers),
                            MakeLParam(button.x, button.y), context));
}

void EventTranslator::TranslateWindowEvent(const SDL_WindowEvent& window, const EventContext& context,
                                           std::vector<Message>& out) const {
  const WindowId id = window.windowID;
  const int32_t client_size = MakeLParam(context.client_width, context.client_height);
  switch (window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      out.push_back(MakeMessage(id, WM_ACTIVATEAPP, 1, 0, context));
      out.push_back(MakeMessage(id, WM_ACTIVATE, MakeLong(WA_ACTIVE, context.minimized ? 1 : 0), 0, context));
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      out.push_back(MakeMessage(id, WM_ACTIVATE, MakeLong(WA_INACTIVE, context.minimized ? 1 : 0), 0, context));
      out.push_back(MakeMessage(id, WM_ACTIVATEAPP, 0, 0, context));
      break;
    case SDL_WINDOWEVENT_EXPOSED:
      out.push_back(MakeMessage(id, WM_PAINT, 0, 0, context));
      break;
    case SDL_WINDOWEVENT_CLOSE:
      out.push_back(MakeMessage(id, WM_CLOSE, 0, 0, context));
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      out.push_back(MakeMessage(id, WM_SIZE, SIZE_RESTORED, MakeLParam(window.data1, window.data2), context));
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      out.push_back(MakeMessage(id, WM_SIZE, SIZE_MINIMIZED, 0, context));
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
      // The maximize box asks first, as the system command it is; the size follows.
      out.push_back(MakeMessage(id, WM_SYSCOMMAND, SC_MAXIMIZE, 0, context));
      out.push_back(MakeMessage(id, WM_SIZE, SIZE_MAXIMIZED, client_size, context));
      break;
    case SDL_WINDOWEVENT_RESTORED:
      out.push_back(MakeMessage(id, WM_SIZE, SIZE_RESTORED, client_size, context));
      break;
    case SDL_WINDOWEVENT_MOVED:
      out.push_back(MakeMessage(id, WM_MOVE, 0, MakeLParam(window.data1, window.data2), context));
      break;
    default:
      break;
  }
}

void EventTranslator::TranslateDrop(const SDL_DropEvent& drop, const EventContext& context,
                                    std::vector<Message>& out) {
  if (!context.accepts_files) {
    pending_drops_.erase(drop.windowID);
    return;
  }
  switch (drop.type) {
    case SDL_DROPBEGIN:
      pending_drops_.erase(drop.windowID);
      break;
    case SDL_DROPFILE:
      if (drop.file == nullptr) break;
      if (auto path = ToExactEnginePath(drop.file)) {
        pending_drops_[drop.windowID].push_back(std::move(*path));
      } else {
        LogDiagnostic(std::string("dropped file refused: its name cannot be written in Shift-JIS: ") + drop.file);
      }
      break;
    case SDL_DROPCOMPLETE: {
      auto pending = pending_drops_.extract(drop.windowID);
      if (pending.empty() || pending.mapped().empty()) break;
      const DropHandle handle = RegisterDrop(std::move(pending.mapped()));
      out.push_back(MakeMessage(drop.windowID, WM_DROPFILES, handle, 0, context));
      break;
    }
    default:
      break;
  }
}

// A composition that begins opens the candidate list, one that ends closes it.
void EventTranslator::TranslateComposition(uint32_t window_id, bool composing, const EventContext& context,
                                           std::vector<Message>& out) {
  if (composing == composing_) return;
  composing_ = composing;
  out.push_back(MakeMessage(window_id, WM_IME_NOTIFY, composing ? IMN_OPENCANDIDATE : IMN_CLOSECANDIDATE, 0,
                            context));
}

uint32_t EventTranslator::MouseFlags(uint16_t modifiers) const {
  return held_buttons_ | ((modifiers & KMOD_SHIFT) != 0 ? MK_SHIFT : 0) | ((modifiers & KMOD_CTRL) != 0 ? MK_CONTROL : 0);
}

}  // namespace plat
