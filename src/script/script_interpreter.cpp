#include "script/script_interpreter.h"

#include <array>
#include <exception>
#include <limits>

#include "base/app_hooks.h"
#include "script/script_context.h"
#include "script/sob_opcode.h"

namespace {

enum class Flow { kNext, kYield, kEnd, kStop };

using Handler = Flow (*)(CScriptContext&);

}  // namespace

// Handlers leave ip on their opcode until they are done, so that a fault reports the instruction.
struct SobInterpreter::Ops {
  static std::uint32_t Operand(const CScriptContext& c, std::uint32_t n) { return c.memory_.Word(c.ip_ + 4 * n); }
  static std::uint32_t Load(const CScriptContext& c, std::uint32_t address) { return c.memory_.Word(address); }
  static void Store(CScriptContext& c, std::uint32_t address, std::uint32_t value) { c.memory_.SetWord(address, value); }
  static Flow Next(CScriptContext& c, std::uint32_t operands) {
    c.ip_ += 4 * (operands + 1);
    return Flow::kNext;
  }
  // Every jump, call and return passes here: a loop cannot run without it, so counting these
  // finds a script that never yields at the cost of one decrement.
  static Flow TransferTo(CScriptContext& c, std::uint32_t target) {
    c.ip_ = target;
    if (--c.transfers_until_stop_check_ != 0) return Flow::kNext;
    c.transfers_until_stop_check_ = kTransfersPerStopCheck;
    return g_ScriptStopCheckHook != nullptr && g_ScriptStopCheckHook() ? Flow::kStop : Flow::kNext;
  }

  // Stack slot n is the word at sp - n; it must lie inside the stack.
  static std::uint32_t Slot(const CScriptContext& c, std::uint32_t n) {
    const std::int64_t address = std::int64_t{c.sp_} - static_cast<std::int32_t>(n);
    if (address < c.stack_base_) throw ScriptFault(ScriptFaultKind::kStackUnderflow);
    if (address + 4 > c.stack_end_) throw ScriptFault(ScriptFaultKind::kStackOverflow);
    return static_cast<std::uint32_t>(address);
  }
  static void MoveSp(CScriptContext& c, std::int64_t bytes) {
    const std::int64_t sp = std::int64_t{c.sp_} + bytes;
    if (sp < c.stack_base_) throw ScriptFault(ScriptFaultKind::kStackUnderflow);
    if (sp > c.stack_end_) throw ScriptFault(ScriptFaultKind::kStackOverflow);
    c.sp_ = static_cast<std::uint32_t>(sp);
  }

  static Flow Yield(CScriptContext& c) {
    c.ip_ += 4;
    return Flow::kYield;
  }
  static Flow Return(CScriptContext& c) {
    const std::uint32_t target = c.Pop();
    if (target == 0) {
      c.ip_ += 4;
      return Flow::kEnd;
    }
    return TransferTo(c, target);
  }
  static Flow ReturnValue(CScriptContext& c) {
    const std::uint32_t value = Operand(c, 1);
    const std::uint32_t target = c.Pop();
    if (target == 0) {
      c.ip_ += 8;
      return Flow::kEnd;
    }
    c.result_ = value;
    return TransferTo(c, target);
  }
  static Flow StoreResult(CScriptContext& c) {
    Store(c, Operand(c, 1), c.result_);
    return Next(c, 1);
  }
  static Flow Call(CScriptContext& c) {
    const std::uint32_t target = Operand(c, 1);
    c.Push(c.ip_ + 8);
    return TransferTo(c, target);
  }
  static Flow CallNative(CScriptContext& c) {
    const std::uint32_t token = Operand(c, 1);
    const std::uint32_t arguments = Operand(c, 2);
    const ScriptNativeFunc function = c.natives_.Find(token);
    if (function == nullptr) throw ScriptFault(ScriptFaultKind::kUnknownNative, token);
    const std::uint32_t result = CallBuiltin(c, function, token - ScriptNativeTable::kFirstToken, arguments);
    // The result operand is read only now: the function may have rewritten it.
    Store(c, Operand(c, 3), result);
    return Next(c, 3);
  }
  // Whatever a built-in raises ends the run as a script fault that names the built-in.
  static std::uint32_t CallBuiltin(CScriptContext& c, ScriptNativeFunc function, std::uint32_t number,
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
  static Flow Jump(CScriptContext& c) { return TransferTo(c, Operand(c, 1)); }
  static Flow Switch(CScriptContext& c) {
    const std::uint32_t index = Operand(c, 1);
    const std::uint64_t table = std::uint64_t{c.ip_} + 8;
    for (std::uint64_t entry = 0;; ++entry) {
      const std::uint64_t address = table + 4 * entry;
      if (address > std::numeric_limits<std::uint32_t>::max()) throw ScriptFault(ScriptFaultKind::kSwitchOutOfRange, index);
      const std::uint32_t target = Load(c, static_cast<std::uint32_t>(address));
      if (target == kSwitchTableEnd) throw ScriptFault(ScriptFaultKind::kSwitchOutOfRange, index);
      if (entry == index) return TransferTo(c, target);
    }
  }
  static Flow PushImm(CScriptContext& c) {
    c.Push(Operand(c, 1));
    return Next(c, 1);
  }
  static Flow PushMem(CScriptContext& c) {
    c.Push(Load(c, Operand(c, 1)));
    return Next(c, 1);
  }
  static Flow PopMem(CScriptContext& c) {
    const std::uint32_t destination = Operand(c, 1);
    Store(c, destination, c.Pop());
    return Next(c, 1);
  }
  static Flow AddSp(CScriptContext& c) {
    MoveSp(c, static_cast<std::int32_t>(Operand(c, 1)));
    return Next(c, 1);
  }
  static Flow SubSp(CScriptContext& c) {
    MoveSp(c, -std::int64_t{static_cast<std::int32_t>(Operand(c, 1))});
    return Next(c, 1);
  }

  template <std::uint32_t (*Operation)(std::uint32_t, std::uint32_t)>
  static Flow Binary(CScriptContext& c) {
    const std::uint32_t value = Operation(Operand(c, 1), Operand(c, 2));
    Store(c, Operand(c, 3), value);
    return Next(c, 3);
  }
  template <std::uint32_t (*Operation)(std::uint32_t)>
  static Flow Unary(CScriptContext& c) {
    const std::uint32_t value = Operation(Operand(c, 1));
    Store(c, Operand(c, 2), value);
    return Next(c, 2);
  }
  template <std::uint32_t Delta>
  static Flow StepMem(CScriptContext& c) {
    const std::uint32_t address = Operand(c, 1);
    Store(c, address, Load(c, address) + Delta);
    return Next(c, 1);
  }
  template <std::uint32_t Delta>
  static Flow StepStack(CScriptContext& c) {
    const std::uint32_t address = Slot(c, Operand(c, 1));
    Store(c, address, Load(c, address) + Delta);
    return Next(c, 1);
  }

  static Flow JumpIfZero(CScriptContext& c) {
    if (Operand(c, 1) == 0) return TransferTo(c, Operand(c, 2));
    return Next(c, 2);
  }
  static Flow StoreImm(CScriptContext& c) {
    Store(c, Operand(c, 2), Operand(c, 1));
    return Next(c, 2);
  }
  static Flow Copy(CScriptContext& c) {
    Store(c, Operand(c, 2), Load(c, Operand(c, 1)));
    return Next(c, 2);
  }
  static Flow StoreIndirect(CScriptContext& c) {
    Store(c, Load(c, Operand(c, 2)), Operand(c, 1));
    return Next(c, 2);
  }
  static Flow StoreStackImm(CScriptContext& c) {
    Store(c, Slot(c, Operand(c, 2)), Operand(c, 1));
    return Next(c, 2);
  }
  static Flow LoadStack(CScriptContext& c) {
    Store(c, Operand(c, 2), Load(c, Slot(c, Operand(c, 1))));
    return Next(c, 2);
  }
  static Flow StoreStack(CScriptContext& c) {
    Store(c, Slot(c, Operand(c, 2)), Load(c, Operand(c, 1)));
    return Next(c, 2);
  }
  static Flow CopyStack(CScriptContext& c) {
    Store(c, Slot(c, Operand(c, 2)), Load(c, Slot(c, Operand(c, 1))));
    return Next(c, 2);
  }
  static Flow LoadStackIndirect(CScriptContext& c) {
    Store(c, Operand(c, 2), Load(c, Load(c, Slot(c, Operand(c, 1)))));
    return Next(c, 2);
  }
  static Flow LoadIndirect(CScriptContext& c) {
    Store(c, Operand(c, 2), Load(c, Load(c, Operand(c, 1))));
    return Next(c, 2);
  }
  static Flow StackAddress(CScriptContext& c) {
    Store(c, Operand(c, 2), c.sp_ - Operand(c, 1));
    return Next(c, 2);
  }
};

namespace {

std::int32_t Signed(std::uint32_t value) { return static_cast<std::int32_t>(value); }
std::uint32_t Unsigned(std::int32_t value) { return static_cast<std::uint32_t>(value); }

void CheckDivision(std::uint32_t dividend, std::uint32_t divisor) {
  if (divisor == 0) throw ScriptFault(ScriptFaultKind::kDivideByZero);
  if (Signed(dividend) == std::numeric_limits<std::int32_t>::min() && Signed(divisor) == -1) {
    throw ScriptFault(ScriptFaultKind::kDivideOverflow);
  }
}

std::uint32_t Add(std::uint32_t a, std::uint32_t b) { return a + b; }
std::uint32_t Sub(std::uint32_t a, std::uint32_t b) { return a - b; }
std::uint32_t Mul(std::uint32_t a, std::uint32_t b) { return a * b; }
std::uint32_t Div(std::uint32_t a, std::uint32_t b) {
  CheckDivision(a, b);
  return Unsigned(Signed(a) / Signed(b));
}
std::uint32_t Rem(std::uint32_t a, std::uint32_t b) {
  CheckDivision(a, b);
  return Unsigned(Signed(a) % Signed(b));
}
std::uint32_t Mod(std::uint32_t a, std::uint32_t b) {
  const std::uint32_t remainder = Rem(a, b);
  return Signed(remainder) < 0 ? remainder + b : remainder;
}
std::uint32_t And(std::uint32_t a, std::uint32_t b) { return a & b; }
std::uint32_t Or(std::uint32_t a, std::uint32_t b) { return a | b; }
std::uint32_t Xor(std::uint32_t a, std::uint32_t b) { return a ^ b; }
std::uint32_t Not(std::uint32_t a) { return ~a; }
std::uint32_t LogicalNot(std::uint32_t a) { return a == 0 ? 1 : 0; }
std::uint32_t Shr(std::uint32_t a, std::uint32_t b) { return Unsigned(Signed(a) >> (b & 31)); }
std::uint32_t Shl(std::uint32_t a, std::uint32_t b) { return a << (b & 31); }
std::uint32_t Lt(std::uint32_t a, std::uint32_t b) { return Signed(a) < Signed(b) ? 1 : 0; }
std::uint32_t Le(std::uint32_t a, std::uint32_t b) { return Signed(a) <= Signed(b) ? 1 : 0; }
std::uint32_t Gt(std::uint32_t a, std::uint32_t b) { return Signed(a) > Signed(b) ? 1 : 0; }
std::uint32_t Ge(std::uint32_t a, std::uint32_t b) { return Signed(a) >= Signed(b) ? 1 : 0; }
std::uint32_t Eq(std::uint32_t a, std::uint32_t b) { return a == b ? 1 : 0; }
std::uint32_t Ne(std::uint32_t a, std::uint32_t b) { return a != b ? 1 : 0; }

using Ops = SobInterpreter::Ops;

// Indexed by the opcode word, in the order of ESobOpcode.
constexpr std::array<Handler, kSobOpcodeCount> kHandlers = {
    &Ops::Yield,
    &Ops::Return,
    &Ops::ReturnValue,
    &Ops::StoreResult,
    &Ops::Call,
    &Ops::CallNative,
    &Ops::Jump,
    &Ops::Switch,
    &Ops::PushImm,
    &Ops::PushMem,
    &Ops::PopMem,
    &Ops::AddSp,
    &Ops::SubSp,
    &Ops::Binary<Add>,
    &Ops::Binary<Sub>,
    &Ops::Binary<Mul>,
    &Ops::Binary<Div>,
    &Ops::Binary<Rem>,
    &Ops::Binary<Mod>,
    &Ops::Binary<And>,
    &Ops::Binary<Or>,
    &Ops::Binary<Xor>,
    &Ops::Unary<Not>,
    &Ops::Unary<LogicalNot>,
    &Ops::Binary<Shr>,
    &Ops::Binary<Shl>,
    &Ops::StepMem<1>,
    &Ops::StepMem<0xFFFFFFFF>,
    &Ops::StepStack<1>,
    &Ops::StepStack<0xFFFFFFFF>,
    &Ops::JumpIfZero,
    &Ops::StoreImm,
    &Ops::Copy,
    &Ops::StoreIndirect,
    &Ops::StoreStackImm,
    &Ops::LoadStack,
    &Ops::StoreStack,
    &Ops::CopyStack,
    &Ops::LoadStackIndirect,
    &Ops::LoadIndirect,
    &Ops::StackAddress,
    &Ops::Binary<Lt>,
    &Ops::Binary<Le>,
    &Ops::Binary<Gt>,
    &Ops::Binary<Ge>,
    &Ops::Binary<Eq>,
    &Ops::Binary<Ne>,
};

Flow Step(CScriptContext& context, std::uint32_t opcode) {
  if (opcode >= kSobOpcodeCount) throw ScriptFault(ScriptFaultKind::kBadOpcode, opcode);
  return kHandlers[opcode](context);
}

std::uint32_t Finish(Flow flow) {
  switch (flow) {
    case Flow::kYield:
      return kScriptYielded;
    case Flow::kStop:
      return kScriptStopped;
    case Flow::kNext:
    case Flow::kEnd:
      break;
  }
  return kScriptEnded;
}

}  // namespace

std::uint32_t SobInterpreter::Execute(CScriptContext& context) {
  for (;;) {
    const Flow flow = Step(context, context.memory_.Word(context.ip_));
    if (flow != Flow::kNext) return Finish(flow);
  }
}

std::uint32_t SobInterpreter::Execute(CScriptContext& context, std::uint64_t max_instructions) {
  for (std::uint64_t step = 0; step < max_instructions; ++step) {
    const Flow flow = Step(context, context.memory_.Word(context.ip_));
    if (flow != Flow::kNext) return Finish(flow);
  }
  return kScriptOutOfSteps;
}
