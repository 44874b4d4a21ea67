// The interpreter and the translated mode against Lua 5.4 on the same three workloads: the
// loop-heavy script (a script routine and a built-in called on every pass), an integer loop and
// recursive fib. Prints each time as a ratio: the interpreter's to Lua's, the translated mode's to
// the interpreter's and to Lua's.
#include <benchmark/benchmark.h>

#include <lua.hpp>

#include <memory>

#include "ratio_reporter.h"
#include "script_vm_workloads.h"

namespace {

using namespace script_vm_workloads;

constexpr std::uint32_t kFibArgument = 27;

// In the translated mode the program's code is translated first; it must run as translated code.
void MeasureVm(benchmark::State& state, CScriptVm& vm, const Program& program, bool translated) {
  if (translated) {
    vm.EnableTranslation(true);
    if (vm.Translations().Translate(program.entry, program.length) != CScriptTranslator::kTranslated) {
      state.SkipWithError("the program cannot be translated");
      return;
    }
  }
  for (auto _ : state) {
    vm.Context().ResetStack();
    vm.Run(program.entry);
    benchmark::DoNotOptimize(vm.Memory().Word(program.result));
  }
}

void Loop(benchmark::State& state, bool translated) {
  CScriptVm vm;
  vm.RegisterNative(&Increment);
  MeasureVm(state, vm, BuildLoop(vm.Memory()), translated);
}
void IntegerLoop(benchmark::State& state, bool translated) {
  CScriptVm vm;
  MeasureVm(state, vm, BuildIntegerLoop(vm.Memory()), translated);
}
void Fib(benchmark::State& state, bool translated) {
  CScriptVm vm;
  MeasureVm(state, vm, BuildFib(vm.Memory(), kFibArgument), translated);
}

void BM_VmLoop(benchmark::State& state) { Loop(state, false); }
BENCHMARK(BM_VmLoop)->Unit(benchmark::kMillisecond);
void BM_VmIntegerLoop(benchmark::State& state) { IntegerLoop(state, false); }
BENCHMARK(BM_VmIntegerLoop)->Unit(benchmark::kMillisecond);
void BM_VmFib(benchmark::State& state) { Fib(state, false); }
BENCHMARK(BM_VmFib)->Unit(benchmark::kMillisecond);

void BM_TranslatedLoop(benchmark::State& state) { Loop(state, true); }
BENCHMARK(BM_TranslatedLoop)->Unit(benchmark::kMillisecond);
void BM_TranslatedIntegerLoop(benchmark::State& state) { IntegerLoop(state, true); }
BENCHMARK(BM_TranslatedIntegerLoop)->Unit(benchmark::kMillisecond);
void BM_TranslatedFib(benchmark::State& state) { Fib(state, true); }
BENCHMARK(BM_TranslatedFib)->Unit(benchmark::kMillisecond);

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

void BM_LuaLoop(benchmark::State& state) { MeasureLua(state, kLuaLoop, kLoopCount); }
BENCHMARK(BM_LuaLoop)->Unit(benchmark::kMillisecond);

void BM_LuaIntegerLoop(benchmark::State& state) { MeasureLua(state, kLuaIntegerLoop, kLoopCount); }
BENCHMARK(BM_LuaIntegerLoop)->Unit(benchmark::kMillisecond);

void BM_LuaFib(benchmark::State& state) { MeasureLua(state, kLuaFib, kFibArgument); }
BENCHMARK(BM_LuaFib)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "workload",
                                 {{"BM_VmLoop", "BM_LuaLoop"},
                                  {"BM_VmIntegerLoop", "BM_LuaIntegerLoop"},
                                  {"BM_VmFib", "BM_LuaFib"},
                                  {"BM_TranslatedLoop", "BM_VmLoop"},
                                  {"BM_TranslatedIntegerLoop", "BM_VmIntegerLoop"},
                                  {"BM_TranslatedFib", "BM_VmFib"},
                                  {"BM_TranslatedLoop", "BM_LuaLoop"},
                                  {"BM_TranslatedIntegerLoop", "BM_LuaIntegerLoop"},
                                  {"BM_TranslatedFib", "BM_LuaFib"}});
}
