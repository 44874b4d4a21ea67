// A small x86-64 encoder for the script translator: only the instruction forms its templates use,
// with labels for forward and backward jumps. The code it makes is position independent (relative
// jumps, RIP-relative tables); outside addresses come in as 64-bit immediates.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace x64 {

enum Reg : std::uint8_t { rax, rcx, rdx, rbx, rsp, rbp, rsi, rdi, r8, r9, r10, r11, r12, r13, r14, r15 };

enum Cond : std::uint8_t { kBelow = 0x2, kAboveEqual = 0x3, kEqual = 0x4, kNotEqual = 0x5, kBelowEqual = 0x6, kAbove = 0x7, kSign = 0x8, kNotSign = 0x9, kLess = 0xC, kGreaterEqual = 0xD,
                           kLessEqual = 0xE, kGreater = 0xF };

enum AluOp : std::uint8_t { kAdd = 0, kOr = 1, kAnd = 4, kSub = 5, kXor = 6, kCmp = 7 };

// A memory operand [base + index + disp], the index unscaled or scaled by 4.
struct Mem {
  Reg base;
  std::int32_t disp = 0;
  bool has_index = false;
  Reg index = rax;
  std::uint8_t scale = 1;
};
inline Mem At(Reg base, std::int32_t disp = 0) { return {base, disp}; }
inline Mem AtIndex(Reg base, Reg index, std::uint8_t scale = 1, std::int32_t disp = 0) { return {base, disp, true, index, scale}; }

class Assembler {
 public:
  using Label = std::uint32_t;

  Label NewLabel();
  void Bind(Label label);
  std::uint32_t Offset(Label label) const { return bound_[label]; }
  std::uint32_t Here() const { return static_cast<std::uint32_t>(bytes_.size()); }
  // Resolves every jump; false when a label was never bound.
  bool Finish();
  const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

  void Load32(Reg dst, const Mem& src);    // mov r32, [m]
  void Load64(Reg dst, const Mem& src);    // mov r64, [m]
  void Store32(const Mem& dst, Reg src);   // mov [m], r32
  void Store64(const Mem& dst, Reg src);   // mov [m], r64
  void StoreImm32(const Mem& dst, std::uint32_t value);  // mov dword [m], imm32
  void StoreImm64(const Mem& dst, std::int32_t value);   // mov qword [m], simm32
  void Move32(Reg dst, Reg src);
  void Move64(Reg dst, Reg src);
  void MoveImm32(Reg dst, std::uint32_t value);
  void MoveImm64(Reg dst, std::uint64_t value);
  void Lea32(Reg dst, const Mem& src);
  void Lea64(Reg dst, const Mem& src);
  void LeaRip(Reg dst, Label label);       // lea r64, [rip + label]
  void Alu32(AluOp op, Reg dst, Reg src);  // op r32, r32
  void Alu64(AluOp op, Reg dst, Reg src);
  void AluImm8_64(AluOp op, Reg dst, std::int8_t value);  // op r64, simm8
  void Cmp64Mem(Reg a, const Mem& b);      // cmp r64, [m]
  void Alu32Mem(AluOp op, Reg dst, const Mem& src);  // op r32, [m]
  void AluImm32(AluOp op, Reg dst, std::uint32_t value);
  void AluMemImm32(AluOp op, const Mem& dst, std::uint32_t value);  // op dword [m], imm
  void SubMem64Imm8(const Mem& dst, std::int8_t value);            // sub qword [m], imm8
  void Test32(Reg a, Reg b);
  void IMul32(Reg dst, Reg src);
  void IMul32Mem(Reg dst, const Mem& src);  // imul r32, [m]
  void Cdq();
  void IDiv32(Reg divisor);
  void Not32(Reg reg);
  void Neg64(Reg reg);
  void Dec32(Reg reg);
  void Sar32Cl(Reg reg);
  void Shl32Cl(Reg reg);
  void Shr32Imm(Reg reg, std::uint8_t count);
  void CmpByteMemImm8(const Mem& a, std::uint8_t value);  // cmp byte [m], imm8
  void SetCc(Cond cond, Reg dst);          // dst must be al, cl, dl or bl
  void MovZxByte(Reg dst, Reg src);        // movzx r32, r8 (al, cl, dl, bl)
  void MovSxd(Reg dst, Reg src);           // movsxd r64, r32
  void MovSxdMem(Reg dst, const Mem& src);
  void Jcc(Cond cond, Label target);
  void Jmp(Label target);
  void JmpReg(Reg target);
  void CallReg(Reg target);
  void Call(Label target);
  void Push(Reg reg);
  void Pop(Reg reg);
  void Ret();
  void Data32(std::uint32_t value);
  // A 32-bit word that will hold `target` minus the position of `base`.
  void RelativeData32(Label target, Label base);

 private:
  void Byte(std::uint8_t value) { bytes_.push_back(value); }
  void Imm32(std::uint32_t value);
  void Rex(bool wide, unsigned reg, unsigned index, unsigned base, bool force = false);
  void ModRmMem(unsigned reg, const Mem& m);
  void ModRmReg(unsigned reg, unsigned rm) { Byte(static_cast<std::uint8_t>(0xC0 | ((reg & 7) << 3) | (rm & 7))); }
  void OpMem(bool wide, std::initializer_list<std::uint8_t> opcode, unsigned reg, const Mem& m);
  void OpReg(bool wide, std::initializer_list<std::uint8_t> opcode, unsigned reg, unsigned rm);

  struct Fixup {
    std::uint32_t at;      // where the 32-bit field lies
    Label target;
    std::int64_t origin;   // position the value is relative to; -1: the end of the field
    Label origin_label;
  };
  std::vector<std::uint8_t> bytes_;
  std::vector<std::uint32_t> bound_;
  std::vector<Fixup> fixups_;
};

}  // namespace x64
