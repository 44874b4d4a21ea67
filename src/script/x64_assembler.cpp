#include "script/x64_assembler.h"

namespace x64 {

namespace {

bool FitsByte(std::int64_t value) { return value >= -128 && value <= 127; }

}  // namespace

Assembler::Label Assembler::NewLabel() {
  bound_.push_back(UINT32_MAX);
  return static_cast<Label>(bound_.size() - 1);
}

void Assembler::Bind(Label label) { bound_[label] = Here(); }

bool Assembler::Finish() {
  for (const Fixup& fixup : fixups_) {
    if (bound_[fixup.target] == UINT32_MAX) return false;
    std::int64_t origin = fixup.origin;
    if (fixup.origin_label != UINT32_MAX) {
      if (bound_[fixup.origin_label] == UINT32_MAX) return false;
      origin = bound_[fixup.origin_label];
    }
    if (origin < 0) origin = fixup.at + 4;
    const auto value = static_cast<std::uint32_t>(static_cast<std::int64_t>(bound_[fixup.target]) - origin);
    for (int i = 0; i < 4; ++i) bytes_[fixup.at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  return true;
}

void Assembler::Imm32(std::uint32_t value) {
  for (int i = 0; i < 4; ++i) Byte(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Assembler::Rex(bool wide, unsigned reg, unsigned index, unsigned base, bool force) {
  const auto rex = static_cast<std::uint8_t>(0x40 | (wide ? 8 : 0) | ((reg >> 3) << 2) | ((index >> 3) << 1) | (base >> 3));
  if (rex != 0x40 || force) Byte(rex);
}

void Assembler::ModRmMem(unsigned reg, const Mem& m) {
  const unsigned base = m.base & 7;
  unsigned mod = 2;
  if (m.disp == 0 && base != 5) {
    mod = 0;
  } else if (FitsByte(m.disp)) {
    mod = 1;
  }
  if (m.has_index || base == 4) {
    Byte(static_cast<std::uint8_t>((mod << 6) | ((reg & 7) << 3) | 4));
    const unsigned scale = m.scale == 4 ? 2 : 0;
    const unsigned index = m.has_index ? (m.index & 7) : 4;
    Byte(static_cast<std::uint8_t>((scale << 6) | (index << 3) | base));
  } else {
    Byte(static_cast<std::uint8_t>((mod << 6) | ((reg & 7) << 3) | base));
  }
  if (mod == 1) Byte(static_cast<std::uint8_t>(m.disp));
  if (mod == 2) Imm32(static_cast<std::uint32_t>(m.disp));
}

void Assembler::OpMem(bool wide, std::initializer_list<std::uint8_t> opcode, unsigned reg, const Mem& m) {
  Rex(wide, reg, m.has_index ? m.index : 0, m.base);
  for (const std::uint8_t byte : opcode) Byte(byte);
  ModRmMem(reg, m);
}

void Assembler::OpReg(bool wide, std::initializer_list<std::uint8_t> opcode, unsigned reg, unsigned rm) {
  Rex(wide, reg, 0, rm);
  for (const std::uint8_t byte : opcode) Byte(byte);
  ModRmReg(reg, rm);
}

void Assembler::Load32(Reg dst, const Mem& src) { OpMem(false, {0x8B}, dst, src); }
void Assembler::Load64(Reg dst, const Mem& src) { OpMem(true, {0x8B}, dst, src); }
void Assembler::Store32(const Mem& dst, Reg src) { OpMem(false, {0x89}, src, dst); }
void Assembler::Store64(const Mem& dst, Reg src) { OpMem(true, {0x89}, src, dst); }

void Assembler::StoreImm32(const Mem& dst, std::uint32_t value) {
  OpMem(false, {0xC7}, 0, dst);
  Imm32(value);
}

void Assembler::StoreImm64(const Mem& dst, std::int32_t value) {
  OpMem(true, {0xC7}, 0, dst);
  Imm32(static_cast<std::uint32_t>(value));
}

void Assembler::Move32(Reg dst, Reg src) { OpReg(false, {0x89}, src, dst); }
void Assembler::Move64(Reg dst, Reg src) { OpReg(true, {0x89}, src, dst); }

void Assembler::MoveImm32(Reg dst, std::uint32_t value) {
  Rex(false, 0, 0, dst);
  Byte(static_cast<std::uint8_t>(0xB8 + (dst & 7)));
  Imm32(value);
}

void Assembler::MoveImm64(Reg dst, std::uint64_t value) {
  Rex(true, 0, 0, dst);
  Byte(static_cast<std::uint8_t>(0xB8 + (dst & 7)));
  Imm32(static_cast<std::uint32_t>(value));
  Imm32(static_cast<std::uint32_t>(value >> 32));
}

void Assembler::Lea32(Reg dst, const Mem& src) { OpMem(false, {0x8D}, dst, src); }
void Assembler::Lea64(Reg dst, const Mem& src) { OpMem(true, {0x8D}, dst, src); }

void Assembler::LeaRip(Reg dst, Label label) {
  Rex(true, dst, 0, 0);
  Byte(0x8D);
  Byte(static_cast<std::uint8_t>(((dst & 7) << 3) | 5));
  fixups_.push_back({Here(), label, -1, UINT32_MAX});
  Imm32(0);
}

void Assembler::Alu32(AluOp op, Reg dst, Reg src) { OpReg(false, {static_cast<std::uint8_t>((op << 3) | 1)}, src, dst); }
void Assembler::Alu64(AluOp op, Reg dst, Reg src) { OpReg(true, {static_cast<std::uint8_t>((op << 3) | 1)}, src, dst); }

void Assembler::AluImm8_64(AluOp op, Reg dst, std::int8_t value) {
  OpReg(true, {0x83}, op, dst);
  Byte(static_cast<std::uint8_t>(value));
}

void Assembler::Cmp64Mem(Reg a, const Mem& b) { OpMem(true, {0x3B}, a, b); }
void Assembler::Alu32Mem(AluOp op, Reg dst, const Mem& src) { OpMem(false, {static_cast<std::uint8_t>((op << 3) | 3)}, dst, src); }

void Assembler::AluImm32(AluOp op, Reg dst, std::uint32_t value) {
  OpReg(false, {0x81}, op, dst);
  Imm32(value);
}

void Assembler::AluMemImm32(AluOp op, const Mem& dst, std::uint32_t value) {
  if (FitsByte(static_cast<std::int32_t>(value))) {
    OpMem(false, {0x83}, op, dst);
    Byte(static_cast<std::uint8_t>(value));
  } else {
    OpMem(false, {0x81}, op, dst);
    Imm32(value);
  }
}

void Assembler::SubMem64Imm8(const Mem& dst, std::int8_t value) {
  OpMem(true, {0x83}, kSub, dst);
  Byte(static_cast<std::uint8_t>(value));
}

void Assembler::Test32(Reg a, Reg b) { OpReg(false, {0x85}, b, a); }
void Assembler::IMul32(Reg dst, Reg src) { OpReg(false, {0x0F, 0xAF}, dst, src); }
void Assembler::IMul32Mem(Reg dst, const Mem& src) { OpMem(false, {0x0F, 0xAF}, dst, src); }
void Assembler::Cdq() { Byte(0x99); }
void Assembler::IDiv32(Reg divisor) { OpReg(false, {0xF7}, 7, divisor); }
void Assembler::Not32(Reg reg) { OpReg(false, {0xF7}, 2, reg); }
void Assembler::Neg64(Reg reg) { OpReg(true, {0xF7}, 3, reg); }
void Assembler::Dec32(Reg reg) { OpReg(false, {0xFF}, 1, reg); }
void Assembler::Sar32Cl(Reg reg) { OpReg(false, {0xD3}, 7, reg); }
void Assembler::Shl32Cl(Reg reg) { OpReg(false, {0xD3}, 4, reg); }

void Assembler::Shr32Imm(Reg reg, std::uint8_t count) {
  OpReg(false, {0xC1}, 5, reg);
  Byte(count);
}

void Assembler::CmpByteMemImm8(const Mem& a, std::uint8_t value) {
  OpMem(false, {0x80}, kCmp, a);
  Byte(value);
}
void Assembler::SetCc(Cond cond, Reg dst) { OpReg(false, {0x0F, static_cast<std::uint8_t>(0x90 | cond)}, 0, dst); }
void Assembler::MovZxByte(Reg dst, Reg src) { OpReg(false, {0x0F, 0xB6}, dst, src); }
void Assembler::MovSxd(Reg dst, Reg src) { OpReg(true, {0x63}, dst, src); }
void Assembler::MovSxdMem(Reg dst, const Mem& src) { OpMem(true, {0x63}, dst, src); }

void Assembler::Jcc(Cond cond, Label target) {
  Byte(0x0F);
  Byte(static_cast<std::uint8_t>(0x80 | cond));
  fixups_.push_back({Here(), target, -1, UINT32_MAX});
  Imm32(0);
}

void Assembler::Jmp(Label target) {
  Byte(0xE9);
  fixups_.push_back({Here(), target, -1, UINT32_MAX});
  Imm32(0);
}

void Assembler::JmpReg(Reg target) { OpReg(false, {0xFF}, 4, target); }
void Assembler::CallReg(Reg target) { OpReg(false, {0xFF}, 2, target); }

void Assembler::Call(Label target) {
  Byte(0xE8);
  fixups_.push_back({Here(), target, -1, UINT32_MAX});
  Imm32(0);
}

void Assembler::Push(Reg reg) {
  Rex(false, 0, 0, reg);
  Byte(static_cast<std::uint8_t>(0x50 + (reg & 7)));
}

void Assembler::Pop(Reg reg) {
  Rex(false, 0, 0, reg);
  Byte(static_cast<std::uint8_t>(0x58 + (reg & 7)));
}

void Assembler::Ret() { Byte(0xC3); }
void Assembler::Data32(std::uint32_t value) { Imm32(value); }

void Assembler::RelativeData32(Label target, Label base) {
  fixups_.push_back({Here(), target, 0, base});
  Imm32(0);
}

}  // namespace x64
