// Workloads of the interpreter benchmarks, as linked code would have them: arithmetic on operands
// that earlier instructions rewrite, memory moves, and calls of script routines and built-ins.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

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
  std::optional<std::uint32_t> expected = std::nullopt;  // the result every run must leave, where it is known
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

constexpr std::uint32_t kSieveSize = 100000;

// The sieve of Eratosthenes over kSieveSize words: counts the primes below kSieveSize, striking
// out the multiples of each from its double on. The result is the count.
inline Program BuildSieve(ScriptMemory& memory) {
  const std::uint32_t vars = memory.Allocate(64, true);
  const std::uint32_t i = vars, p = vars + 4, q = vars + 8, t = vars + 12, k = vars + 16, count = vars + 20;
  const std::uint32_t flags = memory.Allocate(4 * kSieveSize, true);
  const std::uint32_t flags_end = flags + 4 * kSieveSize;
  const std::uint32_t code_address = memory.Allocate(512, true);
  ScriptCodeBuilder code(code_address);
  const auto fill = code.NewLabel(), step = code.NewLabel(), outer = code.NewLabel(), in_range = code.NewLabel(),
             ended = code.NewLabel(), scale = code.NewLabel(), locate = code.NewLabel(), marked = code.NewLabel(),
             first = code.NewLabel(), inner = code.NewLabel(), below_end = code.NewLabel(), past = code.NewLabel(),
             next_multiple = code.NewLabel(), next = code.NewLabel(), done = code.NewLabel();
  const auto operand = [](auto label, std::uint32_t n) { return ScriptCodeBuilder::OperandOf(label, n); };
  code.Emit(Op::StoreImm, {0, count});
  code.Emit(Op::StoreImm, {flags, p});
  code.Emit(Op::StoreImm, {kSieveSize, k});
  code.Bind(fill);
  code.Emit(Op::StoreIndirect, {1, p});
  code.Emit(Op::Copy, {p, operand(step, 1)});
  code.Bind(step);
  code.Emit(Op::Add, {0, 4, p});
  code.EmitCountDown(fill, k);
  code.Emit(Op::StoreImm, {2, i});
  code.Bind(outer);
  code.Emit(Op::Copy, {i, operand(in_range, 1)});
  code.Bind(in_range);
  code.Emit(Op::Lt, {0, kSieveSize, t});
  code.Emit(Op::Copy, {t, operand(ended, 1)});
  code.Bind(ended);
  code.Emit(Op::JumpIfZero, {0, done});
  code.Emit(Op::Copy, {i, operand(scale, 1)});
  code.Bind(scale);
  code.Emit(Op::Shl, {0, 2, t});
  code.Emit(Op::Copy, {t, operand(locate, 1)});
  code.Bind(locate);
  code.Emit(Op::Add, {0, flags, p});
  code.Emit(Op::LoadIndirect, {p, q});
  code.Emit(Op::Copy, {q, operand(marked, 1)});
  code.Bind(marked);
  code.Emit(Op::JumpIfZero, {0, next});
  code.Emit(Op::IncMem, {count});
  // The stride t = 4 * i goes into both additions of the inner loop; q starts at the double.
  code.Emit(Op::Copy, {t, operand(first, 2)});
  code.Emit(Op::Copy, {t, operand(next_multiple, 2)});
  code.Emit(Op::Copy, {p, operand(first, 1)});
  code.Bind(first);
  code.Emit(Op::Add, {0, 0, q});
  code.Bind(inner);
  code.Emit(Op::Copy, {q, operand(below_end, 1)});
  code.Bind(below_end);
  code.Emit(Op::Lt, {0, flags_end, t});
  code.Emit(Op::Copy, {t, operand(past, 1)});
  code.Bind(past);
  code.Emit(Op::JumpIfZero, {0, next});
  code.Emit(Op::StoreIndirect, {0, q});
  code.Emit(Op::Copy, {q, operand(next_multiple, 1)});
  code.Bind(next_multiple);
  code.Emit(Op::Add, {0, 0, q});
  code.Emit(Op::Jump, {inner});
  code.Bind(next);
  code.Emit(Op::IncMem, {i});
  code.Emit(Op::Jump, {outer});
  code.Bind(done);
  code.Emit(Op::Return);
  code.WriteTo(memory);
  std::uint32_t primes = 0;
  std::vector<bool> struck(kSieveSize, false);
  for (std::uint32_t n = 2; n < kSieveSize; ++n) {
    if (struck[n]) continue;
    ++primes;
    for (std::uint32_t m = 2 * n; m < kSieveSize; m += n) struck[m] = true;
  }
  return {code_address, count, code.Here() - code_address, 0, 0, primes};
}

constexpr std::uint32_t kByteCount = 100000;
// The bytes that the byte loop reads: byte n of the buffer.
constexpr std::uint8_t ByteAt(std::uint32_t n) { return static_cast<std::uint8_t>(n * 7 + 3); }

// A hash over kByteCount bytes as a script reads a text: each byte taken out of its word by
// shift and mask, h := h * 31 + byte. The result is h.
inline Program BuildByteLoop(ScriptMemory& memory) {
  const std::uint32_t vars = memory.Allocate(64, true);
  const std::uint32_t h = vars, k = vars + 4, n = vars + 8, t = vars + 12, p = vars + 16, w = vars + 20, b = vars + 24;
  const std::uint32_t bytes = memory.Allocate(kByteCount, true);
  std::uint32_t hash = 0;
  for (std::uint32_t index = 0; index < kByteCount; ++index) {
    memory.SetByte(bytes + index, ByteAt(index));
    hash = hash * 31 + ByteAt(index);
  }
  const std::uint32_t code_address = memory.Allocate(512, true);
  ScriptCodeBuilder code(code_address);
  const auto loop = code.NewLabel(), word = code.NewLabel(), locate = code.NewLabel(), lane = code.NewLabel(),
             bits = code.NewLabel(), shift = code.NewLabel(), mask = code.NewLabel(), multiply = code.NewLabel(),
             add = code.NewLabel();
  const auto operand = [](auto label, std::uint32_t i) { return ScriptCodeBuilder::OperandOf(label, i); };
  code.Emit(Op::StoreImm, {0, h});
  code.Emit(Op::StoreImm, {0, k});
  code.Emit(Op::StoreImm, {kByteCount, n});
  code.Bind(loop);
  code.Emit(Op::Copy, {k, operand(word, 1)});
  code.Bind(word);
  code.Emit(Op::And, {0, ~3u, t});
  code.Emit(Op::Copy, {t, operand(locate, 1)});
  code.Bind(locate);
  code.Emit(Op::Add, {0, bytes, p});
  code.Emit(Op::LoadIndirect, {p, w});
  code.Emit(Op::Copy, {k, operand(lane, 1)});
  code.Bind(lane);
  code.Emit(Op::And, {0, 3, t});
  code.Emit(Op::Copy, {t, operand(bits, 1)});
  code.Bind(bits);
  code.Emit(Op::Shl, {0, 3, t});
  code.Emit(Op::Copy, {w, operand(shift, 1)});
  code.Emit(Op::Copy, {t, operand(shift, 2)});
  code.Bind(shift);
  code.Emit(Op::Shr, {0, 0, b});
  code.Emit(Op::Copy, {b, operand(mask, 1)});
  code.Bind(mask);
  code.Emit(Op::And, {0, 0xFF, b});
  code.Emit(Op::Copy, {h, operand(multiply, 1)});
  code.Bind(multiply);
  code.Emit(Op::Mul, {0, 31, h});
  code.Emit(Op::Copy, {h, operand(add, 1)});
  code.Emit(Op::Copy, {b, operand(add, 2)});
  code.Bind(add);
  code.Emit(Op::Add, {0, 0, h});
  code.Emit(Op::IncMem, {k});
  code.EmitCountDown(loop, n);
  code.Emit(Op::Return);
  code.WriteTo(memory);
  return {code_address, h, code.Here() - code_address, 0, 0, hash};
}

constexpr std::uint32_t kNestedLoopSide = 300;

// Two loops counting down from kNestedLoopSide, one inside the other: sum := sum + a * b. The
// result is sum.
inline Program BuildNestedLoops(ScriptMemory& memory) {
  const std::uint32_t vars = memory.Allocate(16, true);
  const std::uint32_t a = vars, b = vars + 4, sum = vars + 8, t = vars + 12;
  const std::uint32_t code_address = memory.Allocate(256, true);
  ScriptCodeBuilder code(code_address);
  const auto outer = code.NewLabel(), inner = code.NewLabel(), multiply = code.NewLabel(), add = code.NewLabel();
  const auto operand = [](auto label, std::uint32_t i) { return ScriptCodeBuilder::OperandOf(label, i); };
  code.Emit(Op::StoreImm, {0, sum});
  code.Emit(Op::StoreImm, {kNestedLoopSide, a});
  code.Bind(outer);
  code.Emit(Op::StoreImm, {kNestedLoopSide, b});
  code.Bind(inner);
  code.Emit(Op::Copy, {a, operand(multiply, 1)});
  code.Emit(Op::Copy, {b, operand(multiply, 2)});
  code.Bind(multiply);
  code.Emit(Op::Mul, {0, 0, t});
  code.Emit(Op::Copy, {sum, operand(add, 1)});
  code.Emit(Op::Copy, {t, operand(add, 2)});
  code.Bind(add);
  code.Emit(Op::Add, {0, 0, sum});
  code.EmitCountDown(inner, b);
  code.EmitCountDown(outer, a);
  code.Emit(Op::Return);
  code.WriteTo(memory);
  std::uint32_t total = 0;
  for (std::uint32_t x = 1; x <= kNestedLoopSide; ++x) {
    for (std::uint32_t y = 1; y <= kNestedLoopSide; ++y) total += x * y;
  }
  return {code_address, sum, code.Here() - code_address, 0, 0, total};
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
