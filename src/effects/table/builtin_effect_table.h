// The built-in effects and filters, registered by name with the draw-object and the
// transition-object host in the order of their table: the game's set-up registers the rows
// marked kAtSetUp (the filters first, then the effects), and RegisterBuiltinEffects, at the end
// of the game script host's construction, the others (the effects first, then the filters).
// Every creator is handed 0.
#pragma once

#include <cstdint>
#include <span>

#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/tcp_plugin_manager.h"

enum class BuiltinRegistrar : std::uint8_t { kAtSetUp, kByScriptHost };

struct BuiltinEffectRow {
  const char* name;
  CDcpPluginManager::Creator creator;
  // 0 a background slot, 1 sprites, 2 the staff roll, 3 the whole screen.
  std::uint8_t type;
  // The pair through which the novel frame talks to the class outside any instance.
  ObjectAssistFunc assist;
  ObjectAssistFunc assist2;
  BuiltinRegistrar by;
};

struct BuiltinFilterRow {
  const char* name;
  CTcpPluginManager::Creator creator;
  // 0 and 1 two-picture transitions, 2 a filter of one picture.
  std::uint8_t type;
  ObjectStartUpFunc start_up;
  ObjectFinishFunc clean_up;
  BuiltinRegistrar by;
};

std::span<const BuiltinEffectRow> BuiltinEffectRows();
std::span<const BuiltinFilterRow> BuiltinFilterRows();

// The set-up's rows.
void RegisterSetUpEffects(CDcpPluginManager& effects, CTcpPluginManager& filters);
// The script host's rows, then the services: the script random generator and the sound
// channels; and the frame image's third user word becomes -1 when there is a frame image.
void RegisterBuiltinEffects(CDcpPluginManager& effects, CTcpPluginManager& filters);
