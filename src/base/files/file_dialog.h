// The open-file, save-file and folder choosers, drawn over their owner window (or in a window of
// their own when the owner is the desktop). Paths are engine paths.
#pragma once

#include <string>
#include <vector>

#include "base/files/file_chooser.h"
#include "platform/window/dialog_host.h"

class CFileChooserView : public plat::DialogView {
 public:
  // `title` is UTF-8.
  CFileChooserView(CFileChooserModel& model, std::string title);

  void Build(plat::DialogUi& ui) override;
  bool Step() override { return !ended_; }
  // The chosen path; empty when the chooser was cancelled.
  const std::string& Chosen() const { return chosen_; }

  // The texts the chooser draws besides the listed names, for the font.
  static std::vector<std::string> Texts();
  static constexpr int32_t kWidth = 560;
  static constexpr int32_t kHeight = 420;

 private:
  void Choose();

  CFileChooserModel& model_;
  std::string title_;
  int selected_ = -1;
  std::string name_;  // UTF-8, edited
  bool asking_overwrite_ = false;
  std::string chosen_;
  bool ended_ = false;
};

class CFileDialog {
 public:
  virtual ~CFileDialog() = default;
  // Open: `file` takes the chosen path and `file_title` its name; `clear` empties `file` first.
  // 1 when a file was chosen, 0 when cancelled (or when the chooser cannot be shown).
  int ShowOpen(plat::WindowId owner, const std::string& title, std::string& file, std::string& file_title,
               const std::string& initial_folder, const std::string& filter, bool clear);
  // Save: as Open, `file` proposing a name, the default extension added to a name without one;
  // a file that exists is overwritten only after the user agrees.
  int ShowSave(plat::WindowId owner, const std::string& title, std::string& file, std::string& file_title,
               const std::string& initial_folder, const std::string& filter, const std::string& default_extension);
};

// The folder chooser: the chosen folder (without a trailing backslash, unless it is a drive's
// root), empty when cancelled.
std::string BrowseForFolder(plat::WindowId owner, const std::string& title, const std::string& initial_folder);
