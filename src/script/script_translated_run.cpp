#include "script/script_translated_run.h"

#include <atomic>
#include <cstring>
#include <limits>
#include <optional>

#include "base/system/app_hooks.h"
#include "script/script_context.h"
#include "script/script_interpreter.h"
#include "script/script_translations.h"
#include "script/sob_opcode.h"

struct SobTranslatedRun::Run {
  CScriptContext& context;
  ScriptTranslations& translations;
  bool counted;
  TranslatedFrame frame;
  std::optional<ScriptFault> fault;
  // The translations and the stack as they were when the run entered translated code.
  std::uint64_t generation = 0;
  std::uint32_t stack_base = 0;
  std::uint32_t stack_end = 0;
  // The usable end of script memory that the frame's word limit and map of pages were made for.
  std::uint64_t usable_end = 0;

  // Translated code stores to the stack without a look, so it runs only while the stack holds none.
  bool StackHoldsCode() const { return translations.Overlaps(context.stack_base_, context.stack_end_); }
  void Entering() {
    generation = translations.Generation();
    stack_base = context.stack_base_;
    stack_end = context.stack_end_;
  }
  // After anything that may have written script memory or changed the translations: true when
  // the code that runs may no longer be what script memory holds, so that the run must leave it.
  bool CodeChanged() {
    translations.Refresh();
    if (translations.Generation() != generation) return true;
    const bool stack_moved = context.stack_base_ != stack_base || context.stack_end_ != stack_end;
    return stack_moved && StackHoldsCode();
  }

  void LoadFrame() {
    const CScriptContext& c = context;
    LoadRegisters();
    usable_end = c.memory_.UsableEnd();
    frame.stack_base = c.stack_base_;
    frame.stack_end = c.stack_end_;
    frame.word_limit = ScriptWordLimit(c.memory_);
    frame.slot_limit = ScriptSlotLimit(c.stack_base_, c.stack_end_);
    frame.watch_from = c.memory_.WatchedWordFrom();
    frame.watch_span = c.memory_.WatchedWordSpan();
    frame.code_pages = translations.Pages();
    const std::vector<TranslatedRange>& ranges = translations.Ranges(counted);
    frame.ranges = ranges.data();
    frame.range_count = static_cast<std::uint32_t>(ranges.size());
    frame.links = translations.Links(counted);
    frame.memory_base = c.memory_.base_;
    frame.run = this;
  }
  // The machine's registers (ip, sp, the result and the transfers until the stop check) go
  // between the frame and the context field by field: they were stored one by one just before,
  // and a wider load that spanned those stores (the compiler merges neighbouring copies) would
  // wait for them all to reach the cache. The compiler leaves atomic loads apart.
  static std::uint32_t Apart(std::uint32_t& word) {
    return std::atomic_ref<std::uint32_t>(word).load(std::memory_order_relaxed);
  }
  // The registers from the context to the frame, or (kToContext) back.
  template <bool kToContext>
  void CopyRegisters() {
    CScriptContext& c = context;
    const auto copy = [](std::uint32_t& in_frame, std::uint32_t& in_context) {
      if constexpr (kToContext) {
        in_context = Apart(in_frame);
      } else {
        in_frame = Apart(in_context);
      }
    };
    copy(frame.ip, c.ip_);
    copy(frame.sp, c.sp_);
    copy(frame.result, c.result_);
    copy(frame.transfers, c.transfers_until_stop_check_);
  }
  void LoadRegisters() { CopyRegisters<false>(); }
  void StoreFrame() { CopyRegisters<true>(); }
  // Whether the frame's limits and lists still describe the machine: a built-in may have grown
  // the memory, moved the stack or changed the translations.
  bool FrameHolds() const {
    const CScriptContext& c = context;
    return c.memory_.UsableEnd() == usable_end && c.stack_base_ == frame.stack_base && c.stack_end_ == frame.stack_end &&
           translations.Generation() == generation;
  }
  // A word of script memory through the interpreter's check; false when the address is not usable.
  bool Word(std::uint32_t address, std::uint32_t& value) const {
    const ScriptMemory& memory = context.memory_;
    if (address - ScriptMemory::kLowestAddress >= ScriptWordLimit(memory)) return false;
    value = memory.Word(address);
    return true;
  }

  static std::uint32_t CallNative(TranslatedFrame* frame, std::uint32_t token, std::uint32_t arguments) noexcept;
  static std::uint32_t SwitchTarget(TranslatedFrame* frame, std::uint32_t ip) noexcept;
  static std::uint32_t NoteStore(TranslatedFrame* frame, std::uint32_t address) noexcept;
};

// As the interpreter's CallNative from the call on: the state goes to the context, the built-in
// runs, the state comes back (the built-in may have re-entered the machine or grown the memory),
// and the result operand is read only then, relative to ip as the context holds it. A game's
// scripts call built-ins all the time: the rest of the frame is made again only where the
// built-in changed what it is made from.
std::uint32_t SobTranslatedRun::Run::CallNative(TranslatedFrame* frame, std::uint32_t token, std::uint32_t arguments) noexcept {
  Run& run = *static_cast<Run*>(frame->run);
  CScriptContext& c = run.context;
  const std::uint32_t ip = frame->ip;
  run.StoreFrame();
  try {
    const ScriptNativeFunc function = c.natives_.Find(token);
    if (function == nullptr) throw ScriptFault(ScriptFaultKind::kUnknownNative, token);
    const std::uint32_t result = SobInterpreter::CallBuiltin(c, function, token - ScriptNativeTable::kFirstToken, arguments);
    run.LoadRegisters();
    std::uint32_t destination = 0;
    if (!run.Word(frame->ip + 12, destination)) RaiseBadAddress(frame->ip + 12, 4);
    std::uint32_t unused = 0;
    if (!run.Word(destination, unused)) RaiseBadAddress(destination, 4);
    c.memory_.SetWord(destination, result);
    c.memory_.NoteWrite(destination, 4);
    const bool moved = frame->ip != ip;
    frame->ip += 16;
    if (moved || run.CodeChanged()) return 2;
    if (!run.FrameHolds()) run.LoadFrame();
    return 0;
  } catch (const ScriptFault& fault) {
    run.fault = fault;
  } catch (...) {
    run.fault = ScriptFault::BuiltinFailed(token - ScriptNativeTable::kFirstToken, "an exception of unknown type");
  }
  return 1;
}

// Entry `index` of the table behind the index operand, read word by word up to its closing word.
std::uint32_t SobTranslatedRun::Run::SwitchTarget(TranslatedFrame* frame, std::uint32_t ip) noexcept {
  Run& run = *static_cast<Run*>(frame->run);
  const auto fail = [frame](ScriptFaultKind kind, std::uint32_t detail) {
    frame->fault_kind = static_cast<std::uint32_t>(kind);
    frame->fault_detail = detail;
    return 1u;
  };
  std::uint32_t index = 0;
  if (!run.Word(ip + 4, index)) return fail(ScriptFaultKind::kBadAddress, ip + 4);
  const std::uint64_t table = std::uint64_t{ip} + 8;
  for (std::uint64_t entry = 0;; ++entry) {
    const std::uint64_t address = table + 4 * entry;
    if (address > std::numeric_limits<std::uint32_t>::max()) return fail(ScriptFaultKind::kSwitchOutOfRange, index);
    std::uint32_t target = 0;
    if (!run.Word(static_cast<std::uint32_t>(address), target)) {
      return fail(ScriptFaultKind::kBadAddress, static_cast<std::uint32_t>(address));
    }
    if (target == kSwitchTableEnd) return fail(ScriptFaultKind::kSwitchOutOfRange, index);
    if (entry == index) {
      frame->switch_target = target;
      return 0;
    }
  }
}

std::uint32_t SobTranslatedRun::Run::NoteStore(TranslatedFrame* frame, std::uint32_t address) noexcept {
  Run& run = *static_cast<Run*>(frame->run);
  try {
    run.context.memory_.NoteWrite(address, 4);
    return run.CodeChanged() ? 1 : 0;
  } catch (...) {
    // The run leaves translated code; outside, the same refresh fails again and says why.
    return 1;
  }
}

const TranslatedCalls& SobTranslatedRun::Calls() {
  static const TranslatedCalls calls{&Run::CallNative, &Run::SwitchTarget, &Run::NoteStore};
  return calls;
}

std::uint32_t SobTranslatedRun::Execute(CScriptContext& c, bool counted, std::uint64_t budget) {
  ScriptTranslations& translations = *c.translations_;
  Run run{c, translations, counted, {}, std::nullopt};
  const auto interpret = [&] { return counted ? SobInterpreter::Step(c, budget) : SobInterpreter::Step(c); };
  translations.StartRun();
  for (;;) {
    translations.ReleaseRetired();
    translations.Refresh();
    // Making code again is work that no transfer counts: it is counted by what was made.
    if (translations.StopCheckDue() && g_ScriptStopCheckHook != nullptr && g_ScriptStopCheckHook()) return kScriptStopped;
    const CScriptTranslator* translator = run.StackHoldsCode() ? nullptr : translations.FindOrWake(c.ip_);
    const void* entry = translator != nullptr ? translations.EntryFor(*translator, c.ip_, counted) : nullptr;
    if (entry == nullptr) {
      if (const std::uint32_t result = interpret(); result != kScriptTransferred) return result;
      continue;
    }
    run.Entering();
    run.LoadFrame();
    run.frame.budget = budget;
    const TranslatedExit exit = translations.Enter(*translator, run.frame, entry, counted);
    if (exit == TranslatedExit::kBuiltinFault) throw ScriptFault(*run.fault);
    run.StoreFrame();
    budget = run.frame.budget;
    switch (exit) {
      case TranslatedExit::kEnded:
        return kScriptEnded;
      case TranslatedExit::kYielded:
        return kScriptYielded;
      case TranslatedExit::kOutOfSteps:
        return kScriptOutOfSteps;
      case TranslatedExit::kFault: {
        const auto kind = static_cast<ScriptFaultKind>(run.frame.fault_kind);
        if (kind == ScriptFaultKind::kBadAddress) RaiseBadAddress(run.frame.fault_detail, 4);
        throw ScriptFault(kind, run.frame.fault_detail);
      }
      case TranslatedExit::kStopCheck: {
        c.transfers_until_stop_check_ = kTransfersPerStopCheck;
        if (g_ScriptStopCheckHook != nullptr && g_ScriptStopCheckHook()) return kScriptStopped;
        break;
      }
      case TranslatedExit::kStale:
        if (const std::uint32_t result = interpret(); result != kScriptTransferred) return result;
        break;
      case TranslatedExit::kLeave:
      case TranslatedExit::kBuiltinFault:
        break;
    }
  }
}
