// Workloads of the interpreter benchmarks, as linked code would have them: arithmetic on operands
// that earlier instructions rewrite, memory moves, and calls of script routines and built-ins.
#pragma once

#include <cstdint>

#include "script/script_vm.h"
#include "script_code_builder.h"

namespace script_vm_workloads {

using kvxtools::ScriptCodeBuilder;
using Op = ESobOpcode;

constexpr std::uint32_t kLoopCount = 100000;
// Instructions of one pass of the loop, the routine and the built-in call included.
constexpr std::uint64_t kInstructionsPerPass = 17;
constexpr std::uint64_t kLoopInstructions = kInstructionsPerPass * kLoopCount + 1;

// The built-in that the loop calls: its argument plus one.
inline std::uint32_t Increment(const NativeArgs& args) { return args.U32(0) + 1; }

struct Program {
  std::uint32_t entry = 0;
  std::uint32_t result = 0;  // the address of the word that holds the result
  std::uint32_t length = 0;  // bytes of code from the entry on
  std::uint32_t library = 0;  // a second module's code, as the function library's, 0 for none
  std::uint32_t library_length = 0;
};

// Counts down from kLoopCount: acc += counter * 3, a routine sets arg := acc ^ 0x5A5A through the
// stack, the built-in (registered as function 0) sets ret := arg + 1. The result is acc.
inline Program BuildLoop(ScriptMemory& memory) {
  const std::uint32_t vars = memory.Allocate(64, true);
  const std::uint32_t counter = vars, acc = vars + 4, tmp = vars + 8, tmp2 = vars + 12, arg = vars + 16, ret = vars + 20;
  const std::uint32_t code_address = memory.Allocate(1024, true);
  ScriptCodeBuilder code(code_address);
  const auto loop = code.NewLabel(), mul = code.NewLabel(), add = code.NewLabel(), routine = code.NewLabel(), xor_op = code.NewLabel();
  code.Emit(Op::StoreImm, {kLoopCount, counter});
  code.Bind(loop);
  code.Emit(Op::Copy, {counter, ScriptCodeBuilder::OperandOf(mul, 1)});
  code.Emit(Op::Copy, {acc, ScriptCodeBuilder::OperandOf(add, 1)});
  code.Bind(mul);
  code.Emit(Op::Mul, {0, 3, tmp});
  code.Emit(Op::Copy, {tmp, ScriptCodeBuilder::OperandOf(add, 2)});
  code.Bind(add);
  code.Emit(Op::Add, {0, 0, acc});
  code.Emit(Op::Call, {routine});
  code.Emit(Op::CallNative, {ScriptNativeTable::Token(0), arg, ret});
  code.EmitCountDown(loop, counter);
  code.Emit(Op::Return);
  code.Bind(routine);
  code.Emit(Op::PushMem, {acc});
  code.Emit(Op::LoadStack, {4, ScriptCodeBuilder::OperandOf(xor_op, 1)});
  code.Emit(Op::Copy, {acc, tmp2});
  code.Bind(xor_op);
  code.Emit(Op::Xor, {0, 0x5A5A, arg});
  code.Emit(Op::SubSp, {4});
  code.Emit(Op::Return);
  code.WriteTo(memory);
  return {code_address, acc, code.Here() - code_address};
}

// Integer arithmetic alone: sum := sum + counter * 3 while counting down from kLoopCount. The
// result is sum.
inline Program BuildIntegerLoop(ScriptMemory& memory) {
  const std::uint32_t vars = memory.Allocate(16, true);
  const std::uint32_t counter = vars, sum = vars + 4, tmp = vars + 8;
  const std::uint32_t code_address = memory.Allocate(256, true);
  ScriptCodeBuilder code(code_address);
  const auto loop = code.NewLabel(), mul = code.NewLabel(), add = code.NewLabel();
  code.Emit(Op::StoreImm, {kLoopCount, counter});
  code.Emit(Op::StoreImm, {0, sum});
  code.Bind(loop);
  code.Emit(Op::Copy, {counter, ScriptCodeBuilder::OperandOf(mul, 1)});
  code.Bind(mul);
  code.Emit(Op::Mul, {0, 3, tmp});
  code.Emit(Op::Copy, {sum, ScriptCodeBuilder::OperandOf(add, 1)});
  code.Emit(Op::Copy, {tmp, ScriptCodeBuilder::OperandOf(add, 2)});
  code.Bind(add);
  code.Emit(Op::Add, {0, 0, sum});
  code.EmitCountDown(loop, counter);
  code.Emit(Op::Return);
  code.WriteTo(memory);
  return {code_address, sum, code.Here() - code_address};
}
// The last pass leaves at its test, before the jump back.
constexpr std::uint64_t kIntegerLoopInstructions = 9 * kLoopCount + 2;

// Recursive fib(n): the argument is pushed, the callee reads it as stack slot 8 (behind the return
// address) and returns the value in the result register.
inline Program BuildFib(ScriptMemory& memory, std::uint32_t n) {
  const std::uint32_t vars = memory.Allocate(16, true);
  const std::uint32_t tmp = vars, tmp2 = vars + 4, out = vars + 8;
  const std::uint32_t code_address = memory.Allocate(1024, true);
  ScriptCodeBuilder code(code_address);
  const auto fib = code.NewLabel(), less = code.NewLabel(), branch = code.NewLabel(), leaf = code.NewLabel(),
             recurse = code.NewLabel(), minus1 = code.NewLabel(), minus2 = code.NewLabel(), sum = code.NewLabel(),
             done = code.NewLabel();
  const auto operand = [](auto label, std::uint32_t i) { return ScriptCodeBuilder::OperandOf(label, i); };
  code.Emit(Op::PushImm, {n});
  code.Emit(Op::Call, {fib});
  code.Emit(Op::SubSp, {4});
  code.Emit(Op::StoreResult, {out});
  code.Emit(Op::Return);

  code.Bind(fib);
  code.Emit(Op::LoadStack, {8, operand(less, 1)});
  code.Bind(less);
  code.Emit(Op::Lt, {0, 2, tmp});
  code.Emit(Op::Copy, {tmp, operand(branch, 1)});
  code.Bind(branch);
  code.Emit(Op::JumpIfZero, {0, recurse});
  code.Emit(Op::LoadStack, {8, operand(leaf, 1)});
  code.Bind(leaf);
  code.Emit(Op::ReturnValue, {0});

  code.Bind(recurse);
  code.Emit(Op::LoadStack, {8, operand(minus1, 1)});
  code.Bind(minus1);
  code.Emit(Op::Sub, {0, 1, tmp});
  code.Emit(Op::PushMem, {tmp});
  code.Emit(Op::Call, {fib});
  code.Emit(Op::SubSp, {4});
  // fib(n - 1) waits on the stack, above n and the return address.
  code.Emit(Op::StoreResult, {tmp});
  code.Emit(Op::PushMem, {tmp});
  code.Emit(Op::LoadStack, {12, operand(minus2, 1)});
  code.Bind(minus2);
  code.Emit(Op::Sub, {0, 2, tmp});
  code.Emit(Op::PushMem, {tmp});
  code.Emit(Op::Call, {fib});
  code.Emit(Op::SubSp, {4});
  code.Emit(Op::StoreResult, {tmp2});
  code.Emit(Op::LoadStack, {4, operand(sum, 1)});
  code.Emit(Op::Copy, {tmp2, operand(sum, 2)});
  code.Bind(sum);
  code.Emit(Op::Add, {0, 0, tmp});
  code.Emit(Op::SubSp, {4});
  code.Emit(Op::Copy, {tmp, operand(done, 1)});
  code.Bind(done);
  code.Emit(Op::ReturnValue, {0});
  code.WriteTo(memory);
  return {code_address, out, code.Here() - code_address};
}

constexpr std::uint32_t kCrossModuleCalls = 1000000;

// A loop that calls a two-instruction routine of another module (count += 1, return) on every
// pass, kCrossModuleCalls times, as scripts call the function library. The result is count.
inline Program BuildCrossModuleCalls(ScriptMemory& memory) {
  const std::uint32_t vars = memory.Allocate(16, true);
  const std::uint32_t counter = vars, count = vars + 4;
  ScriptCodeBuilder library(memory.Allocate(64, true));
  const auto routine = library.NewLabel();
  library.Bind(routine);
  library.Emit(Op::IncMem, {count});
  library.Emit(Op::Return);
  library.WriteTo(memory);
  const std::uint32_t code_address = memory.Allocate(256, true);
  ScriptCodeBuilder code(code_address);
  const auto loop = code.NewLabel();
  code.Emit(Op::StoreImm, {kCrossModuleCalls, counter});
  code.Emit(Op::StoreImm, {0, count});
  code.Bind(loop);
  code.Emit(Op::Call, {library.AddressOf(routine)});
  code.EmitCountDown(loop, counter);
  code.Emit(Op::Return);
  code.WriteTo(memory);
  return {code_address, count, code.Here() - code_address, library.Base(), library.Here() - library.Base()};
}

// Instructions that BuildFib's program runs for fib(n): 5 in the entry, 6 per call that returns
// its argument, 23 per call that recurses.
constexpr std::uint64_t FibInstructions(std::uint32_t n) {
  std::uint64_t leaves = 0, inner = 0;
  std::uint64_t leaves_before = 1, inner_before = 0, leaves_last = 1, inner_last = 0;  // n = 0, n = 1
  if (n < 2) return 5 + 6;
  for (std::uint32_t i = 2; i <= n; ++i) {
    leaves = leaves_last + leaves_before;
    inner = inner_last + inner_before + 1;
    leaves_before = leaves_last, inner_before = inner_last;
    leaves_last = leaves, inner_last = inner;
  }
  return 5 + 6 * leaves + 23 * inner;
}

}  // namespace script_vm_workloads
