// The scripts' arithmetic built-ins: the fixed-point sine and cosine of the trigonometric table
// (512 steps per turn, 16.16 results), the two random generators, float arithmetic on 32-bit
// float bits and the index of the largest or smallest of a list of values.
#pragma once

#include <cstdint>

#include "script/native_args.h"

// 81, 82: args[0] angle: the sine or cosine; 0 without the table.
std::uint32_t NativeSin(const NativeArgs& args);
std::uint32_t NativeCos(const NativeArgs& args);
// 83: args[0] angle, args[1] radius, args[2] and args[3] the centre, args[4] and args[5] the
// addresses for x and y (0: not written): x = cx + (cos·r >> 16), y = cy − (sin·r >> 16); 0.
std::uint32_t NativePointOnCircle(const NativeArgs& args);
// 84: args[0] n: a number in 0 to n − 1 of the scripts' subtractive generator; 0 for n 0.
std::uint32_t NativeRandom(const NativeArgs& args);
// 85: args[0] seed: re-seeds that generator; 0.
std::uint32_t NativeRandomSeed(const NativeArgs& args);
// 86: args[0] n: the scripts' Mersenne Twister's next number mod n; 0 for n 0.
std::uint32_t NativeRandomMt(const NativeArgs& args);
// 87: args[0] seed: seeds the Mersenne Twister; 1.
std::uint32_t NativeRandomMtSeed(const NativeArgs& args);
// 88 to 91: args[0] a, args[1] b as float bits: a + b, a − b, a · b, a / b (in double).
std::uint32_t NativeFloatAdd(const NativeArgs& args);
std::uint32_t NativeFloatSub(const NativeArgs& args);
std::uint32_t NativeFloatMul(const NativeArgs& args);
std::uint32_t NativeFloatDiv(const NativeArgs& args);
// 92, 93: args[0] count n, args[1] to args[n] signed values: the 0-based index of the first
// largest or smallest; 0 when n < 2.
std::uint32_t NativeIndexOfMax(const NativeArgs& args);
std::uint32_t NativeIndexOfMin(const NativeArgs& args);
