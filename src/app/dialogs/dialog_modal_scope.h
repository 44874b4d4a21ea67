// Enters the application's modal state for the time of a dialog, unless it was entered already
// (the dialog then leaves it to whoever entered it).
#pragma once

#include "app/framework/framework_app.h"

class DialogModalScope {
 public:
  explicit DialogModalScope(CFrameworkApp& app) : app_(app), enters_(!app.IsModal()) {
    if (enters_) app_.EnterModal();
  }
  ~DialogModalScope() {
    if (enters_) app_.LeaveModal();
  }
  DialogModalScope(const DialogModalScope&) = delete;
  DialogModalScope& operator=(const DialogModalScope&) = delete;

 private:
  CFrameworkApp& app_;
  bool enters_;
};
