#include "builtins/message_box_builtins.h"

#include <string>

#include "base/system/app_services.h"

namespace {

constexpr int kBoxOk = 0;
constexpr int kBoxYesNo = 1;
constexpr int kBoxOkCancel = 2;
constexpr std::uint32_t kDialogMessage = 0;
constexpr std::uint32_t kDialogQuestion = 2;

std::string TextOrEmpty(const char* text) { return text != nullptr ? text : ""; }

std::uint32_t AskMessageBox(const NativeArgs& args, int box_type) {
  const char* title = args.Str(0);
  const std::string text = TextOrEmpty(args.Str(1));
  const int icon_kind = args.I32(2);
  if (g_AppServices == nullptr) return 0;
  return g_AppServices->RequestScriptMessageBox(box_type, text, icon_kind, title);
}

}  // namespace

std::uint32_t NativeMessageBox(const NativeArgs& args) {
  AskMessageBox(args, kBoxOk);
  return 0;
}

std::uint32_t NativeMessageBoxAnswer(const NativeArgs& args) { return AskMessageBox(args, kBoxYesNo); }

std::uint32_t NativeMessageBoxAnswer2(const NativeArgs& args) { return AskMessageBox(args, kBoxOkCancel); }

std::uint32_t NativeMessageDialog(const NativeArgs& args) {
  const std::uint32_t kind = args.I32(0) > 0 ? kDialogQuestion : kDialogMessage;
  const char* title = args.Str(1);
  const std::string text = TextOrEmpty(args.Str(2));
  if (g_AppServices == nullptr || text.empty()) return 0;
  return g_AppServices->RequestScriptMessageDialog(text, kind, title);
}
