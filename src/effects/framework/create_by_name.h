// Effects and layer filters made by name, as the novel frame and the built-in functions make
// them: the draw-object host makes an effect, which is set up on the pausable timer manager; the
// transition-object host makes a filter, which is attached to an image part.
#pragma once

#include <cstdint>

#include "base/lifetime/ref_counted.h"
#include "gfx/image_operations/screen_transition.h"
#include "resource/plugins/plugin_args.h"

class CEffect;
class CImagePart;

// Results of CreateEffectByName.
inline constexpr std::uint32_t kEffectCreated = 0;
inline constexpr std::uint32_t kEffectUnknown = 1;
inline constexpr std::uint32_t kEffectSetupFailed = 2;

// Makes the effect `name` and sets it up on g_PausableTimerManager with `target` and `args`.
// While priority control is off the effect never lowers the priority. On success the effect
// runs, `owner_slot` (optional) holds it and reads null once the effect is gone: 0. An effect
// that is finished at once (its end state applied) is released; the slot then reads null: 0.
// 1 when no effect bears the name; 2 when the set-up fails (the effect is released).
std::uint32_t CreateEffectByName(CEffect** owner_slot, const char* name, void* target, const PluginArgs& args);
// The same without an owner slot: the effect that runs on g_PausableTimerManager, or null when
// none runs (no effect bears the name, its set-up failed, or it finished at once; it is then
// released).
CEffect* StartEffectByName(const char* name, void* target, const PluginArgs& args);

// The filter `name` made for `part` with `args` (the caller holds the one reference); null
// without a part or host, when no filter bears the name or when it refuses the part or the
// arguments.
RefPtr<CScreenTransition> MakeLayerFilterByName(CImagePart* part, const char* name, const PluginArgs& args);

// Results of CreateLayerFilterByName.
inline constexpr std::uint32_t kFilterAttached = 0;
inline constexpr std::uint32_t kFilterNoPart = 1;
inline constexpr std::uint32_t kFilterNotMade = 2;
inline constexpr std::uint32_t kFilterRefused = 3;

// Makes the filter `name` for `part` with `args` and attaches it with the two attach arguments
// (the part's attach mode and redraw byte), lowering the priority while it is attached unless
// priority control is off: 0; 1 without a part; 2 when no filter bears the name or it refuses
// the part or the arguments; 3 when the part refuses it (it is released).
std::uint32_t CreateLayerFilterByName(CImagePart* part, const char* name, std::uint8_t attach_mode,
                                      std::uint8_t attach_byte, const PluginArgs& args);
