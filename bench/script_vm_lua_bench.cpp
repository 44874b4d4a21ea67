// The interpreter and the translated mode against Lua 5.4 on the same four workloads: the
// loop-heavy script (a script routine and a built-in called on every pass), an integer loop,
// recursive fib and calls of a routine of another module. Prints each time as a ratio: the
// interpreter's to Lua's, the translated mode's to the interpreter's and to Lua's.
#include <benchmark/benchmark.h>

#include <lua.hpp>

#include <memory>

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

template <typename Build>
void MeasureVm(benchmark::State& state, CScriptVm& vm, Build build, Mode mode) {
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
  for (auto _ : state) {
    vm.Context().ResetStack();
    vm.Run(program.entry);
    benchmark::DoNotOptimize(vm.Memory().Word(program.result));
  }
}

void Loop(benchmark::State& state, Mode mode) {
  CScriptVm vm;
  vm.RegisterNative(&Increment);
  MeasureVm(state, vm, BuildLoop, mode);
}
void IntegerLoop(benchmark::State& state, Mode mode) {
  CScriptVm vm;
  MeasureVm(state, vm, BuildIntegerLoop, mode);
}
void Fib(benchmark::State& state, Mode mode) {
  CScriptVm vm;
  MeasureVm(state, vm, [](ScriptMemory& memory) { return BuildFib(memory, kFibArgument); }, mode);
}
void CrossModuleCalls(benchmark::State& state, Mode mode) {
  CScriptVm vm;
  MeasureVm(state, vm, BuildCrossModuleCalls, mode);
}

void BM_VmLoop(benchmark::State& state) { Loop(state, Mode::kInterpreted); }
BENCHMARK(BM_VmLoop)->Unit(benchmark::kMillisecond);
void BM_VmIntegerLoop(benchmark::State& state) { IntegerLoop(state, Mode::kInterpreted); }
BENCHMARK(BM_VmIntegerLoop)->Unit(benchmark::kMillisecond);
void BM_VmFib(benchmark::State& state) { Fib(state, Mode::kInterpreted); }
BENCHMARK(BM_VmFib)->Unit(benchmark::kMillisecond);
void BM_VmCrossModuleCalls(benchmark::State& state) { CrossModuleCalls(state, Mode::kInterpreted); }
BENCHMARK(BM_VmCrossModuleCalls)->Unit(benchmark::kMillisecond);

void BM_TranslatedLoop(benchmark::State& state) { Loop(state, Mode::kTranslated); }
BENCHMARK(BM_TranslatedLoop)->Unit(benchmark::kMillisecond);
void BM_TranslatedIntegerLoop(benchmark::State& state) { IntegerLoop(state, Mode::kTranslated); }
BENCHMARK(BM_TranslatedIntegerLoop)->Unit(benchmark::kMillisecond);
void BM_TranslatedFib(benchmark::State& state) { Fib(state, Mode::kTranslated); }
BENCHMARK(BM_TranslatedFib)->Unit(benchmark::kMillisecond);
void BM_TranslatedCrossModuleCalls(benchmark::State& state) { CrossModuleCalls(state, Mode::kTranslated); }
BENCHMARK(BM_TranslatedCrossModuleCalls)->Unit(benchmark::kMillisecond);

void BM_UntranslatedLoop(benchmark::State& state) { Loop(state, Mode::kUntranslated); }
BENCHMARK(BM_UntranslatedLoop)->Unit(benchmark::kMillisecond);
void BM_UntranslatedIntegerLoop(benchmark::State& state) { IntegerLoop(state, Mode::kUntranslated); }
BENCHMARK(BM_UntranslatedIntegerLoop)->Unit(benchmark::kMillisecond);
void BM_UntranslatedFib(benchmark::State& state) { Fib(state, Mode::kUntranslated); }
BENCHMARK(BM_UntranslatedFib)->Unit(benchmark::kMillisecond);

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

void BM_LuaCrossModuleCalls(benchmark::State& state) { MeasureLua(state, kLuaCrossModuleCalls, kCrossModuleCalls); }
BENCHMARK(BM_LuaCrossModuleCalls)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  return RunBenchmarksWithRatios(argc, argv, "workload",
                                 {{"BM_VmLoop", "BM_LuaLoop"},
                                  {"BM_VmIntegerLoop", "BM_LuaIntegerLoop"},
                                  {"BM_VmFib", "BM_LuaFib"},
                                  {"BM_VmCrossModuleCalls", "BM_LuaCrossModuleCalls"},
                                  {"BM_TranslatedLoop", "BM_VmLoop"},
                                  {"BM_TranslatedIntegerLoop", "BM_VmIntegerLoop"},
                                  {"BM_TranslatedFib", "BM_VmFib"},
                                  {"BM_TranslatedCrossModuleCalls", "BM_VmCrossModuleCalls"},
                                  {"BM_TranslatedLoop", "BM_LuaLoop"},
                                  {"BM_TranslatedIntegerLoop", "BM_LuaIntegerLoop"},
                                  {"BM_TranslatedFib", "BM_LuaFib"},
                                  {"BM_TranslatedCrossModuleCalls", "BM_LuaCrossModuleCalls"},
                                  {"BM_UntranslatedLoop", "BM_VmLoop"},
                                  {"BM_UntranslatedIntegerLoop", "BM_VmIntegerLoop"},
                                  {"BM_UntranslatedFib", "BM_VmFib"}});
}
