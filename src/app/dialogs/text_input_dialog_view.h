// The text-input dialog drawn over its owner: the prompt, the field and OK (Enter too).
#pragma once

#include <string>

#include "app/framework/text_input_dialog_model.h"
#include "platform/window/dialog_host.h"

class CTextInputDialogView : public plat::DialogView {
 public:
  explicit CTextInputDialogView(TextInputDialogSettings& settings);

  void Build(plat::DialogUi& ui) override;
  bool Step() override { return !ended_; }
  // The dialog ended with OK (the settings' text holds the entry).
  bool Accepted() const { return accepted_; }

  // The dialog's frame for the settings: title, width and position.
  static plat::DialogFrame Frame(const TextInputDialogSettings& settings);
  static constexpr int32_t kWidth = 320;

 private:
  TextInputDialogSettings& settings_;
  std::string entry_;  // UTF-8
  bool focus_set_ = false;
  bool ended_ = false;
  bool accepted_ = false;
};
