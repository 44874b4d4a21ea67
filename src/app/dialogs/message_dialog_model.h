// The state of the game's message dialog: its kind's buttons, the check box that switches the
// message off (written into the caller's flag the moment it is clicked) and the answer.
#pragma once

#include <cstdint>
#include <optional>

#include "app/framework/private_messages.h"

class CMessageDialogModel {
 public:
  // Kinds with the check box clear the caller's flag as the dialog opens.
  CMessageDialogModel(uint32_t kind, uint8_t* switch_off) : kind_(kind), switch_off_(switch_off) {
    if (HasSwitchOff() && switch_off_ != nullptr) *switch_off_ = 0;
  }

  bool AsksYesNo() const { return kind_ == kDialogYesNo || kind_ == kDialogYesNoWithSwitchOff; }
  bool HasSwitchOff() const { return kind_ == kDialogOkWithSwitchOff || kind_ == kDialogYesNoWithSwitchOff; }

  bool SwitchOff() const { return switch_off_on_; }
  void SetSwitchOff(bool on) {
    switch_off_on_ = on;
    if (switch_off_ != nullptr) *switch_off_ = on ? 1 : 0;
  }

  // OK or yes.
  void Accept() { result_ = 1; }
  // No, or the dialog closed.
  void Refuse() { result_ = 0; }
  std::optional<int> Result() const { return result_; }

 private:
  uint32_t kind_;
  uint8_t* switch_off_;
  bool switch_off_on_ = false;
  std::optional<int> result_;
};
