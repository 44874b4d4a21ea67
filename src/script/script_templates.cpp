#include "script/script_templates.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "script/script_fault.h"
#include "script/script_memory.h"
#include "script/sob_opcode.h"
#include "script/x64_assembler.h"

namespace {

using namespace x64;
using Label = Assembler::Label;
using Op = ESobOpcode;

constexpr std::int32_t Field(std::size_t offset) { return static_cast<std::int32_t>(offset); }
const Mem kIp = At(r12, Field(offsetof(TranslatedFrame, ip)));
const Mem kSp = At(r12, Field(offsetof(TranslatedFrame, sp)));
const Mem kResult = At(r12, Field(offsetof(TranslatedFrame, result)));
const Mem kTransfers = At(r12, Field(offsetof(TranslatedFrame, transfers)));
const Mem kStackBase = At(r12, Field(offsetof(TranslatedFrame, stack_base)));
const Mem kStackEnd = At(r12, Field(offsetof(TranslatedFrame, stack_end)));
const Mem kWordLimit = At(r12, Field(offsetof(TranslatedFrame, word_limit)));
const Mem kFaultKind = At(r12, Field(offsetof(TranslatedFrame, fault_kind)));
const Mem kFaultDetail = At(r12, Field(offsetof(TranslatedFrame, fault_detail)));
const Mem kSwitchTarget = At(r12, Field(offsetof(TranslatedFrame, switch_target)));
const Mem kSlotLimit = At(r12, Field(offsetof(TranslatedFrame, slot_limit)));
const Mem kWatchFrom = At(r12, Field(offsetof(TranslatedFrame, watch_from)));
const Mem kWatchSpan = At(r12, Field(offsetof(TranslatedFrame, watch_span)));
const Mem kCodePages = At(r12, Field(offsetof(TranslatedFrame, code_pages)));
const Mem kRanges = At(r12, Field(offsetof(TranslatedFrame, ranges)));
const Mem kRangeCount = At(r12, Field(offsetof(TranslatedFrame, range_count)));
const Mem kLinks = At(r12, Field(offsetof(TranslatedFrame, links)));
const Mem kBudget = At(r12, Field(offsetof(TranslatedFrame, budget)));
const Mem kMemoryBase = At(r12, Field(offsetof(TranslatedFrame, memory_base)));
const Mem kNativeBase = At(r12, Field(offsetof(TranslatedFrame, native_base)));
const Mem kNativeLimit = At(r12, Field(offsetof(TranslatedFrame, native_limit)));
const Mem kSavedRsp = At(r12, Field(offsetof(TranslatedFrame, saved_rsp)));

// Machine stack that script calls may take before they go on as plain jumps.
constexpr std::int32_t kNativeCallBytes = 128 * 1024;

constexpr std::uint32_t Exit(TranslatedExit exit) { return static_cast<std::uint32_t>(exit); }
constexpr std::uint32_t Kind(ScriptFaultKind kind) { return static_cast<std::uint32_t>(kind); }

// Writes the templates of one module. Each instruction's code begins at its own label; faults and
// exits leave through stubs placed after all instructions, so that the straight path stays short.
class TemplateWriter {
 public:
  TemplateWriter(const TemplateInput& input, std::vector<std::uint32_t>& unchecked_stores)
      : memory_(input.memory),
        calls_(input.calls),
        other_code_(input.other_code),
        code_(input.code),
        length_(input.length),
        counted_(input.counted),
        unchecked_stores_(unchecked_stores) {}

  // The machine code, and for each byte offset of the module the offset of its instruction's code.
  bool Write(const std::vector<TranslatedInstruction>& instructions, std::vector<std::uint8_t>& bytes, std::vector<std::uint32_t>& entries,
             std::uint32_t& table);

 private:
  struct Stub {
    Label label;
    std::uint32_t ip;
    std::uint32_t kind;
    int detail;  // register that holds the detail, -1 for 0, -2 for a fault already in the frame
  };
  struct ExitStub {
    Label label;
    std::uint32_t ip;
    TranslatedExit exit;
  };
  struct SlotStub {
    Label label;
    std::uint32_t ip;
  };
  struct TakenJump {
    Label label;
    std::uint32_t ip;
    std::uint32_t next_ip;
  };
  // The ways of a Call that its code leaves: a machine call through the table when the target
  // is not the one known when translating (`other`, kNone where none was known), and a plain
  // jump when the machine stack is used up.
  struct CallAside {
    Label other;
    Label plain;
    Label returned;
    std::uint32_t ip;
    std::uint32_t next_ip;
  };
  // How a store changes its word: writes a register's value, or adds or takes one.
  struct WordChange {
    enum Kind { kValue, kIncrement, kDecrement } kind;
    Reg value;
  };
  // The way taken when an operand word no longer holds the address, slot or stack step that it
  // held when translating: the word is read again into `reg` and the general code runs.
  struct ColdStub {
    enum Kind { kLoad, kStore, kSlot, kSpUp, kSpDown } kind;
    Label label;
    Label back;
    Mem word;
    Reg reg;
    Reg dst;  // kLoad
    WordChange change;  // kStore
    std::uint32_t ip;
    std::uint32_t next_ip;
  };
  // The call out for a store that may have reached translated code, its address in a register
  // or known.
  struct NoticeStub {
    Label label;
    Label back;
    Label resume;  // where the run goes on when the call out found the code unchanged
    std::optional<Reg> address;
    std::uint32_t known;
    std::uint32_t next_ip;
  };
  // An operand word that lies in memory that was usable when translating, and what it held then.
  struct KnownOperand {
    Mem word;
    std::uint32_t value;
    std::uint32_t at;  // the word's address
  };
  // A loop that a Jump back closes, made a second time without the compares of its operand words
  // against what they held when translating: its back edge leads to `entry`, which compares them
  // all once and goes on in the copy, where nothing stores to them without leaving it.
  struct LoopCopy {
    std::size_t first;  // the instruction the Jump leads to
    std::size_t last;   // the Jump
    Label entry;
    std::vector<std::uint32_t> offsets;  // of each instruction from first to last
    std::vector<Label> labels;  // the copy of each
  };

  void Prologue();
  // rbp := the host address of this range's code, which its operand reads start from. Code of
  // another range may have run since rbp was set last.
  void SetCodeBase();
  void SharedExits();
  void OtherRanges();
  void EmitInstruction(std::uint32_t at, std::uint32_t opcode);
  void FindLoops(const std::vector<TranslatedInstruction>& instructions);
  void EmitLoopCopy(const std::vector<TranslatedInstruction>& instructions, const LoopCopy& loop);
  void Stubs();

  Label Fault(ScriptFaultKind kind, int detail = -1) {
    stubs_.push_back({a_.NewLabel(), ip_, Kind(kind), detail});
    return stubs_.back().label;
  }
  Label ExitAt(std::uint32_t ip, TranslatedExit exit) {
    exit_stubs_.push_back({a_.NewLabel(), ip, exit});
    return exit_stubs_.back().label;
  }

  // The word of operand n of the instruction at ip_ into dst (not rdi).
  void Operand(Reg dst, std::uint32_t n);
  // Operand n's word, where it lies in memory that was usable when translating (which never
  // shrinks): it can be read without a check. While it still holds what it held then, the checks
  // that this value passed then come down to one compare.
  std::optional<KnownOperand> Known(std::uint32_t n) const;
  // The same, where the value is an address that [rbx + address] reaches.
  std::optional<KnownOperand> KnownAddress(std::uint32_t n) const;
  // Compares operand n's word with what it held when translating, leading to `stub` where it
  // differs: the label to bind where the stub joins the code again. In a loop copy the entry
  // compares it instead (kNone).
  Label CompareKnown(const KnownOperand& known, ColdStub stub);
  // The word at an address known when translating, as KnownAddress gives it. A word of this
  // range is reached from rbp, as its operand reads are: the processor hands a load the value of
  // an earlier store without a wait only where both name the word the same way.
  Mem KnownWord(std::uint32_t address) const {
    const std::uint32_t offset = address - code_;
    return offset < length_ ? At(rbp, static_cast<std::int32_t>(offset)) : At(rbx, static_cast<std::int32_t>(address));
  }
  void CheckAddress(Reg address);
  void Load(Reg dst, Reg address);
  // dst := the word at the address in operand n; `reg` holds the address where it is not known.
  void LoadVia(Reg dst, std::uint32_t n, Reg reg);
  // Changes the word at the address in operand n; `reg` holds the address where it is not known.
  void StoreVia(std::uint32_t n, WordChange change, Reg reg);
  // Changes the word at the address in `address`.
  void StoreWord(Reg address, WordChange change);
  void EmitWrite(const Mem& word, WordChange change);
  // After a store to an address not known when translating: calls out when it lies in the span of
  // translated code.
  void WatchStore(Reg address);
  // A stub that calls out and goes on at `back`, or leaves at the next instruction.
  Label Notice(std::optional<Reg> address, std::uint32_t known, Label back);
  bool StoreNeedsNotice(std::uint32_t address) const;
  Label Cold(ColdStub stub) {
    stub.label = a_.NewLabel();
    stub.back = a_.NewLabel();
    stub.ip = ip_;
    stub.next_ip = next_ip_;
    cold_stubs_.push_back(stub);
    return stub.label;
  }
  void CallOut(std::uint64_t function);
  void Push(Reg value);
  void PushImmediate(std::uint32_t value);
  // Faults where one more word does not fit on the stack.
  void RoomForPush();
  // Compares the address in `value` with the stack's end (r9 holds it less a word).
  void CompareWithStackEnd(Reg value);
  void Pop(Reg dst);
  // rax: the slot's number in, its address out; rcx and rdx are used.
  void Slot();
  // rax := the address of the stack slot in operand n.
  void SlotVia(std::uint32_t n);
  void MoveSp(bool down, std::uint32_t n);
  // sp moves by the number of bytes in eax, down or up.
  void MoveSpBy(bool down);
  // Jumps to the instruction whose address is in eax; `operand` names the operand word that held
  // it (0 for none), so that a target known when translating is reached directly.
  // `certain`: eax holds what the word held when translating.
  void Transfer(std::uint32_t operand, bool certain = false);
  void Route(std::uint32_t operand, bool certain = false);
  // Jumps to the address in operand n. A loop copy takes a target known when translating for
  // granted, as it takes its other operand words.
  void JumpTo(std::uint32_t operand);
  // The jumps of JumpIfZero, placed behind the code they leave so that the way on runs straight.
  void EmitTakenJumps();
  void EmitCallsAside();
  // Where a transfer to the address that the word held when translating goes to find its code.
  Label DispatchVia(std::uint32_t word) const;
  void Call(std::uint32_t at);
  void Return();
  void ReloadCallerSaved();
  void Binary(std::uint32_t opcode);
  void Unary(std::uint32_t opcode);
  void Division(std::uint32_t opcode);
  void Compare(Cond cond);

  bool Translatable(std::uint32_t address) const {
    return address >= ScriptMemory::kLowestAddress && std::uint64_t{address} + 4 <= memory_.UsableEnd();
  }
  Label InstructionLabel(std::uint32_t address) const {
    const std::uint32_t offset = address - code_;
    return offset < length_ && label_at_[offset] != kNone ? label_at_[offset] : kNone;
  }
  // Where a transfer to `address` goes: inside a loop copy to the copy's instruction, on a loop's
  // back edge to the loop's entry, else to the instruction's code.
  Label TransferLabel(std::uint32_t address) const;

  static constexpr Label kNone = UINT32_MAX;
  const ScriptMemory& memory_;
  const TranslatedCalls& calls_;
  const StoreReachesOtherCode& other_code_;
  std::uint32_t code_;
  std::uint32_t length_;
  bool counted_;
  std::vector<std::uint32_t>& unchecked_stores_;
  Assembler a_;
  std::vector<Label> label_at_;
  std::uint32_t ip_ = 0;
  std::uint32_t next_ip_ = 0;  // behind the instruction at ip_
  Label exit_sync_ = 0, epilogue_ = 0, fault_exit_ = 0, stop_ = 0, leave_eax_ = 0, leave_frame_ = 0, builtin_fault_ = 0,
        dispatch_ = 0, table_ = 0, reset_ = 0, other_ranges_ = 0;
  std::vector<Stub> stubs_;
  std::vector<ExitStub> exit_stubs_;
  std::vector<SlotStub> slot_stubs_;
  std::vector<ColdStub> cold_stubs_;
  std::vector<NoticeStub> notice_stubs_;
  std::vector<TakenJump> taken_jumps_;
  std::vector<CallAside> calls_aside_;
  std::vector<LoopCopy> loops_;
  const LoopCopy* closing_ = nullptr;  // the loop whose back edge is being written
  const LoopCopy* copying_ = nullptr;  // the loop whose copy is being written
  std::vector<KnownOperand> assumed_;  // the copy's operand words, as they must hold for it
  std::vector<std::uint32_t> copy_stores_;  // the addresses that the copy stores to without a look
};

// Longest loop made a second time, in instructions.
constexpr std::size_t kLoopCopyLimit = 32;

bool TemplateWriter::Write(const std::vector<TranslatedInstruction>& instructions, std::vector<std::uint8_t>& bytes,
                           std::vector<std::uint32_t>& entries, std::uint32_t& table) {
  label_at_.assign(length_, kNone);
  for (const TranslatedInstruction& instruction : instructions) label_at_[instruction.offset] = a_.NewLabel();
  for (Label* label : {&exit_sync_, &epilogue_, &fault_exit_, &stop_, &leave_eax_, &leave_frame_, &builtin_fault_, &dispatch_, &table_, &reset_,
                       &other_ranges_}) {
    *label = a_.NewLabel();
  }
  FindLoops(instructions);
  Prologue();
  auto loop = loops_.cbegin();
  for (std::size_t n = 0; n < instructions.size(); ++n) {
    const std::uint32_t at = code_ + instructions[n].offset;
    a_.Bind(label_at_[instructions[n].offset]);
    closing_ = loop != loops_.cend() && loop->last == n ? &*loop++ : nullptr;
    if (instructions[n].stale) {
      a_.Jmp(ExitAt(at, TranslatedExit::kStale));
    } else {
      EmitInstruction(at, instructions[n].opcode);
    }
    if (n + 1 == instructions.size()) {
      // Behind the last instruction the run goes on wherever that is: in the next range of the
      // module where the module is translated in several, else outside translated code.
      a_.MoveImm32(rax, at + 4 * (1u + kSobOperandCount[instructions[n].opcode]));
      a_.Jmp(other_ranges_);
    }
  }
  closing_ = nullptr;
  EmitTakenJumps();
  EmitCallsAside();
  for (const LoopCopy& copy : loops_) EmitLoopCopy(instructions, copy);
  SharedExits();
  Stubs();
  // The dispatch table, relative to its own start: every byte of the module, the ones that start
  // no instruction leading out.
  a_.Bind(table_);
  for (std::uint32_t offset = 0; offset < length_; ++offset) {
    a_.RelativeData32(label_at_[offset] != kNone ? label_at_[offset] : leave_eax_, table_);
  }
  if (!a_.Finish()) return false;
  bytes = a_.Bytes();
  table = a_.Offset(table_);
  entries.assign(length_, kNone);
  for (const TranslatedInstruction& instruction : instructions) {
    // A stale instruction is run by the interpreter: the run need not enter to leave again.
    if (!instruction.stale) entries[instruction.offset] = a_.Offset(label_at_[instruction.offset]);
  }
  return true;
}

// Loops that a Jump closes whose target word holds an instruction of this range at or before it,
// when every instruction between runs here without a call out to the engine or another range.
// The copies hold no more instructions than the range, so that no code is made more than twice
// over. The counted form counts every instruction anyway and makes none.
void TemplateWriter::FindLoops(const std::vector<TranslatedInstruction>& instructions) {
  if (counted_) return;
  const auto stays = [](const TranslatedInstruction& instruction) {
    switch (static_cast<Op>(instruction.opcode)) {
      case Op::Yield:
      case Op::Return:
      case Op::ReturnValue:
      case Op::Call:
      case Op::CallNative:
      case Op::Switch: return false;
      default: return !instruction.stale;
    }
  };
  std::size_t copied = 0;
  for (std::size_t last = 0; last < instructions.size(); ++last) {
    const std::uint32_t word = code_ + instructions[last].offset + 4;
    if (instructions[last].opcode != static_cast<std::uint32_t>(Op::Jump) || !Translatable(word)) continue;
    const std::uint32_t target = memory_.Word(word) - code_;
    if (target > instructions[last].offset || label_at_[target] == kNone) continue;
    std::size_t first = last;
    while (instructions[first].offset != target && last - first + 1 < kLoopCopyLimit) --first;
    if (instructions[first].offset != target || copied + (last - first + 1) > instructions.size() ||
        !std::all_of(&instructions[first], &instructions[last] + 1, stays)) {
      continue;
    }
    copied += last - first + 1;
    LoopCopy& loop = loops_.emplace_back(LoopCopy{first, last, a_.NewLabel(), {}, {}});
    for (std::size_t n = first; n <= last; ++n) {
      loop.offsets.push_back(instructions[n].offset);
      loop.labels.push_back(a_.NewLabel());
    }
  }
}

// The copy of a loop, then its entry: the compares that the copy left out, made once. A copy
// that stores to one of those words itself is never entered.
void TemplateWriter::EmitLoopCopy(const std::vector<TranslatedInstruction>& instructions, const LoopCopy& loop) {
  copying_ = &loop;
  assumed_.clear();
  copy_stores_.clear();
  for (std::size_t n = loop.first; n <= loop.last; ++n) {
    a_.Bind(loop.labels[n - loop.first]);
    EmitInstruction(code_ + instructions[n].offset, instructions[n].opcode);
  }
  EmitTakenJumps();
  copying_ = nullptr;
  const Label plain = label_at_[instructions[loop.first].offset];
  a_.Bind(loop.entry);
  const bool overwritten = std::any_of(copy_stores_.begin(), copy_stores_.end(), [this](std::uint32_t store) {
    return std::any_of(assumed_.begin(), assumed_.end(), [store](const KnownOperand& known) { return store - known.at + 3 < 7; });
  });
  if (!overwritten) {
    for (const KnownOperand& known : assumed_) {
      a_.AluMemImm32(kCmp, known.word, known.value);
      a_.Jcc(kNotEqual, plain);
    }
    a_.Jmp(loop.labels.front());
    return;
  }
  a_.Jmp(plain);
}

Label TemplateWriter::TransferLabel(std::uint32_t address) const {
  const std::uint32_t offset = address - code_;
  if (copying_ != nullptr) {
    const auto& offsets = copying_->offsets;
    if (const auto it = std::find(offsets.begin(), offsets.end(), offset); it != offsets.end()) {
      return copying_->labels[static_cast<std::size_t>(it - offsets.begin())];
    }
  }
  if (closing_ != nullptr && offset == closing_->offsets.front()) return closing_->entry;
  return InstructionLabel(address);
}

void TemplateWriter::Prologue() {
  for (const Reg reg : {rbx, rbp, r12, r13, r14, r15, rax}) a_.Push(reg);  // rax keeps calls aligned
  a_.Move64(r12, rdi);
  a_.Store64(kNativeBase, rsp);
  a_.Lea64(rcx, At(rsp, -kNativeCallBytes));
  a_.Store64(kNativeLimit, rcx);
  // A return that finds no machine call of its own lands here.
  a_.LeaRip(rcx, reset_);
  a_.Push(rcx);
  a_.Load64(rbx, kMemoryBase);
  SetCodeBase();
  a_.Load32(r13, kSp);
  a_.Load32(r14, kWordLimit);
  a_.Load32(r15, kTransfers);
  ReloadCallerSaved();
  a_.JmpReg(rsi);
}

void TemplateWriter::SetCodeBase() {
  if (code_ <= std::uint32_t{std::numeric_limits<std::int32_t>::max()}) {
    a_.Lea64(rbp, At(rbx, static_cast<std::int32_t>(code_)));
    return;
  }
  a_.MoveImm32(rbp, code_);
  a_.Alu64(kAdd, rbp, rbx);
}

void TemplateWriter::ReloadCallerSaved() {
  a_.Load32(r8, kStackBase);
  a_.Load32(r9, kStackEnd);
  a_.AluImm8_64(kSub, r9, 4);
  a_.Load64(r10, kSlotLimit);
}

void TemplateWriter::SharedExits() {
  a_.Bind(exit_sync_);
  a_.Store32(kSp, r13);
  a_.Store32(kTransfers, r15);
  a_.Bind(epilogue_);
  a_.Load64(rsp, kNativeBase);
  for (const Reg reg : {rcx, r15, r14, r13, r12, rbp, rbx}) a_.Pop(reg);
  a_.Ret();

  a_.Bind(fault_exit_);
  a_.MoveImm32(rax, Exit(TranslatedExit::kFault));
  a_.Jmp(exit_sync_);

  a_.Bind(stop_);
  a_.Store32(kIp, rax);
  a_.MoveImm32(rax, Exit(TranslatedExit::kStopCheck));
  a_.Jmp(exit_sync_);

  a_.Bind(leave_eax_);
  a_.Store32(kIp, rax);
  a_.Bind(leave_frame_);
  a_.MoveImm32(rax, Exit(TranslatedExit::kLeave));
  a_.Jmp(exit_sync_);

  a_.Bind(builtin_fault_);
  a_.MoveImm32(rax, Exit(TranslatedExit::kBuiltinFault));
  a_.Jmp(epilogue_);

  // A return whose machine return address did not match its script return address (or found
  // none): the machine stack starts afresh and the table finds the target in eax.
  a_.Bind(reset_);
  a_.Load64(rsp, kNativeBase);
  a_.LeaRip(rcx, reset_);
  a_.Push(rcx);
  SetCodeBase();

  // Transfer to the address in eax through the table, or to another range when it lies outside.
  a_.Bind(dispatch_);
  a_.Move32(rcx, rax);
  a_.AluImm32(kSub, rcx, code_);
  a_.AluImm32(kCmp, rcx, length_);
  a_.Jcc(kAboveEqual, other_ranges_);
  a_.LeaRip(rdx, table_);
  a_.MovSxdMem(rcx, AtIndex(rdx, rcx, 4));
  a_.Alu64(kAdd, rcx, rdx);
  a_.JmpReg(rcx);

  OtherRanges();
}

// The target in eax lies outside this range: its slot of the frame's links leads there when an
// earlier transfer found it, else the frame's list of ranges finds the one that holds it, whose
// table leads on (or out, where no instruction of it starts there), and the slot remembers it.
// Calls between modules and their returns stay in machine code this way.
void TemplateWriter::OtherRanges() {
  const Label search = a_.NewLabel(), next = a_.NewLabel(), found = a_.NewLabel();
  a_.Bind(other_ranges_);
  static_assert(sizeof(TranslatedLink) == 16 && kTranslatedLinkCount == 256, "the slot is (target & 0x3FC) * 4 bytes in");
  a_.Move32(rdi, rax);
  a_.AluImm32(kAnd, rdi, 0x3FC);
  a_.Load64(rdx, kLinks);
  a_.Lea64(rdi, AtIndex(rdx, rdi, 4));
  a_.Alu32Mem(kCmp, rax, At(rdi, Field(offsetof(TranslatedLink, target))));
  a_.Jcc(kNotEqual, search);
  a_.Load32(rbp, At(rdi, Field(offsetof(TranslatedLink, code))));
  a_.Alu64(kAdd, rbp, rbx);
  a_.Load64(rcx, At(rdi, Field(offsetof(TranslatedLink, entry))));
  a_.JmpReg(rcx);

  a_.Bind(search);
  a_.Load64(rdx, kRanges);
  a_.Load32(rsi, kRangeCount);
  a_.Test32(rsi, rsi);
  a_.Jcc(kEqual, leave_eax_);
  a_.Bind(next);
  a_.Move32(rcx, rax);
  a_.Alu32Mem(kSub, rcx, At(rdx, Field(offsetof(TranslatedRange, code))));
  a_.Alu32Mem(kCmp, rcx, At(rdx, Field(offsetof(TranslatedRange, length))));
  a_.Jcc(kBelow, found);
  a_.AluImm8_64(kAdd, rdx, static_cast<std::int8_t>(sizeof(TranslatedRange)));
  a_.Dec32(rsi);
  a_.Jcc(kNotEqual, next);
  a_.Jmp(leave_eax_);
  a_.Bind(found);
  a_.Load32(rbp, At(rdx, Field(offsetof(TranslatedRange, code))));
  a_.Store32(At(rdi, Field(offsetof(TranslatedLink, target))), rax);
  a_.Store32(At(rdi, Field(offsetof(TranslatedLink, code))), rbp);
  a_.Alu64(kAdd, rbp, rbx);
  a_.Load64(rdx, At(rdx, Field(offsetof(TranslatedRange, table))));
  a_.MovSxdMem(rcx, AtIndex(rdx, rcx, 4));
  a_.Alu64(kAdd, rcx, rdx);
  a_.Store64(At(rdi, Field(offsetof(TranslatedLink, entry))), rcx);
  a_.JmpReg(rcx);
}

void TemplateWriter::Stubs() {
  // Cold stubs add notice and slot stubs, so they come first.
  for (std::size_t n = 0; n < cold_stubs_.size(); ++n) {
    const ColdStub stub = cold_stubs_[n];
    a_.Bind(stub.label);
    ip_ = stub.ip;
    next_ip_ = stub.next_ip;
    a_.Load32(stub.reg, stub.word);
    switch (stub.kind) {
      case ColdStub::kLoad: Load(stub.dst, stub.reg); break;
      case ColdStub::kStore: StoreWord(stub.reg, stub.change); break;
      case ColdStub::kSlot: Slot(); break;
      case ColdStub::kSpUp: MoveSpBy(false); break;
      case ColdStub::kSpDown: MoveSpBy(true); break;
    }
    a_.Jmp(stub.back);
  }
  for (const NoticeStub& stub : notice_stubs_) {
    a_.Bind(stub.label);
    if (stub.address) {
      // Inside the span of translated code, but only a page that holds some calls out.
      a_.Move32(rdi, *stub.address);
      a_.Shr32Imm(rdi, kCodePageShift);
      a_.Load64(rcx, kCodePages);
      a_.CmpByteMemImm8(AtIndex(rcx, rdi), kCodePage);
      a_.Jcc(kNotEqual, stub.back);
      a_.Move32(rsi, *stub.address);
    } else {
      a_.MoveImm32(rsi, stub.known);
    }
    a_.Move64(rdi, r12);
    CallOut(reinterpret_cast<std::uint64_t>(calls_.note_store));
    ReloadCallerSaved();
    a_.Test32(rax, rax);
    a_.Jcc(kNotEqual, ExitAt(stub.next_ip, TranslatedExit::kLeave));
    a_.Jmp(stub.resume);
  }
  for (const SlotStub& stub : slot_stubs_) {
    // The slot lies below the stack base (underflow) or beyond the stack's end (overflow).
    a_.Bind(stub.label);
    ip_ = stub.ip;
    a_.Alu64(kCmp, rax, r8);
    a_.Jcc(kLess, Fault(ScriptFaultKind::kStackUnderflow));
    a_.Jmp(Fault(ScriptFaultKind::kStackOverflow));
  }
  for (const Stub& stub : stubs_) {
    a_.Bind(stub.label);
    a_.StoreImm32(kIp, stub.ip);
    if (stub.detail != -2) {
      a_.StoreImm32(kFaultKind, stub.kind);
      if (stub.detail >= 0) {
        a_.Store32(kFaultDetail, static_cast<Reg>(stub.detail));
      } else {
        a_.StoreImm32(kFaultDetail, 0);
      }
    }
    a_.Jmp(fault_exit_);
  }
  for (const ExitStub& stub : exit_stubs_) {
    a_.Bind(stub.label);
    if (stub.exit == TranslatedExit::kOutOfSteps) a_.StoreImm64(kBudget, 0);
    a_.StoreImm32(kIp, stub.ip);
    a_.MoveImm32(rax, Exit(stub.exit));
    a_.Jmp(exit_sync_);
  }
}

void TemplateWriter::Operand(Reg dst, std::uint32_t n) {
  if (const auto known = Known(n)) {
    a_.Load32(dst, known->word);
    return;
  }
  a_.MoveImm32(dst, ip_ + 4 * n);
  Load(dst, dst);
}

std::optional<TemplateWriter::KnownOperand> TemplateWriter::Known(std::uint32_t n) const {
  const std::uint32_t address = ip_ + 4 * n;
  if (!Translatable(address) || address - code_ >= std::uint32_t{std::numeric_limits<std::int32_t>::max()}) return std::nullopt;
  return KnownOperand{At(rbp, static_cast<std::int32_t>(address - code_)), memory_.Word(address), address};
}

std::optional<TemplateWriter::KnownOperand> TemplateWriter::KnownAddress(std::uint32_t n) const {
  const auto known = Known(n);
  if (!known || !Translatable(known->value) || known->value > std::uint32_t{std::numeric_limits<std::int32_t>::max()}) {
    return std::nullopt;
  }
  return known;
}

Label TemplateWriter::CompareKnown(const KnownOperand& known, ColdStub stub) {
  if (copying_ != nullptr) {
    assumed_.push_back(known);
    return kNone;
  }
  const Label cold = Cold(stub);
  a_.AluMemImm32(kCmp, known.word, known.value);
  a_.Jcc(kNotEqual, cold);
  return cold_stubs_.back().back;
}

void TemplateWriter::CheckAddress(Reg address) {
  a_.Lea32(rdi, At(address, -static_cast<std::int32_t>(ScriptMemory::kLowestAddress)));
  a_.Alu32(kCmp, rdi, r14);
  a_.Jcc(kAboveEqual, Fault(ScriptFaultKind::kBadAddress, address));
}

void TemplateWriter::Load(Reg dst, Reg address) {
  CheckAddress(address);
  a_.Load32(dst, AtIndex(rbx, address));
}

void TemplateWriter::LoadVia(Reg dst, std::uint32_t n, Reg reg) {
  const auto known = KnownAddress(n);
  if (!known) {
    Operand(reg, n);
    Load(dst, reg);
    return;
  }
  const Label back = CompareKnown(*known, {ColdStub::kLoad, 0, 0, known->word, reg, dst, {}, 0, 0});
  a_.Load32(dst, KnownWord(known->value));
  if (back != kNone) a_.Bind(back);
}

void TemplateWriter::EmitWrite(const Mem& word, WordChange change) {
  switch (change.kind) {
    case WordChange::kValue: a_.Store32(word, change.value); break;
    case WordChange::kIncrement: a_.AluMemImm32(kAdd, word, 1); break;
    case WordChange::kDecrement: a_.AluMemImm32(kSub, word, 1); break;
  }
}

void TemplateWriter::StoreWord(Reg address, WordChange change) {
  CheckAddress(address);
  EmitWrite(AtIndex(rbx, address), change);
  WatchStore(address);
}

// Whether a store to a known address reaches translated code is decided when translating.
void TemplateWriter::StoreVia(std::uint32_t n, WordChange change, Reg reg) {
  const auto known = KnownAddress(n);
  if (!known) {
    Operand(reg, n);
    StoreWord(reg, change);
    return;
  }
  Label done = CompareKnown(*known, {ColdStub::kStore, 0, 0, known->word, reg, reg, change, 0, 0});
  if (done == kNone) done = a_.NewLabel();
  const std::uint32_t address = known->value;
  EmitWrite(KnownWord(address), change);
  if (StoreNeedsNotice(address)) {
    a_.Jmp(Notice(std::nullopt, address, done));
  } else {
    // A word not wholly inside this code may reach code translated later, beside it.
    if (address < code_ || std::uint64_t{address} + 4 > std::uint64_t{code_} + length_) unchecked_stores_.push_back(address);
    if (copying_ != nullptr) copy_stores_.push_back(address);
  }
  a_.Bind(done);
}

// The word shares a byte with an opcode word of this code, or with code of another translation.
bool TemplateWriter::StoreNeedsNotice(std::uint32_t address) const {
  for (std::int64_t start = std::int64_t{address} - 3; start <= std::int64_t{address} + 3; ++start) {
    const std::int64_t offset = start - code_;
    if (offset >= 0 && offset < length_ && label_at_[static_cast<std::size_t>(offset)] != kNone) return true;
  }
  return other_code_ && other_code_(address);
}

void TemplateWriter::WatchStore(Reg address) {
  const Label back = a_.NewLabel();
  a_.Move32(rdi, address);
  a_.Alu32Mem(kSub, rdi, kWatchFrom);
  a_.Alu32Mem(kCmp, rdi, kWatchSpan);
  a_.Jcc(kBelow, Notice(address, 0, back));
  a_.Bind(back);
}

// A store that a loop copy makes into translated code goes on in the instruction's own code, which
// compares what the copy took as given.
Label TemplateWriter::Notice(std::optional<Reg> address, std::uint32_t known, Label back) {
  const Label resume = copying_ != nullptr ? InstructionLabel(next_ip_) : back;
  notice_stubs_.push_back({a_.NewLabel(), back, resume, address, known, next_ip_});
  return notice_stubs_.back().label;
}

// Calls a function of the engine with rsp aligned as the calling convention wants it.
void TemplateWriter::CallOut(std::uint64_t function) {
  a_.Store64(kSavedRsp, rsp);
  a_.AluImm8_64(kAnd, rsp, -16);
  a_.MoveImm64(rax, function);
  a_.CallReg(rax);
  a_.Load64(rsp, kSavedRsp);
}

// sp stays inside the stack (every change of it is checked), so the 64-bit sums below never wrap.
void TemplateWriter::RoomForPush() {
  a_.Alu64(kCmp, r13, r9);
  a_.Jcc(kAbove, Fault(ScriptFaultKind::kStackOverflow));
}

void TemplateWriter::CompareWithStackEnd(Reg value) {
  a_.Lea64(rdi, At(r9, 4));
  a_.Alu64(kCmp, value, rdi);
}

void TemplateWriter::Push(Reg value) {
  RoomForPush();
  a_.Store32(AtIndex(rbx, r13), value);
  a_.AluImm32(kAdd, r13, 4);
}

void TemplateWriter::PushImmediate(std::uint32_t value) {
  RoomForPush();
  a_.StoreImm32(AtIndex(rbx, r13), value);
  a_.AluImm32(kAdd, r13, 4);
}

void TemplateWriter::Pop(Reg dst) {
  a_.Lea64(rdi, At(r13, -4));
  a_.Alu64(kCmp, rdi, r8);
  a_.Jcc(kLess, Fault(ScriptFaultKind::kStackUnderflow));
  a_.AluImm32(kSub, r13, 4);
  a_.Load32(dst, AtIndex(rbx, r13));
}

void TemplateWriter::SlotVia(std::uint32_t n) {
  const auto known = Known(n);
  if (!known || known->value < 4 || known->value > 0x10000) {
    Operand(rax, n);
    Slot();
    return;
  }
  // A slot at least one word below sp cannot pass the stack's end; only its start is checked.
  const Label back = CompareKnown(*known, {ColdStub::kSlot, 0, 0, known->word, rax, rax, {}, 0, 0});
  a_.Lea64(rax, At(r13, -static_cast<std::int32_t>(known->value)));
  a_.Alu64(kCmp, rax, r8);
  a_.Jcc(kLess, Fault(ScriptFaultKind::kStackUnderflow));
  if (back != kNone) a_.Bind(back);
}

void TemplateWriter::Slot() {
  a_.MovSxd(rcx, rax);
  a_.Move32(rax, r13);
  a_.Alu64(kSub, rax, rcx);
  a_.Move64(rdx, rax);
  a_.Alu64(kSub, rdx, r8);
  a_.Alu64(kCmp, rdx, r10);
  slot_stubs_.push_back({a_.NewLabel(), ip_});
  a_.Jcc(kAboveEqual, slot_stubs_.back().label);
}

void TemplateWriter::MoveSp(bool down, std::uint32_t n) {
  const auto known = Known(n);
  if (!known || known->value > 0x10000) {
    Operand(rax, n);
    MoveSpBy(down);
    return;
  }
  // The usual case, a few words released or taken: one bound to check.
  const Label back = CompareKnown(*known, {down ? ColdStub::kSpDown : ColdStub::kSpUp, 0, 0, known->word, rax, rax, {}, 0, 0});
  const auto bytes = static_cast<std::int32_t>(known->value);
  a_.Lea64(rax, At(r13, down ? -bytes : bytes));
  if (down) {
    a_.Alu64(kCmp, rax, r8);
  } else {
    CompareWithStackEnd(rax);
  }
  a_.Jcc(down ? kLess : kGreater, Fault(down ? ScriptFaultKind::kStackUnderflow : ScriptFaultKind::kStackOverflow));
  a_.Move32(r13, rax);
  if (back != kNone) a_.Bind(back);
}

void TemplateWriter::MoveSpBy(bool down) {
  a_.MovSxd(rax, rax);
  if (down) a_.Neg64(rax);
  a_.Move32(rcx, r13);
  a_.Alu64(kAdd, rax, rcx);
  a_.Alu64(kCmp, rax, r8);
  a_.Jcc(kLess, Fault(ScriptFaultKind::kStackUnderflow));
  CompareWithStackEnd(rax);
  a_.Jcc(kGreater, Fault(ScriptFaultKind::kStackOverflow));
  a_.Move32(r13, rax);
}

void TemplateWriter::Transfer(std::uint32_t operand, bool certain) {
  a_.Dec32(r15);
  a_.Jcc(kEqual, stop_);
  Route(operand, certain);
}

void TemplateWriter::Route(std::uint32_t operand, bool certain) {
  const std::uint32_t word = ip_ + 4 * operand;
  if (operand != 0 && Translatable(word)) {
    const std::uint32_t target = memory_.Word(word);
    if (const Label label = TransferLabel(target); label != kNone) {
      if (certain) {
        a_.Jmp(label);
        return;
      }
      a_.AluImm32(kCmp, rax, target);
      a_.Jcc(kEqual, label);
    }
  }
  a_.Jmp(DispatchVia(word));
}

void TemplateWriter::JumpTo(std::uint32_t operand) {
  const auto known = copying_ != nullptr ? Known(operand) : std::nullopt;
  if (!known) {
    Operand(rax, operand);
    Transfer(operand);
    return;
  }
  assumed_.push_back(*known);
  a_.MoveImm32(rax, known->value);
  Transfer(operand, true);
}

void TemplateWriter::EmitTakenJumps() {
  for (const TakenJump& jump : taken_jumps_) {
    a_.Bind(jump.label);
    ip_ = jump.ip;
    next_ip_ = jump.next_ip;
    JumpTo(2);
  }
  taken_jumps_.clear();
}

// The search of the other ranges finds this one as well, so a target that lay outside when
// translating may skip the look at this range's own table.
Label TemplateWriter::DispatchVia(std::uint32_t word) const {
  return word != ip_ && Translatable(word) && memory_.Word(word) - code_ >= length_ ? other_ranges_ : dispatch_;
}

// The target in eax, the script return address already pushed. The machine call returns to a
// check that the script returned where this call would have it; the ways that leave the call's
// code lie aside, so that the way on runs straight.
void TemplateWriter::Call(std::uint32_t at) {
  a_.Dec32(r15);
  a_.Jcc(kEqual, stop_);
  const std::uint32_t word = at + 4;
  const Label known = Translatable(word) ? InstructionLabel(memory_.Word(word)) : kNone;
  const CallAside& aside =
      calls_aside_.emplace_back(CallAside{known != kNone ? a_.NewLabel() : kNone, a_.NewLabel(), a_.NewLabel(), ip_, next_ip_});
  a_.Cmp64Mem(rsp, kNativeLimit);
  a_.Jcc(kBelowEqual, aside.plain);
  if (known != kNone) {
    a_.AluImm32(kCmp, rax, memory_.Word(word));
    a_.Jcc(kNotEqual, aside.other);
    a_.Call(known);
  } else {
    a_.Call(DispatchVia(word));
  }
  a_.Bind(aside.returned);
  SetCodeBase();
  a_.AluImm32(kCmp, rax, at + 8);
  a_.Jcc(kNotEqual, reset_);
}

void TemplateWriter::EmitCallsAside() {
  for (const CallAside& aside : calls_aside_) {
    ip_ = aside.ip;
    next_ip_ = aside.next_ip;
    if (aside.other != kNone) {
      a_.Bind(aside.other);
      a_.Call(dispatch_);
      a_.Jmp(aside.returned);
    }
    a_.Bind(aside.plain);
    Route(1);
  }
}

// The target in eax, not 0.
void TemplateWriter::Return() {
  a_.Dec32(r15);
  a_.Jcc(kEqual, stop_);
  a_.Ret();
}

void TemplateWriter::Compare(Cond cond) {
  a_.Alu32(kCmp, rax, rcx);
  a_.SetCc(cond, rax);
  a_.MovZxByte(rsi, rax);
}

void TemplateWriter::Division(std::uint32_t opcode) {
  a_.Test32(rcx, rcx);
  a_.Jcc(kEqual, Fault(ScriptFaultKind::kDivideByZero));
  const Label fits = a_.NewLabel();
  a_.AluImm32(kCmp, rax, 0x80000000u);
  a_.Jcc(kNotEqual, fits);
  a_.AluImm32(kCmp, rcx, 0xFFFFFFFFu);
  a_.Jcc(kEqual, Fault(ScriptFaultKind::kDivideOverflow));
  a_.Bind(fits);
  a_.Cdq();
  a_.IDiv32(rcx);
  if (opcode == static_cast<std::uint32_t>(Op::Div)) {
    a_.Move32(rsi, rax);
    return;
  }
  a_.Move32(rsi, rdx);
  if (opcode == static_cast<std::uint32_t>(Op::Mod)) {
    const Label positive = a_.NewLabel();
    a_.Test32(rsi, rsi);
    a_.Jcc(kNotSign, positive);
    a_.Alu32(kAdd, rsi, rcx);
    a_.Bind(positive);
  }
}

// The value into esi, then stored at operand 3. Where both operand words can be read without a
// check, the simple operations take them from memory; else a in eax, b in ecx.
void TemplateWriter::Binary(std::uint32_t opcode) {
  const auto a = Known(1), b = Known(2);
  const auto op = static_cast<Op>(opcode);
  const bool simple = op == Op::Add || op == Op::Sub || op == Op::And || op == Op::Or || op == Op::Xor || op == Op::Mul;
  if (simple && a && b) {
    a_.Load32(rsi, a->word);
    switch (op) {
      case Op::Add: a_.Alu32Mem(kAdd, rsi, b->word); break;
      case Op::Sub: a_.Alu32Mem(kSub, rsi, b->word); break;
      case Op::And: a_.Alu32Mem(kAnd, rsi, b->word); break;
      case Op::Or: a_.Alu32Mem(kOr, rsi, b->word); break;
      case Op::Xor: a_.Alu32Mem(kXor, rsi, b->word); break;
      default: a_.IMul32Mem(rsi, b->word); break;
    }
    StoreVia(3, {WordChange::kValue, rsi}, rdx);
    return;
  }
  Operand(rax, 1);
  Operand(rcx, 2);
  const auto alu = [this](AluOp alu_op) {
    a_.Move32(rsi, rax);
    a_.Alu32(alu_op, rsi, rcx);
  };
  switch (op) {
    case Op::Add: alu(kAdd); break;
    case Op::Sub: alu(kSub); break;
    case Op::And: alu(kAnd); break;
    case Op::Or: alu(kOr); break;
    case Op::Xor: alu(kXor); break;
    case Op::Mul:
      a_.Move32(rsi, rax);
      a_.IMul32(rsi, rcx);
      break;
    case Op::Div:
    case Op::Rem:
    case Op::Mod: Division(opcode); break;
    case Op::Shr:
      a_.Move32(rsi, rax);
      a_.Sar32Cl(rsi);
      break;
    case Op::Shl:
      a_.Move32(rsi, rax);
      a_.Shl32Cl(rsi);
      break;
    case Op::Lt: Compare(kLess); break;
    case Op::Le: Compare(kLessEqual); break;
    case Op::Gt: Compare(kGreater); break;
    case Op::Ge: Compare(kGreaterEqual); break;
    case Op::Eq: Compare(kEqual); break;
    default: Compare(kNotEqual); break;
  }
  StoreVia(3, {WordChange::kValue, rsi}, rdx);
}

void TemplateWriter::Unary(std::uint32_t opcode) {
  Operand(rax, 1);
  if (opcode == static_cast<std::uint32_t>(Op::Not)) {
    a_.Move32(rsi, rax);
    a_.Not32(rsi);
  } else {
    a_.Test32(rax, rax);
    a_.SetCc(kEqual, rax);
    a_.MovZxByte(rsi, rax);
  }
  StoreVia(2, {WordChange::kValue, rsi}, rdx);
}

void TemplateWriter::EmitInstruction(std::uint32_t at, std::uint32_t opcode) {
  ip_ = at;
  next_ip_ = at + 4 * (1u + kSobOperandCount[opcode]);
  if (counted_) {
    a_.SubMem64Imm8(kBudget, 1);
    a_.Jcc(kBelow, ExitAt(at, TranslatedExit::kOutOfSteps));
  }
  const WordChange value{WordChange::kValue, rsi};
  switch (static_cast<Op>(opcode)) {
    case Op::Yield:
      a_.Jmp(ExitAt(at + 4, TranslatedExit::kYielded));
      break;
    case Op::Return:
      Pop(rax);
      a_.Test32(rax, rax);
      a_.Jcc(kEqual, ExitAt(at + 4, TranslatedExit::kEnded));
      Return();
      break;
    case Op::ReturnValue:
      Operand(rsi, 1);
      Pop(rax);
      a_.Test32(rax, rax);
      a_.Jcc(kEqual, ExitAt(at + 8, TranslatedExit::kEnded));
      a_.Store32(kResult, rsi);
      Return();
      break;
    case Op::StoreResult:
      a_.Load32(rsi, kResult);
      StoreVia(1, value, rdx);
      break;
    case Op::Call:
      Operand(rax, 1);
      PushImmediate(at + 8);
      Call(at);
      break;
    case Op::CallNative:
      Operand(rsi, 1);
      Operand(rdx, 2);
      a_.StoreImm32(kIp, at);
      a_.Store32(kSp, r13);
      a_.Store32(kTransfers, r15);
      a_.Move64(rdi, r12);
      CallOut(reinterpret_cast<std::uint64_t>(calls_.call_native));
      a_.Load32(r13, kSp);
      a_.Load32(r14, kWordLimit);
      a_.Load32(r15, kTransfers);
      ReloadCallerSaved();
      a_.AluImm32(kCmp, rax, 1);
      a_.Jcc(kEqual, builtin_fault_);
      a_.Jcc(kGreater, leave_frame_);
      break;
    case Op::Jump:
      JumpTo(1);
      break;
    case Op::Switch:
      a_.Move64(rdi, r12);
      a_.MoveImm32(rsi, at);
      CallOut(reinterpret_cast<std::uint64_t>(calls_.switch_target));
      ReloadCallerSaved();
      a_.Test32(rax, rax);
      stubs_.push_back({a_.NewLabel(), at, 0, -2});
      a_.Jcc(kNotEqual, stubs_.back().label);
      a_.Load32(rax, kSwitchTarget);
      Transfer(0);
      break;
    case Op::PushImm:
      Operand(rsi, 1);
      Push(rsi);
      break;
    case Op::PushMem:
      LoadVia(rsi, 1, rax);
      Push(rsi);
      break;
    case Op::PopMem:
      // The destination operand is read before the pop, as the interpreter reads it.
      if (KnownAddress(1)) {
        Pop(rsi);
        StoreVia(1, value, rdx);
      } else {
        Operand(rdx, 1);
        Pop(rsi);
        StoreWord(rdx, value);
      }
      break;
    case Op::AddSp:
    case Op::SubSp:
      MoveSp(opcode == static_cast<std::uint32_t>(Op::SubSp), 1);
      break;
    case Op::Not:
    case Op::LogicalNot:
      Unary(opcode);
      break;
    case Op::IncMem:
    case Op::DecMem:
      StoreVia(1, {opcode == static_cast<std::uint32_t>(Op::IncMem) ? WordChange::kIncrement : WordChange::kDecrement, rax}, rax);
      break;
    case Op::IncStack:
    case Op::DecStack:
      SlotVia(1);
      a_.AluMemImm32(opcode == static_cast<std::uint32_t>(Op::IncStack) ? kAdd : kSub, AtIndex(rbx, rax), 1);
      break;
    case Op::JumpIfZero:
      if (const auto condition = Known(1)) {
        a_.AluMemImm32(kCmp, condition->word, 0);
      } else {
        Operand(rax, 1);
        a_.Test32(rax, rax);
      }
      taken_jumps_.push_back({a_.NewLabel(), ip_, next_ip_});
      a_.Jcc(kEqual, taken_jumps_.back().label);
      break;
    case Op::StoreImm:
      Operand(rsi, 1);
      StoreVia(2, value, rdx);
      break;
    case Op::Copy:
      LoadVia(rsi, 1, rax);
      StoreVia(2, value, rdx);
      break;
    case Op::StoreIndirect:
      Operand(rsi, 1);
      Operand(rax, 2);
      Load(rdx, rax);
      StoreWord(rdx, value);
      break;
    case Op::StoreStackImm:
      Operand(rsi, 1);
      SlotVia(2);
      a_.Store32(AtIndex(rbx, rax), rsi);
      break;
    case Op::LoadStack:
      SlotVia(1);
      a_.Load32(rsi, AtIndex(rbx, rax));
      StoreVia(2, value, rdx);
      break;
    case Op::StoreStack:
      LoadVia(rsi, 1, rax);
      SlotVia(2);
      a_.Store32(AtIndex(rbx, rax), rsi);
      break;
    case Op::CopyStack:
      SlotVia(1);
      a_.Load32(rsi, AtIndex(rbx, rax));
      SlotVia(2);
      a_.Store32(AtIndex(rbx, rax), rsi);
      break;
    case Op::LoadStackIndirect:
      SlotVia(1);
      a_.Load32(rax, AtIndex(rbx, rax));
      Load(rsi, rax);
      StoreVia(2, value, rdx);
      break;
    case Op::LoadIndirect:
      LoadVia(rax, 1, rax);
      Load(rsi, rax);
      StoreVia(2, value, rdx);
      break;
    case Op::StackAddress:
      Operand(rax, 1);
      a_.Move32(rsi, r13);
      a_.Alu32(kSub, rsi, rax);
      StoreVia(2, value, rdx);
      break;
    default:
      Binary(opcode);
      break;
  }
}

}  // namespace

bool WriteScriptTemplates(const TemplateInput& input, std::vector<std::uint8_t>& bytes, std::vector<std::uint32_t>& entries,
                          std::uint32_t& table, std::vector<std::uint32_t>& unchecked_stores) {
  TemplateWriter writer(input, unchecked_stores);
  return writer.Write(input.instructions, bytes, entries, table);
}
