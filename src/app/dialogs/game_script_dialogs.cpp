// The dialogs that the scripts' built-in functions ask for from the game thread: each is sent to
// the main window as its menu command, and the window's thread shows it.
#include "app/game/game_app.h"

void CGameApp::SetTextInputParameters(const ScriptTextInputParameters& parameters) {
  script_text_input_.title = parameters.title;
  script_text_input_.prompt = parameters.prompt;
  script_text_input_.double_byte_only = parameters.double_byte_only;
  script_text_input_.max_length = parameters.max_length;
  script_text_input_.open_ime = parameters.open_ime;
  script_text_input_.width = parameters.width;
  script_text_input_.x = parameters.x;
  script_text_input_.y = parameters.y;
}

std::string CGameApp::InputText() {
  TextInputRequestBlock request;
  request.settings = script_text_input_;
  SendFromGameThread(plat::WM_COMMAND, kCmdTextInputDialog, 0, &request);
  if (request.result == 0) return {};
  // The entry starts the next dialog, as the dialog object keeps it.
  script_text_input_.text = request.settings.text;
  return request.settings.text;
}

int32_t CGameApp::ChooseFile(ScriptFileChoice& choice, bool save) {
  FileDialogRequestBlock request;
  request.title = choice.title;
  request.file = choice.file;
  request.initial_folder = choice.initial_folder;
  request.filter = choice.filter;
  SendFromGameThread(plat::WM_COMMAND, save ? kCmdSaveFileDialog : kCmdOpenFileDialog, 0, &request);
  choice.file = request.file;
  choice.file_title = request.file_title;
  return request.result;
}

std::string CGameApp::ChooseFolder(const std::string& title, const std::string& initial_folder) {
  FolderDialogRequestBlock request;
  request.title = title;
  request.initial_folder = initial_folder;
  SendFromGameThread(plat::WM_COMMAND, kCmdFolderDialog, 0, &request);
  return request.result == 0 ? std::string() : request.folder;
}
