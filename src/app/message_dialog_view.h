// The message dialog drawn over its owner: the text, the check box of the kinds that have it,
// and OK or "はい" and "いいえ".
#pragma once

#include <string>

#include "app/message_dialog_model.h"
#include "platform/dialog_host.h"

class CMessageDialogView : public plat::DialogView {
 public:
  // `text` is UTF-8.
  CMessageDialogView(CMessageDialogModel& model, std::string text) : model_(model), text_(std::move(text)) {}

  void Build(plat::DialogUi& ui) override;
  bool Step() override { return !model_.Result().has_value(); }

  // The dialog's width: about that of the game's message template.
  static constexpr int32_t kWidth = 320;

 private:
  CMessageDialogModel& model_;
  std::string text_;
};
