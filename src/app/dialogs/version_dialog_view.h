// The version dialog drawn over its owner: the product and its version line, the system report
// in its field with the check box of the detailed form, the copy and save buttons and OK. The
// product name stands where the logo would: a click on it opens the game's web page.
#pragma once

#include <functional>
#include <string>

#include "app/dialogs/version_dialog_model.h"
#include "platform/window/dialog_host.h"

class CVersionDialogView : public plat::DialogView {
 public:
  enum class Action { kNone, kCopy, kSave, kWebPage, kClose };
  // Carries out a button's action between frames; true keeps the dialog open.
  using ActionHandler = std::function<bool(Action action)>;

  // `product` and `version_line` are UTF-8.
  CVersionDialogView(CVersionDialogModel& model, std::string product, std::string version_line,
                     ActionHandler handler)
      : model_(model), product_(std::move(product)), version_line_(std::move(version_line)),
        handler_(std::move(handler)) {}

  void Build(plat::DialogUi& ui) override;
  bool Step() override;

  static constexpr int32_t kWidth = 480;
  static constexpr int32_t kHeight = 400;

 private:
  CVersionDialogModel& model_;
  std::string product_;
  std::string version_line_;
  ActionHandler handler_;
  Action pending_ = Action::kNone;
};
