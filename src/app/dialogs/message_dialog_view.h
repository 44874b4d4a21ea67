// The message dialog drawn over its owner: the text, the check box of the kinds that have it,
// and OK or "はい" and "いいえ".
#pragma once

#include <string>

#include "app/dialogs/message_dialog_model.h"
#include "platform/window/dialog_host.h"

class CMessageDialogView : public plat::DialogView {
 public:
  // `text` is UTF-8. With `place_pointer` the mouse pointer goes onto the first button as the
  // dialog opens.
  CMessageDialogView(CMessageDialogModel& model, std::string text, bool place_pointer = false)
      : model_(model), text_(std::move(text)), place_pointer_(place_pointer) {}

  void Build(plat::DialogUi& ui) override;
  bool Step() override { return !model_.Result().has_value(); }

  // The dialog's width: about that of the game's message template.
  static constexpr int32_t kWidth = 320;

 private:
  CMessageDialogModel& model_;
  std::string text_;
  bool place_pointer_;
  int frames_built_ = 0;
};
