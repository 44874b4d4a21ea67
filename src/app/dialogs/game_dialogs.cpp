// The game's own dialogs besides the message dialog: the version dialog and the text-input
// dialog, each over the main window inside the application's modal state.
#include "app/dialogs/dialog_modal_scope.h"
#include "app/dialogs/text_input_dialog_view.h"
#include "app/dialogs/version_dialog_view.h"
#include "app/framework/modal_state_scope.h"
#include "app/game/game_app.h"
#include "base/files/file_chooser.h"
#include "base/files/file_dialog.h"
#include "base/files/file_services.h"
#include "base/files/path.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/process.h"
#include "platform/system/diagnostic_log.h"
#include "platform/window/clipboard.h"

namespace {

constexpr uint8_t kShowingVersion = 6;
constexpr std::size_t kSettingAskBeforeWebPage = 0;
constexpr std::size_t kSettingDetailedReport = 1;

}  // namespace

plat::WindowId CGameApp::DialogOwner() {
  return GetMainWindow().IsWindow() ? GetMainWindow().GetHandle() : plat::kDesktopWindow;
}

void CGameApp::ShowVersionDialog() {
  ModalStateScope showing(modal_state_, kShowingVersion);
  const DialogModalScope modal(*this);
  CVersionDialogModel model(
      [this](bool detailed) {
        SystemReportFacts facts = GatherSystemReportFacts(detailed);
        facts.uses_counter = pacer_.UsesCounter();
        facts.skip_enabled = pacer_.IsSkipEnabled();
        return WriteSystemReport(facts, detailed);
      },
      game_settings_[kSettingDetailedReport]);
  const AppInfo& info = GetAppInfo();
  CVersionDialogView view(model, plat::SjisToUtf8(info.product_name),
                          VersionLine(info.version_major, info.version_minor, info.revision),
                          [this, &model](CVersionDialogView::Action action) {
                            return OnVersionDialogAction(static_cast<int>(action), model);
                          });
  plat::DialogFrame frame{"バージョン情報", CVersionDialogView::kWidth, CVersionDialogView::kHeight, -1, -1, {}};
  frame.texts = {plat::SjisToUtf8(info.product_name)};
  if (!plat::RunModalDialog(DialogOwner(), frame, view)) plat::LogDiagnostic("the version dialog cannot be shown");
}

bool CGameApp::OnVersionDialogAction(int action, CVersionDialogModel& model) {
  switch (static_cast<CVersionDialogView::Action>(action)) {
    case CVersionDialogView::Action::kCopy:
      ShowMessageDialog(plat::Utf8ToSjis(plat::SetClipboardText(plat::SjisToUtf8(model.Report()))
                                             ? "クリップボードにシステム情報をコピーしました。"
                                             : "メモリの確保に失敗しました。"),
                        kDialogOk, nullptr, nullptr, false);
      return true;
    case CVersionDialogView::Action::kSave:
      SaveSystemReport(model.Report());
      return true;
    case CVersionDialogView::Action::kWebPage:
      return ShowWebPage();
    default:
      return true;
  }
}

bool CGameApp::ShowWebPage() {
  uint8_t& ask = game_settings_[kSettingAskBeforeWebPage];
  if (ask != 0) {
    // The check box switches the question off: it writes the setting, which is then inverted.
    const int yes = ShowMessageDialog(plat::Utf8ToSjis("「Zirel」のWebページを表示します。\nよろしいですか？"),
                                      kDialogYesNoWithSwitchOff, &ask, nullptr, false);
    ask = ask != 0 ? 0 : 1;
    if (yes != 1) return true;
  }
  if (!plat::OpenWebAddress(GetAppInfo().web_address)) {
    plat::LogDiagnostic("the web page cannot be opened: " + GetAppInfo().web_address);
  }
  // In full screen the browser would open behind the game: the dialog closes.
  return GetWindowSettings()[kWinScreenMode] != kScreenModeFullScreen;
}

int CGameApp::ShowTextInputDialog(TextInputDialogSettings& settings) {
  const DialogModalScope modal(*this);
  const std::string before = settings.text;
  CTextInputDialogView view(settings);
  if (!plat::RunModalDialog(DialogOwner(), CTextInputDialogView::Frame(settings), view)) {
    plat::LogDiagnostic("the text-input dialog cannot be shown");
    return 0;
  }
  return view.Accepted() ? 1 : 0;
}

void CGameApp::SaveSystemReport(const std::string& report) {
  char documents[kMaxPath] = {};
  GetSpecialFolderPath(documents, kFolderDocuments);
  std::string file = ReportFileName(GetAppInfo().application_name);
  std::string file_title;
  CFileDialog dialog;
  if (dialog.ShowSave(DialogOwner(), plat::Utf8ToSjis("ファイルに保存"), file, file_title, documents,
                      plat::Utf8ToSjis("システム情報ファイル(*.TXT)\t*.TXT"), "txt") == 0) {
    return;
  }
  const std::string text = ReportFileText(report);
  const bool saved =
      SaveFileReplacing(file.c_str(), std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())) == 0;
  ShowMessageDialog(plat::Utf8ToSjis(saved ? "システム情報をファイルに保存しました。"
                                           : "システム情報ファイルの作成に失敗しました。"),
                    kDialogOk, nullptr, nullptr, false);
}

void CGameApp::ShowFileDialog(FileDialogRequestBlock& request, bool save) {
  const DialogModalScope modal(*this);
  const std::string folder = request.initial_folder.empty() ? std::string(g_ModuleFolder) : request.initial_folder;
  CFileDialog dialog;
  if (!save) {
    request.result = dialog.ShowOpen(DialogOwner(), request.title, request.file, request.file_title, folder,
                                     request.filter, request.clear);
    return;
  }
  request.result = dialog.ShowSave(DialogOwner(), request.title, request.file, request.file_title, folder,
                                   request.filter, request.default_extension);
  if (request.result != 0) request.result += static_cast<int32_t>(ExtensionOffsetOf(request.file));
}

void CGameApp::ShowFolderDialog(FolderDialogRequestBlock& request) {
  const DialogModalScope modal(*this);
  request.folder = BrowseForFolder(DialogOwner(), request.title, request.initial_folder);
  if (request.folder.empty()) {
    request.result = 0;
    return;
  }
  request.folder = FolderWithBackslash(std::move(request.folder));
  request.result = 1;
}
