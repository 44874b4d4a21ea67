// The script engine's log: one line per event worth a developer's attention (a script fault names
// the fault and the instruction). Lines go to standard error unless a sink is installed.
#pragma once

#include <functional>
#include <string_view>

using ScriptLogSink = std::function<void(std::string_view line)>;

void LogScript(std::string_view line);

// Installs a sink in place of standard error (an empty sink restores it); returns the previous one.
ScriptLogSink SetScriptLogSink(ScriptLogSink sink);
