#include "platform/window/system_message_box.h"

#include <mutex>
#include <string_view>
#include <utility>

#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "platform/window/dialog_host.h"
#include "platform/window/message_box_view.h"
#include "platform/window/native_window.h"

namespace plat {
namespace {

std::mutex g_answer_lock;
ScopedMessageBoxAnswers::Answerer g_answer;

// Drawn as the engine's own dialogs are, with a font that holds the Japanese texts (the desktop's
// message boxes may have none): over the owner's picture, else in a window of its own.
// The dialog says itself why it could not be shown.
int ShowAsDialog(const MessageBoxRequest& request) {
  const std::string text = MessageBoxText(request);
  const DialogFrame frame{SjisToUtf8(request.caption), MessageBoxView::kWidth, 0, -1, -1, {text}};
  MessageBoxView view(text, request.style);
  if (!RunModalDialog(request.owner != kDesktopWindow ? request.owner : 0, frame, view)) return kMessageBoxNotShown;
  return view.Answer();
}

}  // namespace

std::string MessageBoxText(const MessageBoxRequest& request) {
  return request.text_is_utf8 ? request.text : SjisToUtf8(request.text);
}

std::optional<int> ScriptedMessageBoxAnswer(const MessageBoxRequest& request) {
  ScopedMessageBoxAnswers::Answerer answer;
  {
    std::lock_guard guard(g_answer_lock);
    answer = g_answer;
  }
  if (!answer) return std::nullopt;
  return answer(request);
}

void LogMessageBox(const MessageBoxRequest& request, std::string_view note) {
  std::string line = "message box (" + SjisToUtf8(request.caption) + "): " + MessageBoxText(request);
  if (!note.empty()) line += " [" + std::string(note) + "]";
  LogDiagnostic(line);
}

int ShowMessageBox(const MessageBoxRequest& request) {
  const std::optional<int> scripted = ScriptedMessageBoxAnswer(request);
  if (scripted) return *scripted;
  // The log keeps what the box said, whoever reads the screen, in one line.
  if (!IsDisplaySeen()) {
    LogMessageBox(request, "not shown: no display");
    return kMessageBoxNotShown;
  }
  LogMessageBox(request, {});
  return ShowAsDialog(request);
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
