#include "platform/message_box.h"

#include <SDL.h>

#include <mutex>
#include <utility>
#include <vector>

#include "platform/diagnostic_log.h"
#include "platform/text_encoding.h"

namespace plat {
namespace {

std::mutex g_answer_lock;
ScopedMessageBoxAnswers::Answerer g_answer;

int ClosedAnswer(uint32_t style) {
  switch (style & kMessageBoxButtonsMask) {
    case MB_OKCANCEL:
      return IDCANCEL;
    case MB_YESNO:
      return IDNO;
    default:
      return IDOK;
  }
}

uint32_t SdlIconFlags(uint32_t style) {
  switch (style & kMessageBoxIconMask) {
    case MB_ICONSTOP:
      return SDL_MESSAGEBOX_ERROR;
    case MB_ICONEXCLAMATION:
      return SDL_MESSAGEBOX_WARNING;
    case MB_ICONINFORMATION:
    case MB_ICONQUESTION:
      return SDL_MESSAGEBOX_INFORMATION;
    default:
      return 0;
  }
}

std::vector<SDL_MessageBoxButtonData> ButtonsOf(uint32_t style) {
  constexpr uint32_t kReturn = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  constexpr uint32_t kEscape = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
  switch (style & kMessageBoxButtonsMask) {
    case MB_OKCANCEL:
      return {{kReturn, IDOK, "OK"}, {kEscape, IDCANCEL, "キャンセル"}};
    case MB_YESNO:
      return {{kReturn, IDYES, "はい"}, {kEscape, IDNO, "いいえ"}};
    default:
      return {{kReturn | kEscape, IDOK, "OK"}};
  }
}

int ShowWithSdl(const MessageBoxRequest& request) {
  const std::string text = SjisToUtf8(request.text);
  const std::string caption = SjisToUtf8(request.caption);
  const std::vector<SDL_MessageBoxButtonData> buttons = ButtonsOf(request.style);
  SDL_Window* owner = (request.owner != 0 && request.owner != kDesktopWindow) ? SDL_GetWindowFromID(request.owner) : nullptr;
  const SDL_MessageBoxData data{SdlIconFlags(request.style), owner, caption.c_str(), text.c_str(),
                                static_cast<int>(buttons.size()), buttons.data(), nullptr};
  int chosen = 0;
  if (SDL_ShowMessageBox(&data, &chosen) != 0) {
    LogDiagnostic("message box (" + caption + "): " + text + " [not shown: " + SDL_GetError() + "]");
    return kMessageBoxNotShown;
  }
  // Closing the box without a button is the escape answer.
  return chosen < 0 ? ClosedAnswer(request.style) : chosen;
}

}  // namespace

std::optional<int> ScriptedMessageBoxAnswer(const MessageBoxRequest& request) {
  ScopedMessageBoxAnswers::Answerer answer;
  {
    std::lock_guard guard(g_answer_lock);
    answer = g_answer;
  }
  if (!answer) return std::nullopt;
  return answer(request);
}

int ShowMessageBox(const MessageBoxRequest& request) {
  const std::optional<int> scripted = ScriptedMessageBoxAnswer(request);
  return scripted ? *scripted : ShowWithSdl(request);
}

ScopedMessageBoxAnswers::ScopedMessageBoxAnswers(Answerer answer) {
  std::lock_guard guard(g_answer_lock);
  previous_ = std::exchange(g_answer, std::move(answer));
}

ScopedMessageBoxAnswers::~ScopedMessageBoxAnswers() {
  std::lock_guard guard(g_answer_lock);
  g_answer = std::move(previous_);
}

}  // namespace plat
