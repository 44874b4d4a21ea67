// The interpreter and the translated mode against Lua 5.4 on the same workloads: the loop-heavy
// script (a script routine and a built-in called on every pass), an integer loop, recursive fib,
// calls of a routine of another module, a sieve, a loop over bytes and two nested loops. Prints
// each time as a ratio: the interpreter's to Lua's, the translated mode's to the interpreter's
// and to Lua's, and the interpreted program's with translation on to the interpreter's.
#include <benchmark/benchmark.h>

#include <lua.hpp>

#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ratio_reporter.h"
#include "script_vm_workloads.h"

namespace {

using namespace script_vm_workloads;

constexpr std::uint32_t kFibArgument = 27;

enum class Mode {
  kInterpreted,
  kTranslated,    // the program's code (and its library's) translated: it must run as translated code
  kUntranslated,  // the translated mode, with blocks below and above the program translated: the
                  // program is interpreted, and its data lies between translated code as a
                  // module's data lies between the modules of a game
};

// A block of memory whose middle page holds one translated instruction, so that no other data
// shares a page with it.
bool TranslateBlockApart(CScriptVm& vm) {
  const std::uint32_t block = vm.Memory().Allocate(0x3000, true);
  return vm.Translations().Translate(block + 0x1000, 4) == CScriptTranslator::kTranslated;
}

void MeasureVm(benchmark::State& state, CScriptVm& vm, Program (*build)(ScriptMemory& memory), Mode mode) {
  if (mode != Mode::kInterpreted) vm.EnableTranslation(true);
  const bool below = mode != Mode::kUntranslated || TranslateBlockApart(vm);
  const Program program = build(vm.Memory());
  const auto translate = [&vm](std::uint32_t code, std::uint32_t length) {
    return vm.Translations().Translate(code, length) == CScriptTranslator::kTranslated;
  };
  bool translated = true;
  if (mode == Mode::kUntranslated) translated = below && TranslateBlockApart(vm);
  if (mode == Mode::kTranslated) {
    translated = translate(program.entry, program.length) &&
                 (program.library == 0 || translate(program.library, program.library_length));
  }
  if (!translated) {
    state.SkipWithError("the program cannot be translated");
    return;
  }
  vm.Context().ResetStack();
  vm.Run(program.entry);
  if (program.expected && vm.Memory().Word(program.result) != *program.expected) {
    state.SkipWithError("the program's result is wrong");
    return;
  }
  for (auto _ : state) {
    vm.Context().ResetStack();
    vm.Run(program.entry);
    benchmark::DoNotOptimize(vm.Memory().Word(program.result));
  }
}

Program BuildFibOfArgument(ScriptMemory& memory) { return BuildFib(memory, kFibArgument); }

// The loop as a Lua program; acc and arg are upvalues, as the script's are variables in memory.
constexpr const char* kLuaLoop = R"(
local increment = ...
local acc, arg, ret = 0, 0, 0
local function routine()
  local value = acc
  arg = value ~ 0x5A5A
end
return function(count)
  acc = 0
  for counter = count, 1, -1 do
    local tmp = counter * 3
    acc = acc + tmp
    routine()
    ret = increment(arg)
  end
  return acc
end
)";

constexpr const char* kLuaIntegerLoop = R"(
return function(count)
  local sum, counter = 0, count
  while counter ~= 0 do
    local tmp = counter * 3
    sum = sum + tmp
    counter = counter - 1
  end
  return sum
end
)";

constexpr const char* kLuaFib = R"(
local function fib(n)
  if n < 2 then return n end
  return fib(n - 1) + fib(n - 2)
end
return fib
)";

// The routine lives in a table of its own, as a library's function would.
constexpr const char* kLuaCrossModuleCalls = R"(
local library = {}
local count = 0
function library.routine()
  count = count + 1
end
return function(calls)
  count = 0
  for _ = 1, calls do
    library.routine()
  end
  return count
end
)";

constexpr const char* kLuaSieve = R"(
return function(size)
  local flags = {}
  for i = 0, size - 1 do flags[i] = true end
  local count = 0
  for i = 2, size - 1 do
    if flags[i] then
      count = count + 1
      for j = i + i, size - 1, i do flags[j] = false end
    end
  end
  return count
end
)";

// The bytes as the script's buffer holds them, in a string made at the first call and read with
// string.byte.
constexpr const char* kLuaByteLoop = R"(
local byte, char = string.byte, string.char
local data
return function(count)
  if data == nil then
    local parts = {}
    for n = 0, count - 1 do parts[n + 1] = char((n * 7 + 3) % 256) end
    data = table.concat(parts)
  end
  local h = 0
  for k = 1, count do
    h = h * 31 + byte(data, k)
  end
  return h
end
)";

constexpr const char* kLuaNestedLoops = R"(
return function(side)
  local sum = 0
  for a = side, 1, -1 do
    for b = side, 1, -1 do
      sum = sum + a * b
    end
  end
  return sum
end
)";

int LuaIncrement(lua_State* lua) {
  lua_pushinteger(lua, luaL_checkinteger(lua, 1) + 1);
  return 1;
}

using LuaState = std::unique_ptr<lua_State, decltype(&lua_close)>;

// Loads the chunk and leaves the function it returns in the registry; false on any error.
bool LoadFunction(lua_State* lua, const char* chunk, int& function) {
  if (luaL_loadstring(lua, chunk) != LUA_OK) return false;
  lua_pushcfunction(lua, &LuaIncrement);
  if (lua_pcall(lua, 1, 1, 0) != LUA_OK) return false;
  function = luaL_ref(lua, LUA_REGISTRYINDEX);
  return true;
}

void MeasureLua(benchmark::State& state, const char* chunk, lua_Integer argument) {
  LuaState lua(luaL_newstate(), &lua_close);
  luaL_openlibs(lua.get());
  int function = LUA_NOREF;
  if (!LoadFunction(lua.get(), chunk, function)) {
    state.SkipWithError("the Lua program does not load");
    return;
  }
  for (auto _ : state) {
    lua_rawgeti(lua.get(), LUA_REGISTRYINDEX, function);
    lua_pushinteger(lua.get(), argument);
    if (lua_pcall(lua.get(), 1, 1, 0) != LUA_OK) {
      state.SkipWithError("the Lua program failed");
      return;
    }
    benchmark::DoNotOptimize(lua_tointeger(lua.get(), -1));
    lua_pop(lua.get(), 1);
  }
}

struct Workload {
  const char* name;
  Program (*build)(ScriptMemory& memory);
  const char* lua;
  lua_Integer lua_argument;
};

const Workload kWorkloads[] = {
    {"Loop", BuildLoop, kLuaLoop, kLoopCount},
    {"IntegerLoop", BuildIntegerLoop, kLuaIntegerLoop, kLoopCount},
    {"Fib", BuildFibOfArgument, kLuaFib, kFibArgument},
    {"CrossModuleCalls", BuildCrossModuleCalls, kLuaCrossModuleCalls, kCrossModuleCalls},
    {"Sieve", BuildSieve, kLuaSieve, kSieveSize},
    {"ByteLoop", BuildByteLoop, kLuaByteLoop, kByteCount},
    {"NestedLoops", BuildNestedLoops, kLuaNestedLoops, kNestedLoopSide},
};

// Every workload in the three modes of the machine and in Lua, as BM_<mode><workload>; the
// pairs to print as ratios: the interpreter to Lua, the translated mode to the interpreter and to
// Lua, the interpreted program with translation on to the interpreter.
std::vector<std::pair<const char*, const char*>> RegisterWorkloads() {
  static std::deque<std::string> names;
  const auto name = [](const char* mode, const Workload& workload) {
    return names.emplace_back(std::string("BM_") + mode + workload.name).c_str();
  };
  std::vector<std::pair<const char*, const char*>> pairs;
  for (const Workload& workload : kWorkloads) {
    const char* lua = name("Lua", workload);
    benchmark::RegisterBenchmark(lua, [workload](benchmark::State& state) {
      MeasureLua(state, workload.lua, workload.lua_argument);
    })->Unit(benchmark::kMillisecond);
    const char* vm[3] = {};
    const std::pair<const char*, Mode> modes[] = {
        {"Vm", Mode::kInterpreted}, {"Translated", Mode::kTranslated}, {"Untranslated", Mode::kUntranslated}};
    for (std::size_t m = 0; m < std::size(modes); ++m) {
      vm[m] = name(modes[m].first, workload);
      benchmark::RegisterBenchmark(vm[m], [workload, mode = modes[m].second](benchmark::State& state) {
        CScriptVm machine;
        machine.RegisterNative(&Increment);
        MeasureVm(state, machine, workload.build, mode);
      })->Unit(benchmark::kMillisecond);
    }
    pairs.insert(pairs.end(), {{vm[0], lua}, {vm[1], vm[0]}, {vm[1], lua}, {vm[2], vm[0]}});
  }
  return pairs;
}

}  // namespace

int main(int argc, char** argv) {
  const auto pairs = RegisterWorkloads();
  return RunBenchmarksWithRatios(argc, argv, "workload", pairs);
}
