// The opcode table: one handler per opcode 0 to 128. Every opcode starts with the empty handler,
// which the core commands (0-11, which never reach the table) and the opcodes without a command
// (15, 22-24, 26, 27, 31-34 and 66-71) keep; the frame's parts (message window, waits, slots,
// effects, transitions, sounds, screens) set the handlers of every other opcode.
#include "novel/frame/vov_frame.h"

namespace {

std::int32_t EmptyHandler(CVovFrame&, std::span<const VovOperand>) { return 0; }

// 18: the title text.
std::int32_t TitleHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  frame.SetTitle(VovOperandAt(operands, 0).text);
  return 0;
}

// 19: a disabled mark for the next choice list.
std::int32_t ChoiceMarkHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  frame.MarkChoiceDisabled(VovOperandAt(operands, 0).value);
  return 0;
}

// 25: the speaker and voice names of the next message.
std::int32_t NamesHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  frame.SetNames(VovOperandAt(operands, 0).text, VovOperandAt(operands, 1).text);
  return 0;
}

}  // namespace

void CVovFrame::InstallHandlers() {
  handlers_.assign(kOpcodeCount, EmptyHandler);
  handlers_[18] = TitleHandler;
  handlers_[19] = ChoiceMarkHandler;
  handlers_[25] = NamesHandler;
  InstallPageHandlers();
  InstallMessageHandlers();
  InstallFlowHandlers();
  InstallSoundHandlers();
  InstallSelectScreenHandlers();
  InstallTransitionHandlers();
  InstallBgEffectHandlers();
  InstallBgBlurHandlers();
  InstallSpriteEffectHandlers();
}
