// The message window's opcodes: the line break (14) and the message font (28), which travel in
// the message text and act where the display reaches them, and the showing (29) and erasing (30)
// of a text window.
#pragma once

#include <cstdint>
#include <span>

#include "novel/scenario/vov_command.h"

class CVovFrame;

std::int32_t VovLineBreakHandler(CVovFrame& frame, std::span<const VovOperand> operands);
std::int32_t VovMessageFontHandler(CVovFrame& frame, std::span<const VovOperand> operands);
std::int32_t VovShowWindowHandler(CVovFrame& frame, std::span<const VovOperand> operands);
std::int32_t VovEraseWindowHandler(CVovFrame& frame, std::span<const VovOperand> operands);
