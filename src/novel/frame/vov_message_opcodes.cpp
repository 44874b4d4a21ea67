#include "novel/frame/vov_message_opcodes.h"

#include <string>

#include "novel/frame/vov_frame.h"

namespace {

constexpr std::int32_t kDefaultColour = -1;

std::int32_t I32Or(std::span<const VovOperand> operands, std::size_t n, std::int32_t absent) {
  const VovOperand operand = VovOperandAt(operands, n);
  return operand.flags == 0 ? absent : static_cast<std::int32_t>(operand.value);
}

}  // namespace

std::int32_t VovLineBreakHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  if (!frame.InHandler()) return frame.CarryInText(operands);
  if (CTextWindow* window = frame.CurrentWindow()) window->BreakLine();
  return 0;
}

std::int32_t VovMessageFontHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  if (!frame.InHandler()) return frame.CarryInText(operands);
  const VovOperand faces = VovOperandAt(operands, 3);
  const std::string face_list(faces.text);
  frame.SetMessageFont(I32Or(operands, 0, 0), I32Or(operands, 1, kDefaultColour), I32Or(operands, 2, kDefaultColour),
                       faces.flags == 0 || face_list.empty() ? nullptr : face_list.c_str());
  return 0;
}

std::int32_t VovShowWindowHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const auto number = static_cast<std::int32_t>(VovOperandAt(operands, 1).value);
  if (CTextWindow* window = frame.WindowByNumber(number)) frame.ShowTextWindow(*window, VovOperandAt(operands, 0).value != 0);
  return 0;
}

std::int32_t VovEraseWindowHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const auto number = static_cast<std::int32_t>(VovOperandAt(operands, 0).value);
  CTextWindow* window = frame.WindowByNumber(number);
  if (window == nullptr) return 0;
  frame.EraseTextWindow(*window);
  // A number below -1 also gives the message window back its place as the current window.
  if (number < -1) frame.MakeMessageWindowCurrent();
  return 0;
}

void CVovFrame::InstallMessageHandlers() {
  handlers_[14] = VovLineBreakHandler;
  handlers_[28] = VovMessageFontHandler;
  handlers_[29] = VovShowWindowHandler;
  handlers_[30] = VovEraseWindowHandler;
}
