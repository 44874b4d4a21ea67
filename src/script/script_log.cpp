#include "script/script_log.h"

#include <cstdio>
#include <utility>

namespace {

ScriptLogSink& CurrentSink() {
  static ScriptLogSink sink;
  return sink;
}

}  // namespace

void LogScript(std::string_view line) {
  if (const ScriptLogSink& sink = CurrentSink()) {
    sink(line);
    return;
  }
  std::fprintf(stderr, "script: %.*s\n", static_cast<int>(line.size()), line.data());
}

ScriptLogSink SetScriptLogSink(ScriptLogSink sink) { return std::exchange(CurrentSink(), std::move(sink)); }
