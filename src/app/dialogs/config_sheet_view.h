// The configuration sheet drawn over its owner: a tab per page, "デフォルト設定に戻す" for the
// shown page, OK and cancel. Keys are captured into the focused key field as they are pressed,
// and joystick buttons into the focused button field as the poll reports them.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/dialogs/config_sheet_model.h"
#include "platform/window/dialog_host.h"

class CConfigSheetView : public plat::DialogView {
 public:
  // The first newly pressed joystick code since the last poll, negative for none.
  using JoystickPoll = std::function<int32_t()>;

  // `monitors`: the names of the display devices, in their order (UTF-8).
  CConfigSheetView(CConfigSheetModel& model, std::vector<std::string> monitors, JoystickPoll poll);

  void Build(plat::DialogUi& ui) override;
  bool Step() override { return !ended_; }
  // The sheet ended with OK (the caller then confirms the model).
  bool Confirmed() const { return confirmed_; }

  // The sheet fits its height to the shown page.
  static constexpr int32_t kWidth = 600;
  // Every text the sheet draws, for the font.
  static std::vector<std::string> Texts();

 private:
  void BuildKeyboardPage(plat::DialogUi& ui);
  void BuildJoystickPage(plat::DialogUi& ui);
  void BuildOtherPage(plat::DialogUi& ui);
  void BuildWindowPage(plat::DialogUi& ui);
  // A slider and its number field; the typed text goes to `type`, the field is rewritten from
  // the slider when it changes and when the field loses the focus.
  void SliderWithField(plat::DialogUi& ui, const std::string& id, int& value, int maximum, std::string& text,
                       const std::function<void(int)>& set, const std::function<void(const std::string&)>& type,
                       const std::function<std::string()>& shown);
  void RefreshNumberTexts();

  CConfigSheetModel& model_;
  std::vector<std::string> monitors_;
  JoystickPoll poll_;
  // The key field and the button field with the focus; -1 none.
  int focused_key_ = -1;
  int focused_button_ = -1;
  bool page_selected_ = false;
  std::string volume_text_;
  std::string hint_delay_text_;
  std::string history_pages_text_;
  bool ended_ = false;
  bool confirmed_ = false;
};
