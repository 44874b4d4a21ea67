// Message boxes: a Shift-JIS text and caption with the engine's icon kinds and button sets,
// drawn as dialogs with the engine's own Japanese font (before any window exists, in a small
// window of their own), written to the log as well, and answered with the engine's button ids.
// Tests install scripted answers in place of the real box, which would wait for a click.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/events/window_messages.h"

namespace plat {

// Style bits.
inline constexpr uint32_t MB_OK = 0x0000;
inline constexpr uint32_t MB_OKCANCEL = 0x0001;
inline constexpr uint32_t MB_YESNO = 0x0004;
inline constexpr uint32_t MB_ICONHAND = 0x0010;  // stop
inline constexpr uint32_t MB_ICONSTOP = MB_ICONHAND;
inline constexpr uint32_t MB_ICONQUESTION = 0x0020;
inline constexpr uint32_t MB_ICONEXCLAMATION = 0x0030;
inline constexpr uint32_t MB_ICONINFORMATION = 0x0040;
inline constexpr uint32_t MB_SYSTEMMODAL = 0x1000;
inline constexpr uint32_t MB_SETFOREGROUND = 0x10000;
inline constexpr uint32_t kMessageBoxButtonsMask = 0x000F;
inline constexpr uint32_t kMessageBoxIconMask = 0x00F0;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
// What ShowMessageBox answers for a box that could not be shown.
inline constexpr int kMessageBoxNotShown = 0;

struct MessageBoxRequest {
  WindowId owner = 0;  // 0 none, kDesktopWindow the desktop
  std::string text;    // Shift-JIS, or UTF-8 when text_is_utf8
  std::string caption;
  uint32_t style = MB_OK;
  // A text that names paths of this machine comes in UTF-8, which holds every name Shift-JIS may
  // not.
  bool text_is_utf8 = false;
};

// The box's text in UTF-8, as it is shown and logged.
std::string MessageBoxText(const MessageBoxRequest& request);

// Shows the box and returns the button chosen; a box closed without a button answers as its
// escape button (IDCANCEL for OK/Cancel, IDNO for Yes/No, IDOK for a single button). A box that
// cannot be shown (no display) is written to the program log and answers kMessageBoxNotShown.
int ShowMessageBox(const MessageBoxRequest& request);

// Writes the box's caption and text to the program log in UTF-8, with `note` (why it was not
// shown, for one) in brackets when there is one.
void LogMessageBox(const MessageBoxRequest& request, std::string_view note);
// The note of a box that the application, already ending, logs instead of showing.
inline constexpr std::string_view kNotShownWhileEnding = "not shown: the application is ending";

// The scripted answer to a box or dialog while answers are scripted (ScopedMessageBoxAnswers);
// none when the player answers on the screen.
std::optional<int> ScriptedMessageBoxAnswer(const MessageBoxRequest& request);

// While it lives, every message box goes to `answer` instead of the screen.
class ScopedMessageBoxAnswers {
 public:
  using Answerer = std::function<int(const MessageBoxRequest&)>;
  explicit ScopedMessageBoxAnswers(Answerer answer);
  ~ScopedMessageBoxAnswers();
  ScopedMessageBoxAnswers(const ScopedMessageBoxAnswers&) = delete;
  ScopedMessageBoxAnswers& operator=(const ScopedMessageBoxAnswers&) = delete;

 private:
  Answerer previous_;
};

}  // namespace plat
