// Translation of word code into x86-64 machine code: one template per instruction, concatenated
// in the order of the code, into executable memory of the platform layer.
//
// The translated code is the interpreter's loop unrolled over one range of code. It keeps the
// machine model unchanged: operands are read from their words at run time (scripts rewrite them),
// every script address is checked against the usable end as the interpreter checks it, and the
// opcode words keep their numbers, so that script memory looks the same in both modes.
//
// Only the opcode words are taken as they were when translating, so a write into one must be
// noticed before the code runs again. Translated stores whose address is known when translating
// are placed then: into operand words and data they need nothing, into an opcode word (or code
// of another translation) they call out. A store to any other address is compared with the span
// of all translated code and calls out when it lies inside, in a 4 KiB page that holds some.
// A call out that finds translated code changed leaves it at the next instruction. Every other
// writer tells script memory (see ScriptMemory::Watch). Stores to the stack need nothing:
// translated code runs only while the stack holds no translated code. An instruction whose
// opcode word no longer holds its opcode is made again as a way out to the interpreter, which
// then runs it.
//
// A short loop that a Jump back closes is made twice: as above, and as a copy that takes the
// operand words it compares for granted; the Jump leads to the copy after one compare of them all,
// and a store of the copy that may reach them leaves it. Loops run that way in the plain form only.
//
// A transfer to code of another translation goes there directly through the frame's list of
// ranges (or its links, which remember the last ones found), so that calls between modules and
// their returns stay in machine code; only a target that no translation holds leaves it. The run
// goes on behind a range's last instruction the same way.
//
// Registers while translated code runs: rbx the script memory's base, rbp the host address of
// the running range's code (set again wherever code of another range may have run), r12 the
// TranslatedFrame, r13d sp, r14d the word limit, r15d the transfers until the stop check; r8 the
// stack base, r9 the stack end less a word (the highest sp a push accepts) and r10 the slot limit
// are reloaded after every call out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "platform/system/executable_memory.h"

class ScriptMemory;

// One translated range as the machine code of another finds it: a transfer that leaves a range
// looks its target up among these before it leaves translated code.
struct TranslatedRange {
  std::uint32_t code = 0;
  std::uint32_t length = 0;
  const std::uint8_t* table = nullptr;  // 32-bit words by byte offset from code: the entry's offset from the table
};

// A transfer into another range as the last one to its target found it, so that the next one to
// that target skips the search of the ranges: slot (target >> 2) % kTranslatedLinkCount of the
// frame's links. Any change of the translations empties every slot.
struct TranslatedLink {
  std::uint32_t target = 0;
  std::uint32_t code = 0;  // the start of the range that holds the target
  const void* entry = nullptr;  // the target's machine code
};
inline constexpr std::uint32_t kTranslatedLinkCount = 256;

// An empty slot holds a target that no lookup reads at that slot.
constexpr TranslatedLink EmptyTranslatedLink(std::uint32_t slot) { return {4 * (slot + 1), 0, nullptr}; }

// The machine state that translated code reads and writes, copied from the context when a run
// enters translated code and back when it leaves.
struct TranslatedFrame {
  std::uint32_t ip = 0;
  std::uint32_t sp = 0;
  std::uint32_t result = 0;
  std::uint32_t transfers = 0;
  std::uint32_t stack_base = 0;
  std::uint32_t stack_end = 0;
  std::uint32_t word_limit = 0;
  std::uint32_t fault_kind = 0;
  std::uint32_t fault_detail = 0;
  std::uint32_t switch_target = 0;
  std::uint32_t watch_from = 0;  // a store to a reaches translated code when a - watch_from < watch_span
  std::uint32_t watch_span = 0;
  std::uint32_t range_count = 0;
  const TranslatedRange* ranges = nullptr;  // every translated range with code of the form that runs
  TranslatedLink* links = nullptr;  // kTranslatedLinkCount slots for the form that runs
  const std::uint8_t* code_pages = nullptr;  // by a >> kCodePageShift: kCodePage where translated code may lie
  std::uint64_t slot_limit = 0;
  std::uint64_t budget = 0;  // instructions left, in the counted form
  std::byte* memory_base = nullptr;
  void* run = nullptr;  // the run that entered, for the calls out
  // The machine stack while translated code runs: script calls are machine calls as well, so that
  // the processor predicts the returns. Every return checks where it lands.
  std::uintptr_t native_base = 0;
  std::uintptr_t native_limit = 0;
  std::uintptr_t saved_rsp = 0;
};

// Script memory in pages of this many bits of address, for the map of pages that hold translated
// code: small enough that a script's data seldom shares a page with code.
inline constexpr unsigned kCodePageShift = 12;
// What the map says of a page: kCodePage where a word in it may share a byte with translated code;
// kPlainPage where every word in it lies in usable memory and shares no byte with translated code;
// 0 elsewhere (below the lowest address, the last usable page, beyond the usable end).
inline constexpr std::uint8_t kPlainPage = 1;
inline constexpr std::uint8_t kCodePage = 2;

// Why translated code returned to its caller.
enum class TranslatedExit : std::uint32_t {
  kEnded = 0,         // a return popped the end marker; ip behind it
  kYielded = 1,       // ip behind the Yield
  kFault = 2,         // ip on the instruction; fault_kind and fault_detail say what
  kOutOfSteps = 3,    // counted form: ip on the next instruction
  kStopCheck = 4,     // the transfer counter ran out; ip on the target
  kLeave = 5,         // ip has no translated code here: look it up again
  kStale = 6,         // the opcode word at ip no longer holds its opcode: interpret it
  kBuiltinFault = 7,  // a built-in failed; the run holds the fault, the state is the context's
};

// The calls out of translated code, installed by the code that runs it. Each returns 0 to go on.
struct TranslatedCalls {
  // The built-in named by token, called with the argument address at frame ip (ip, sp and
  // transfers written to the frame before): 0 go on behind the instruction, 1 the built-in
  // failed (kBuiltinFault), 2 the machine's state changed under it (kLeave with the frame's ip).
  std::uint32_t (*call_native)(TranslatedFrame* frame, std::uint32_t token, std::uint32_t arguments) noexcept;
  // The target of the Switch at ip into switch_target: 0, or 1 with the fault in the frame.
  std::uint32_t (*switch_target)(TranslatedFrame* frame, std::uint32_t ip) noexcept;
  // A store wrote the word at `address`, which may lie in translated code: 0 go on, 1 the
  // translated code changed (kLeave at the next instruction).
  std::uint32_t (*note_store)(TranslatedFrame* frame, std::uint32_t address) noexcept;
};

struct TranslatedInstruction {
  std::uint32_t offset;  // from the start of the code
  std::uint32_t opcode;
  bool stale = false;    // its opcode word holds another number: translated as a way out
};

// Whether a store to the word at an address, known when translating, reaches code of another
// translation.
using StoreReachesOtherCode = std::function<bool(std::uint32_t address)>;

class CScriptTranslator {
 public:
  static constexpr std::uint32_t kTranslated = 0;
  static constexpr std::uint32_t kRefused = 1;  // an opcode outside the set, a switch table without its end, no memory

  CScriptTranslator(const ScriptMemory& memory, const TranslatedCalls& calls, StoreReachesOtherCode other_code = {});

  // The instructions from `code` up to `code + length`, offsets from `code`: false where a word
  // there is no opcode or a Switch table is not closed inside.
  static bool Scan(const ScriptMemory& memory, std::uint32_t code, std::uint32_t length,
                   std::vector<TranslatedInstruction>& instructions);

  // Translates the instructions from `code` up to `code + length` in the plain form; the counted
  // form is made when a counted run first asks for it. On failure no code is kept.
  std::uint32_t Translate(std::uint32_t code, std::uint32_t length);
  // The same for instructions found by Scan (offsets from `code`, which starts the first).
  std::uint32_t Translate(std::uint32_t code, std::uint32_t length, std::vector<TranslatedInstruction> instructions);
  // Translates `previous`'s instructions again as script memory holds them now: the ones whose
  // opcode word changed become ways out to the interpreter (and the ones changed back, code again).
  std::uint32_t Retranslate(const CScriptTranslator& previous);
  // How often the code was made again since the range was first translated.
  int Remakes() const { return remakes_; }
  // How often instructions of this range were cut out to rest before it was translated.
  int Rests() const { return rests_; }
  void SetRests(int rests) { rests_ = rests; }
  // The instructions whose opcode words the last Verify that asked for new code found changed
  // (stale, or fresh again), as [start, end) in script memory; empty where none did.
  std::pair<std::uint32_t, std::uint32_t> ChangedSpan() const { return changed_; }
  const std::vector<TranslatedInstruction>& Instructions() const { return instructions_; }
  void Free();

  // A write reached [address, address + size): the next Verify compares the opcode words there.
  void NoteWritten(std::uint32_t address, std::uint64_t size);
  // Code of another translation now lies in [start, end): true when this code stores there
  // without a look, so that it must be made again.
  bool StoresInto(std::uint64_t start, std::uint64_t end) const;
  void MarkOutdated() { outdated_ = true; }
  // Compares the opcode words that writes reached since the last call with the code: true when
  // the code must be made again (an instruction became stale or fresh, or it was marked).
  bool Verify();

  // Makes the counted form where it is not made yet: false when it cannot be made.
  bool MakeCounted();

  bool HasCode() const { return plain_ != nullptr; }
  std::uint32_t CodeStart() const { return code_; }
  std::uint32_t CodeLength() const { return length_; }
  bool Covers(std::uint32_t address) const { return address - code_ < length_; }
  bool Overlaps(std::uint64_t start, std::uint64_t end) const { return start < std::uint64_t{code_} + length_ && code_ < end; }
  // The machine code of the instruction that starts at `address`, null where none starts or the
  // form is not made.
  const void* EntryFor(std::uint32_t address, bool counted) const;
  // The range as other translated code finds it; no table where the form is not made.
  TranslatedRange Range(bool counted) const;
  // Runs the code at `entry` (from EntryFor) on the frame. The run may go on in other ranges of
  // the frame's list, so none of them may be freed before it returns.
  TranslatedExit Enter(TranslatedFrame& frame, const void* entry, bool counted) const;

 private:
  struct Image {
    std::unique_ptr<plat::ExecutableMemory> memory;
    std::vector<std::uint32_t> entries;  // by byte offset from the code's start: machine-code offset, or kNoEntry
    std::uint32_t table = 0;  // offset of the dispatch table
  };
  static constexpr std::uint32_t kNoEntry = UINT32_MAX;

  std::uint32_t Build();
  std::unique_ptr<Image> Emit(bool counted, std::vector<std::uint32_t>& unchecked_stores);

  const ScriptMemory& memory_;
  TranslatedCalls calls_;
  StoreReachesOtherCode other_code_;
  std::uint32_t code_ = 0;
  std::uint32_t length_ = 0;
  std::vector<TranslatedInstruction> instructions_;
  // Addresses outside this code that it stores to without a look.
  std::vector<std::uint32_t> unchecked_stores_;
  std::uint64_t written_start_ = UINT64_MAX;
  std::uint64_t written_end_ = 0;
  bool outdated_ = false;
  int remakes_ = 0;
  int rests_ = 0;
  std::pair<std::uint32_t, std::uint32_t> changed_{};
  std::unique_ptr<Image> plain_;
  std::unique_ptr<Image> counted_;
};
