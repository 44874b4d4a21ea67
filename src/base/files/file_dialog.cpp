#include "base/files/file_dialog.h"

#include "base/files/path.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/host_path.h"
#include "platform/system/diagnostic_log.h"
#include "platform/window/native_window.h"

namespace {

constexpr float kListHeight = 250.0F;
constexpr float kLabelWidth = 124.0F;

std::string Utf8(const std::string& sjis) { return plat::SjisToUtf8(sjis); }

// A folder as the player knows it: its path on this machine, as the message boxes name folders.
std::string ShownFolder(const std::string& folder) { return plat::ToHostPath(folder).value_or(Utf8(folder)); }

// The chooser's window title: one line of the title.
plat::DialogFrame FrameFor(const std::string& title) {
  std::string line = Utf8(title);
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  return plat::DialogFrame{line, CFileChooserView::kWidth, CFileChooserView::kHeight, -1, -1, {Utf8(title)}};
}

std::string RunChooser(plat::WindowId owner, const std::string& title, CFileChooserModel& model) {
  CFileChooserView view(model, Utf8(title));
  plat::DialogFrame frame = FrameFor(title);
  const std::vector<std::string> texts = CFileChooserView::Texts();
  frame.texts.insert(frame.texts.end(), texts.begin(), texts.end());
  for (const CFileChooserModel::Entry& entry : model.Entries()) frame.texts.push_back(Utf8(entry.name));
  for (const FileFilter& filter : model.Filters()) frame.texts.push_back(Utf8(filter.description));
  frame.texts.push_back(ShownFolder(model.Folder()));
  // Like a message box, the chooser brings the display up itself: the set-up asks for a folder
  // before the game's window exists. Nobody would answer it on a display nobody sees.
  if (!plat::IsDisplaySeen() || !plat::RunModalDialog(owner, frame, view)) {
    plat::LogDiagnostic("the chooser \"" + frame.title + "\" cannot be shown: nothing was chosen");
    return {};
  }
  return view.Chosen();
}

// The initial folder made absolute; empty when it cannot be.
std::string AbsoluteFolder(const std::string& folder) {
  if (folder.empty()) return {};
  char full[kMaxPath] = {};
  return MakeFullPath(full, folder.c_str()) != 0 ? std::string(full) : std::string();
}

}  // namespace

CFileChooserView::CFileChooserView(CFileChooserModel& model, std::string title)
    : model_(model), title_(std::move(title)), name_(Utf8(model.Name())) {}

std::vector<std::string> CFileChooserView::Texts() {
  return {"上へ", "ファイル名", "ファイルの種類", "キャンセル", "このファイルは既に存在します。上書きしますか？", "はい",
          "いいえ"};
}

void CFileChooserView::Build(plat::DialogUi& ui) {
  if (title_.find('\n') != std::string::npos) ui.Text(title_);
  ui.Text(ShownFolder(model_.Folder()));
  ui.SameLine(ui.ContentWidth() - 48.0F);
  if (ui.Button("上へ", 56.0F)) {
    model_.Up();
    selected_ = -1;
  }
  std::vector<std::string> lines;
  for (const CFileChooserModel::Entry& entry : model_.Entries()) {
    lines.push_back(entry.folder ? "[" + Utf8(entry.name) + "]" : Utf8(entry.name));
  }
  bool activated = false;
  if (ui.ListBox("##entries", selected_, lines, ui.ContentWidth(), kListHeight, activated)) {
    model_.Pick(selected_);
    name_ = Utf8(model_.Name());
  }
  if (activated) {
    model_.Open(selected_);
    selected_ = -1;
    name_ = Utf8(model_.Name());
  }
  if (model_.Kind() != FileChooserKind::kFolder) {
    ui.Text("ファイル名");
    ui.SameLine(kLabelWidth);
    if (ui.InputText("##name", name_, ui.ContentWidth())) model_.Name() = plat::Utf8ToSjis(name_);
    if (!model_.Filters().empty()) {
      std::vector<std::string> descriptions;
      for (const FileFilter& filter : model_.Filters()) descriptions.push_back(Utf8(filter.description));
      int index = model_.FilterIndex();
      ui.Text("ファイルの種類");
      ui.SameLine(kLabelWidth);
      if (ui.Combo("##filter", index, descriptions, ui.ContentWidth())) model_.SetFilter(index);
    }
  }
  if (asking_overwrite_) {
    ui.Text("このファイルは既に存在します。上書きしますか？");
    if (ui.Button("はい", 80.0F)) {
      chosen_ = model_.Choice().value_or(std::string());
      ended_ = true;
    }
    ui.SameLine();
    if (ui.Button("いいえ", 80.0F)) asking_overwrite_ = false;
    return;
  }
  ui.SetCursorX(ui.ContentWidth() - 2.0F * 96.0F - 8.0F);
  if (ui.Button("OK", 96.0F) || ui.ReturnPressed()) Choose();
  ui.SameLine();
  if (ui.Button("キャンセル", 96.0F) || ui.CloseRequested()) ended_ = true;
}

void CFileChooserView::Choose() {
  const std::optional<std::string> choice = model_.Choice();
  if (!choice) return;
  if (model_.Kind() == FileChooserKind::kSave && plat::GetFileAttributes(*choice)) {
    asking_overwrite_ = true;
    return;
  }
  chosen_ = *choice;
  ended_ = true;
}

int CFileDialog::ShowOpen(plat::WindowId owner, const std::string& title, std::string& file, std::string& file_title,
                          const std::string& initial_folder, const std::string& filter, bool clear) {
  if (clear) file.clear();
  file_title.clear();
  CFileChooserModel model(FileChooserKind::kOpen, AbsoluteFolder(initial_folder), ParseFileFilter(filter),
                          std::string(NameOfPath(file)), {});
  const std::string chosen = RunChooser(owner, title, model);
  if (chosen.empty()) return 0;
  file = chosen;
  file_title = NameOfPath(chosen);
  return 1;
}

int CFileDialog::ShowSave(plat::WindowId owner, const std::string& title, std::string& file, std::string& file_title,
                          const std::string& initial_folder, const std::string& filter,
                          const std::string& default_extension) {
  file_title.clear();
  CFileChooserModel model(FileChooserKind::kSave, AbsoluteFolder(initial_folder), ParseFileFilter(filter),
                          std::string(NameOfPath(file)), default_extension);
  const std::string chosen = RunChooser(owner, title, model);
  if (chosen.empty()) return 0;
  file = chosen;
  file_title = NameOfPath(chosen);
  return 1;
}

std::string BrowseForFolder(plat::WindowId owner, const std::string& title, const std::string& initial_folder) {
  CFileChooserModel model(FileChooserKind::kFolder, AbsoluteFolder(initial_folder), {}, {}, {});
  return RunChooser(owner, title, model);
}
