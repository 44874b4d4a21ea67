// What the text window asks of the frame whose commands its text carries: the text window lies
// below the frame and reaches it only through this, which the frame implements.
#pragma once

#include <cstdint>
#include <span>

#include "novel/scenario/vov_command.h"

class ITextWindowFrame {
 public:
  // Runs a command carried in the text: its result.
  virtual std::int32_t CallOpcode(std::uint32_t opcode, std::span<const VovOperand> operands) = 0;
  // Undoes a font command carried in the text once the run has passed it.
  virtual void RestoreMessageFont() = 0;
  // 0 normal, 1 auto mode, 2 a choice awaited, 3 skipping.
  virtual std::int32_t GetWaitState() const = 0;

 protected:
  ~ITextWindowFrame() = default;
};
