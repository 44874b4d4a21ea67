#include "script/script_interpreter.h"

#include <cstring>
#include <exception>
#include <iterator>
#include <limits>

#include "base/system/app_hooks.h"
#include "script/script_context.h"
#include "script/script_translations.h"
#include "script/sob_opcode.h"

namespace {

std::int32_t Signed(std::uint32_t value) { return static_cast<std::int32_t>(value); }
std::uint32_t Unsigned(std::int32_t value) { return static_cast<std::uint32_t>(value); }

}  // namespace

[[gnu::noinline]] std::uint32_t SobInterpreter::CallBuiltin(CScriptContext& c, ScriptNativeFunc function, std::uint32_t number,
                                          std::uint32_t arguments) {
  try {
    return function(NativeArgs(c.memory_, c.handles_, arguments));
  } catch (const ScriptFault&) {
    throw;
  } catch (const std::exception& error) {
    throw ScriptFault::BuiltinFailed(number, error.what());
  } catch (...) {
    throw ScriptFault::BuiltinFailed(number, "an exception of unknown type");
  }
}

#define KVM_INLINE __attribute__((always_inline))

struct SobInterpreter::Ops {
  template <bool kCounted, bool kStepping, bool kWatched>
  static std::uint32_t Run(CScriptContext& c, std::uint64_t& budget_left);
  template <bool kCounted>
  static std::uint32_t Execute(CScriptContext& c, std::uint64_t& budget_left);

  // The map of pages of the translations: the watched and stepping forms look up every store's
  // and every transfer's page there. The memory's watch is its context's translations'.
  static const std::uint8_t* Pages(CScriptContext& c) {
    return c.translations_ != nullptr ? c.translations_->Pages() : ScriptTranslations::NoPages();
  }

  // A store reached a page that holds translated code.
  [[gnu::cold, gnu::noinline]] static void Noted(CScriptContext& c, std::uint32_t address) { c.memory_.NoteWrite(address, 4); }

  // The state goes back to the context before the fault leaves the loop. Out of line and given
  // values, so that the loop's state never needs an address and stays in registers.
  [[noreturn, gnu::cold, gnu::noinline]] static void Fault(CScriptContext& c, std::uint32_t ip, std::uint32_t sp,
                                                          std::uint32_t transfers, ScriptFaultKind kind,
                                                          std::uint32_t detail) {
    c.ip_ = ip;
    c.sp_ = sp;
    c.transfers_until_stop_check_ = transfers;
    if (kind == ScriptFaultKind::kBadAddress) RaiseBadAddress(detail, 4);
    throw ScriptFault(kind, detail);
  }

};

// Computed goto: each instruction ends in its own indirect jump to the next one's code.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"

// The machine state lives in locals (registers) while the loop runs. It goes back to the context
// wherever anything else may look at it: before a built-in call (the built-in may re-enter the
// interpreter, and it is reloaded afterwards), around the stop check, at a fault and at the end of
// the run. Instructions leave ip on their opcode until they are done, so that a fault reports the
// instruction; their reads and writes happen in the order that decides which fault is raised.
// The stepping form returns after a control transfer that lands in a page holding translated
// code, so that the code can take over; elsewhere it runs on at the interpreter's speed.
// The watched form tells every store into a page that holds translated code to the translations:
// a page, not the span from the first translated module to the last, which holds the data of
// every module but the last. Its stores look only at their page where the map calls it plain,
// which is usable memory without code, and check their address as the other forms do elsewhere.
template <bool kCounted, bool kStepping, bool kWatched>
std::uint32_t SobInterpreter::Ops::Run(CScriptContext& c, std::uint64_t& budget_left) {
  static constexpr void* kCode[] = {
      &&op_yield,     &&op_return,    &&op_return_value, &&op_store_result, &&op_call,
      &&op_call_native, &&op_jump,    &&op_switch,       &&op_push_imm,     &&op_push_mem,
      &&op_pop_mem,   &&op_add_sp,    &&op_sub_sp,       &&op_add,          &&op_sub,
      &&op_mul,       &&op_div,       &&op_rem,          &&op_mod,          &&op_and,
      &&op_or,        &&op_xor,       &&op_not,          &&op_logical_not,  &&op_shr,
      &&op_shl,       &&op_inc_mem,   &&op_dec_mem,      &&op_inc_stack,    &&op_dec_stack,
      &&op_jump_if_zero, &&op_store_imm, &&op_copy,      &&op_store_indirect, &&op_store_stack_imm,
      &&op_load_stack, &&op_store_stack, &&op_copy_stack, &&op_load_stack_indirect, &&op_load_indirect,
      &&op_stack_address, &&op_lt,    &&op_le,           &&op_gt,           &&op_ge,
      &&op_eq,        &&op_ne,        &&bad_opcode,
  };
  static_assert(std::size(kCode) == kSobOpcodeCount + 1);

  std::byte* const base = c.memory_.base_;
  std::uint32_t ip = 0, sp = 0, transfers = 0, stack_base = 0, stack_end = 0, word_limit = 0;
  std::uint64_t slot_limit = 0;
  const std::uint8_t* pages = nullptr;
  std::uint32_t opcode = 0;
  std::uint64_t budget = budget_left;
  const auto reload = [&]() KVM_INLINE {
    ip = c.ip_;
    sp = c.sp_;
    transfers = c.transfers_until_stop_check_;
    stack_base = c.stack_base_;
    stack_end = c.stack_end_;
    slot_limit = ScriptSlotLimit(stack_base, stack_end);
    word_limit = ScriptWordLimit(c.memory_);
    if constexpr (kWatched || kStepping) pages = Pages(c);
  };
  const auto sync = [&]() KVM_INLINE {
    c.ip_ = ip;
    c.sp_ = sp;
    c.transfers_until_stop_check_ = transfers;
    if constexpr (kCounted) budget_left = budget;
  };
  const auto fault = [&](ScriptFaultKind kind, std::uint32_t detail) KVM_INLINE {
    Fault(c, ip, sp, transfers, kind, detail);
  };

  const auto load = [&](std::uint32_t address) KVM_INLINE {
    if (address - ScriptMemory::kLowestAddress >= word_limit) fault(ScriptFaultKind::kBadAddress, address);
    std::uint32_t value;
    std::memcpy(&value, base + address, sizeof value);
    return value;
  };
  const auto watch = [&](std::uint32_t address) KVM_INLINE {
    if constexpr (kWatched) {
      if (pages[address >> kCodePageShift] == kCodePage) [[unlikely]] Noted(c, address);
    }
  };
  const auto store = [&](std::uint32_t address, std::uint32_t value) KVM_INLINE {
    if constexpr (kWatched) {
      if (pages[address >> kCodePageShift] == kPlainPage) [[likely]] {
        std::memcpy(base + address, &value, sizeof value);
        return;
      }
    }
    if (address - ScriptMemory::kLowestAddress >= word_limit) fault(ScriptFaultKind::kBadAddress, address);
    std::memcpy(base + address, &value, sizeof value);
    watch(address);
  };
  const auto operand = [&](std::uint32_t n) KVM_INLINE { return load(ip + 4 * n); };
  // The word at address := change(the word), where a plain page needs neither the address check
  // nor a look at the page again for the store.
  const auto modify = [&](std::uint32_t address, auto change) KVM_INLINE {
    if constexpr (kWatched) {
      if (pages[address >> kCodePageShift] == kPlainPage) [[likely]] {
        std::uint32_t value;
        std::memcpy(&value, base + address, sizeof value);
        value = change(value);
        std::memcpy(base + address, &value, sizeof value);
        return;
      }
    }
    store(address, change(load(address)));
  };

  // A word known to lie in usable memory, which never shrinks: the stack's (its checks cover the
  // access) or one that starts in a plain page.
  const auto usable_load = [&](std::uint32_t address) KVM_INLINE {
    std::uint32_t value;
    std::memcpy(&value, base + address, sizeof value);
    return value;
  };
  const auto stack_store = [&](std::uint32_t address, std::uint32_t value) KVM_INLINE {
    std::memcpy(base + address, &value, sizeof value);
    watch(address);
  };
  const auto push = [&](std::uint32_t value) KVM_INLINE {
    if (stack_end - sp < 4) fault(ScriptFaultKind::kStackOverflow, 0);
    stack_store(sp, value);
    sp += 4;
  };
  const auto pop = [&]() KVM_INLINE {
    if (sp - stack_base < 4) fault(ScriptFaultKind::kStackUnderflow, 0);
    sp -= 4;
    return usable_load(sp);
  };
  // Stack slot n is the word at sp - n; it must lie inside the stack.
  const auto slot = [&](std::uint32_t n) KVM_INLINE {
    const std::int64_t address = std::int64_t{sp} - Signed(n);
    if (static_cast<std::uint64_t>(address - stack_base) >= slot_limit) {
      fault(address < stack_base ? ScriptFaultKind::kStackUnderflow : ScriptFaultKind::kStackOverflow, 0);
    }
    return static_cast<std::uint32_t>(address);
  };
  const auto move_sp = [&](std::int64_t bytes) KVM_INLINE {
    const std::int64_t moved = std::int64_t{sp} + bytes;
    if (moved < stack_base) fault(ScriptFaultKind::kStackUnderflow, 0);
    if (moved > stack_end) fault(ScriptFaultKind::kStackOverflow, 0);
    sp = static_cast<std::uint32_t>(moved);
  };
  const auto check_division = [&](std::uint32_t dividend, std::uint32_t divisor) KVM_INLINE {
    if (divisor == 0) fault(ScriptFaultKind::kDivideByZero, 0);
    if (Signed(dividend) == std::numeric_limits<std::int32_t>::min() && Signed(divisor) == -1) {
      fault(ScriptFaultKind::kDivideOverflow, 0);
    }
  };
  const auto remainder = [&](std::uint32_t a, std::uint32_t b) KVM_INLINE {
    check_division(a, b);
    return Unsigned(Signed(a) % Signed(b));
  };
  const auto modulo = [&](std::uint32_t a, std::uint32_t b) KVM_INLINE {
    const std::uint32_t rest = remainder(a, b);
    return Signed(rest) < 0 ? rest + b : rest;
  };

#define KVM_DISPATCH_FETCHED(fetch)                               \
  do {                                                            \
    if constexpr (kCounted) {                                     \
      if (budget == 0) {                                          \
        sync();                                                   \
        return kScriptOutOfSteps;                                 \
      }                                                           \
      --budget;                                                   \
    }                                                             \
    opcode = (fetch);                                             \
    goto* kCode[opcode < kSobOpcodeCount ? opcode : kSobOpcodeCount]; \
  } while (false)
#define KVM_DISPATCH() KVM_DISPATCH_FETCHED(load(ip))
#define KVM_NEXT(operands)        \
  do {                            \
    ip += 4 * ((operands) + 1);   \
    KVM_DISPATCH();               \
  } while (false)
// Every jump, call and return passes here: a loop cannot run without it, so counting these finds
// a script that never yields at the cost of one decrement.
#define KVM_TRANSFER(target)                                                       \
  do {                                                                             \
    ip = (target);                                                                 \
    if (--transfers == 0) {                                                        \
      transfers = kTransfersPerStopCheck;                                          \
      sync();                                                                      \
      const bool stop = g_ScriptStopCheckHook != nullptr && g_ScriptStopCheckHook(); \
      reload();                                                                    \
      if (stop) return kScriptStopped;                                             \
    }                                                                              \
    if constexpr (kStepping) {                                                     \
      /* The look at the target's page stands in for the check of its address. */ \
      const std::uint8_t page = pages[ip >> kCodePageShift];                       \
      if (page == kPlainPage) [[likely]] KVM_DISPATCH_FETCHED(usable_load(ip));     \
      if (page == kCodePage) {                                                     \
        sync();                                                                    \
        return kScriptTransferred;                                                 \
      }                                                                            \
    }                                                                              \
    KVM_DISPATCH();                                                                \
  } while (false)
#define KVM_BINARY(label, expression)       \
  label : {                                 \
    const std::uint32_t a = operand(1);     \
    const std::uint32_t b = operand(2);     \
    const std::uint32_t value = expression; \
    store(operand(3), value);               \
    KVM_NEXT(3);                            \
  }
#define KVM_UNARY(label, expression)        \
  label : {                                 \
    const std::uint32_t a = operand(1);     \
    const std::uint32_t value = expression; \
    store(operand(2), value);               \
    KVM_NEXT(2);                            \
  }

  reload();
  KVM_DISPATCH();

op_yield:
  ip += 4;
  sync();
  return kScriptYielded;
op_return: {
  const std::uint32_t target = pop();
  if (target == 0) {
    ip += 4;
    sync();
    return kScriptEnded;
  }
  KVM_TRANSFER(target);
}
op_return_value: {
  const std::uint32_t value = operand(1);
  const std::uint32_t target = pop();
  if (target == 0) {
    ip += 8;
    sync();
    return kScriptEnded;
  }
  c.result_ = value;
  KVM_TRANSFER(target);
}
op_store_result:
  store(operand(1), c.result_);
  KVM_NEXT(1);
op_call: {
  const std::uint32_t target = operand(1);
  push(ip + 8);
  KVM_TRANSFER(target);
}
op_call_native: {
  const std::uint32_t token = operand(1);
  const std::uint32_t arguments = operand(2);
  const ScriptNativeFunc function = c.natives_.Find(token);
  if (function == nullptr) fault(ScriptFaultKind::kUnknownNative, token);
  sync();
  const std::uint32_t result = CallBuiltin(c, function, token - ScriptNativeTable::kFirstToken, arguments);
  reload();
  // The result operand is read only now: the function may have rewritten it.
  store(operand(3), result);
  KVM_NEXT(3);
}
op_jump:
  KVM_TRANSFER(operand(1));
op_switch: {
  const std::uint32_t index = operand(1);
  const std::uint64_t table = std::uint64_t{ip} + 8;
  for (std::uint64_t entry = 0;; ++entry) {
    const std::uint64_t address = table + 4 * entry;
    if (address > std::numeric_limits<std::uint32_t>::max()) fault(ScriptFaultKind::kSwitchOutOfRange, index);
    const std::uint32_t target = load(static_cast<std::uint32_t>(address));
    if (target == kSwitchTableEnd) fault(ScriptFaultKind::kSwitchOutOfRange, index);
    if (entry == index) KVM_TRANSFER(target);
  }
}
op_push_imm:
  push(operand(1));
  KVM_NEXT(1);
op_push_mem:
  push(load(operand(1)));
  KVM_NEXT(1);
op_pop_mem: {
  const std::uint32_t destination = operand(1);
  const std::uint32_t value = pop();
  store(destination, value);
  KVM_NEXT(1);
}
op_add_sp:
  move_sp(Signed(operand(1)));
  KVM_NEXT(1);
op_sub_sp:
  move_sp(-std::int64_t{Signed(operand(1))});
  KVM_NEXT(1);

  KVM_BINARY(op_add, a + b)
  KVM_BINARY(op_sub, a - b)
  KVM_BINARY(op_mul, a * b)
  KVM_BINARY(op_div, (check_division(a, b), Unsigned(Signed(a) / Signed(b))))
  KVM_BINARY(op_rem, remainder(a, b))
  KVM_BINARY(op_mod, modulo(a, b))
  KVM_BINARY(op_and, a & b)
  KVM_BINARY(op_or, a | b)
  KVM_BINARY(op_xor, a ^ b)
  KVM_UNARY(op_not, ~a)
  KVM_UNARY(op_logical_not, a == 0 ? 1u : 0u)
  KVM_BINARY(op_shr, Unsigned(Signed(a) >> (b & 31)))
  KVM_BINARY(op_shl, a << (b & 31))

op_inc_mem:
  modify(operand(1), [](std::uint32_t value) { return value + 1; });
  KVM_NEXT(1);
op_dec_mem:
  modify(operand(1), [](std::uint32_t value) { return value - 1; });
  KVM_NEXT(1);
op_inc_stack: {
  const std::uint32_t address = slot(operand(1));
  stack_store(address, usable_load(address) + 1);
  KVM_NEXT(1);
}
op_dec_stack: {
  const std::uint32_t address = slot(operand(1));
  stack_store(address, usable_load(address) - 1);
  KVM_NEXT(1);
}
op_jump_if_zero:
  if (operand(1) == 0) KVM_TRANSFER(operand(2));
  KVM_NEXT(2);
op_store_imm: {
  const std::uint32_t value = operand(1);
  store(operand(2), value);
  KVM_NEXT(2);
}
op_copy: {
  const std::uint32_t value = load(operand(1));
  store(operand(2), value);
  KVM_NEXT(2);
}
op_store_indirect: {
  const std::uint32_t value = operand(1);
  store(load(operand(2)), value);
  KVM_NEXT(2);
}
op_store_stack_imm: {
  const std::uint32_t value = operand(1);
  stack_store(slot(operand(2)), value);
  KVM_NEXT(2);
}
op_load_stack: {
  const std::uint32_t value = usable_load(slot(operand(1)));
  store(operand(2), value);
  KVM_NEXT(2);
}
op_store_stack: {
  const std::uint32_t value = load(operand(1));
  stack_store(slot(operand(2)), value);
  KVM_NEXT(2);
}
op_copy_stack: {
  const std::uint32_t value = usable_load(slot(operand(1)));
  stack_store(slot(operand(2)), value);
  KVM_NEXT(2);
}
op_load_stack_indirect: {
  const std::uint32_t value = load(usable_load(slot(operand(1))));
  store(operand(2), value);
  KVM_NEXT(2);
}
op_load_indirect: {
  const std::uint32_t value = load(load(operand(1)));
  store(operand(2), value);
  KVM_NEXT(2);
}
op_stack_address: {
  const std::uint32_t value = sp - operand(1);
  store(operand(2), value);
  KVM_NEXT(2);
}

  KVM_BINARY(op_lt, Signed(a) < Signed(b) ? 1u : 0u)
  KVM_BINARY(op_le, Signed(a) <= Signed(b) ? 1u : 0u)
  KVM_BINARY(op_gt, Signed(a) > Signed(b) ? 1u : 0u)
  KVM_BINARY(op_ge, Signed(a) >= Signed(b) ? 1u : 0u)
  KVM_BINARY(op_eq, a == b ? 1u : 0u)
  KVM_BINARY(op_ne, a != b ? 1u : 0u)

bad_opcode:
  Fault(c, ip, sp, transfers, ScriptFaultKind::kBadOpcode, opcode);

#undef KVM_UNARY
#undef KVM_BINARY
#undef KVM_TRANSFER
#undef KVM_NEXT
#undef KVM_DISPATCH
#undef KVM_DISPATCH_FETCHED
}

#pragma GCC diagnostic pop
#undef KVM_INLINE

// A run that starts while no code is translated pays nothing for the watch; the translations
// count it, and compare all their code with script memory while it lasts.
template <bool kCounted>
std::uint32_t SobInterpreter::Ops::Execute(CScriptContext& c, std::uint64_t& budget_left) {
  if (c.memory_.Watched()) return Run<kCounted, false, true>(c, budget_left);
  const ScriptMemory::UnwatchedRun unwatched(c.memory_);
  return Run<kCounted, false, false>(c, budget_left);
}

std::uint32_t SobInterpreter::Execute(CScriptContext& context) {
  std::uint64_t unused = 0;
  return Ops::Execute<false>(context, unused);
}

std::uint32_t SobInterpreter::Execute(CScriptContext& context, std::uint64_t max_instructions) {
  return Ops::Execute<true>(context, max_instructions);
}

std::uint32_t SobInterpreter::Step(CScriptContext& context) {
  std::uint64_t unused = 0;
  return Ops::Run<false, true, true>(context, unused);
}

std::uint32_t SobInterpreter::Step(CScriptContext& context, std::uint64_t& budget) {
  return Ops::Run<true, true, true>(context, budget);
}
