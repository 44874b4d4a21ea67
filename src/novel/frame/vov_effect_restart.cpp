// The effects that a loaded game had running for ever start again from the records the load
// brought back, each through the command that started it, with the operands the record keeps.
#include <string>
#include <vector>

#include "novel/frame/vov_frame.h"

namespace {

constexpr std::uint32_t kSpritePath = 81;
constexpr std::uint32_t kCellAnimation = 84;
constexpr std::uint32_t kPathView = 48;
constexpr std::uint32_t kNoise = 59;
constexpr std::uint32_t kWave = 60;
constexpr std::uint32_t kCross = 61;
constexpr std::uint32_t kParticles = 62;
constexpr std::uint32_t kQuake = 109;
constexpr std::int32_t kLoopingPath = 1;
constexpr std::int32_t kLoopingCells = 2;

// The operands of a restarting command: numbers, and texts kept in `texts` while it runs.
class RestartOperands {
 public:
  RestartOperands& Number(std::uint32_t value) {
    operands_.push_back({1, value, {}});
    return *this;
  }
  RestartOperands& Text(std::string text) {
    texts_.push_back(std::move(text));
    operands_.push_back({kVovStringFlag, 1, {}});
    return *this;
  }
  std::vector<VovOperand> Operands() const {
    std::vector<VovOperand> operands = operands_;
    std::size_t text = 0;
    for (VovOperand& operand : operands) {
      if (operand.flags == kVovStringFlag) operand.text = texts_[text++];
    }
    return operands;
  }

 private:
  std::vector<VovOperand> operands_;
  std::vector<std::string> texts_;
};

}  // namespace

void CVovFrame::RestartSpriteEffect(std::uint32_t index, bool back, std::int32_t group) {
  const SpriteRecord* record = page_.Sprite(index, back, group);
  if (record == nullptr) return;
  const auto page = static_cast<std::uint32_t>(back ? 1 : 0);
  const auto group_word = static_cast<std::uint32_t>(group);
  const auto param = static_cast<std::uint32_t>(record->persist_param);
  RestartOperands operands;
  std::uint32_t opcode = 0;
  if (record->persist_kind == kLoopingPath) {
    opcode = kSpritePath;
    operands.Number(index).Text(record->persist_name).Number(param).Number(page).Number(group_word).Number(1);
  } else if (record->persist_kind == kLoopingCells) {
    opcode = kCellAnimation;
    operands.Number(index).Number(param).Number(1).Number(page).Number(group_word);
  } else {
    return;
  }
  handlers_[opcode](*this, operands.Operands());
}

void CVovFrame::RestartBgEffect(std::uint32_t slot) {
  const BgSlotRecord& record = page_.Bg(slot);
  const auto word = [&](std::size_t n) { return PersistWord(record, n); };
  const std::int32_t kind = record.persist_kind;
  RestartOperands operands;
  std::uint32_t opcode = 0;
  if (kind == kPersistNoise) {
    opcode = kNoise;
    operands.Number(word(0)).Number(word(1)).Number(word(2)).Number(slot);
  } else if (kind == kPersistLoopingPanime) {
    opcode = kPathView;
    operands.Text(PersistName(record)).Number(word(0)).Number(word(1)).Number(word(2)).Number(0).Number(slot).Number(1);
  } else if (kind == kPersistQuake) {
    // Amplitudes, period, no duration, no decay, cache mode, the shake flags, the page.
    opcode = kQuake;
    operands.Number(word(1)).Number(word(2)).Number(word(0)).Number(0).Number(0);
    operands.Number(word(3)).Number(word(4)).Number(word(5)).Number(slot);
  } else if (kind >= kPersistRaster && kind < kPersistCross) {
    // The mode, the kept values, no hold and no fade-in.
    opcode = kWave;
    operands.Number(static_cast<std::uint32_t>(kind - kPersistRaster)).Number(word(0)).Number(word(1)).Number(word(2));
    operands.Number(slot).Number(0).Number(0).Number(word(3)).Number(word(4));
  } else if (kind == kPersistCross) {
    opcode = kCross;
    operands.Number(word(0)).Number(0).Number(word(1)).Number(slot);
  } else if (kind >= kPersistPaper && kind <= kPersistRain) {
    opcode = kParticles;
    operands.Number(word(0)).Number(word(3)).Number(0).Text(PersistName(record)).Number(word(1)).Number(word(2));
    operands.Number(slot);
  } else {
    return;
  }
  handlers_[opcode](*this, operands.Operands());
}
