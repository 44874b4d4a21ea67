// The opcode table: one handler per opcode 0 to 128, filled in opcode order. The core commands
// (0-11) never reach it; the opcodes without a command hold the empty handler. The handlers of
// the frame's other parts (message window, waits, slots, effects, transitions, sounds, screens)
// are set by those parts; an opcode no part claims logs "not built yet" and goes on.
#include <string>

#include "base/system/not_built.h"
#include "novel/frame/vov_frame.h"

namespace {

std::int32_t EmptyHandler(CVovFrame&, std::span<const VovOperand>) { return 0; }

bool IsEmptyOpcode(std::uint32_t opcode) {
  return opcode < kVovFirstOpcode || opcode == 15 || (opcode >= 22 && opcode <= 24) || opcode == 26 ||
         opcode == 27 || (opcode >= 31 && opcode <= 34) || (opcode >= 66 && opcode <= 71);
}

VovHandler NotBuiltHandler(std::uint32_t opcode) {
  return [what = "scenario opcode " + std::to_string(opcode)](CVovFrame&, std::span<const VovOperand>) {
    ReportNotBuiltYet(what);
    return 0;
  };
}

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
  handlers_.clear();
  handlers_.reserve(kOpcodeCount);
  for (std::uint32_t opcode = 0; opcode < kOpcodeCount; ++opcode) {
    handlers_.emplace_back(IsEmptyOpcode(opcode) ? VovHandler(EmptyHandler) : NotBuiltHandler(opcode));
  }
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
