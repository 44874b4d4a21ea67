#include "effects/table/builtin_effect_table.h"

#include <array>
#include <new>

#include "effects/background/bg_anime_effect.h"
#include "effects/background/bg_blur_effect.h"
#include "effects/background/bg_cross_effect.h"
#include "effects/background/bg_haze_effect.h"
#include "effects/background/bg_loop_effect.h"
#include "effects/background/bg_panime_effect.h"
#include "effects/background/bg_rast_effect.h"
#include "effects/background/bg_rot_effect.h"
#include "effects/background/bg_zoom_effect.h"
#include "effects/filters/addsub_filter.h"
#include "effects/filters/cross_transition.h"
#include "effects/filters/hblur_filter.h"
#include "effects/filters/mosaic_filter.h"
#include "effects/filters/ripple_rows.h"
#include "effects/filters/ripple_transition.h"
#include "effects/filters/rotaxis_filter.h"
#include "effects/filters/rotcenter_filter.h"
#include "effects/filters/rule_transition.h"
#include "effects/filters/scroll_filter.h"
#include "effects/filters/tone_filter.h"
#include "effects/filters/wave_filter.h"
#include "effects/filters/zoomflip_filter.h"
#include "effects/framework/builtin_effect_services.h"
#include "effects/patterns/pattern_transition.h"
#include "effects/screen/noise_effect.h"
#include "effects/screen/particle_effects.h"
#include "effects/screen/quake_effect.h"
#include "effects/screen/quake_filter.h"
#include "effects/sprite/sp_change_effect.h"
#include "effects/sprite/sp_fade_effect.h"
#include "effects/sprite/sp_gfade_effect.h"
#include "effects/sprite/sp_panime_effect.h"
#include "effects/sprite/sp_tanime_effect.h"
#include "effects/staff_roll/staff_roll_effect.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "sound/sound_channel_manager.h"

namespace {

template <class Filter>
CTcpObject* MakeFilter(std::uint32_t /*number*/) {
  return new (std::nothrow) Filter;
}

template <class Effect>
CDcpObject* MakeEffect(std::uint32_t /*number*/) {
  return new (std::nothrow) Effect;
}

constexpr BuiltinRegistrar S = BuiltinRegistrar::kAtSetUp;
constexpr BuiltinRegistrar R = BuiltinRegistrar::kByScriptHost;

constexpr std::array<BuiltinEffectRow, 21> kEffectRows{{
    // The assist entries take an argument list, so one function serves as both of a pair.
    {CBgZoomEffect::kName, &MakeEffect<CBgZoomEffect>, CBgEffect::kType, &CBgZoomEffect::Assist,
     &CBgZoomEffect::Assist, S},
    {CBgRotEffect::kName, &MakeEffect<CBgRotEffect>, CBgEffect::kType, nullptr, nullptr, S},
    {CBgBlurEffect::kName, &MakeEffect<CBgBlurEffect>, CBgEffect::kType, &CBgBlurEffect::Assist,
     &CBgBlurEffect::Assist, S},
    {CBgRastEffect::kName, &MakeEffect<CBgRastEffect>, CBgEffect::kType, nullptr, nullptr, S},
    {CBgHazeEffect::kName, &MakeEffect<CBgHazeEffect>, CBgEffect::kType, nullptr, nullptr, S},
    {CBgLoopEffect::kName, &MakeEffect<CBgLoopEffect>, CBgEffect::kType, nullptr, nullptr, S},
    {CBgCrossEffect::kName, &MakeEffect<CBgCrossEffect>, CBgEffect::kType, nullptr, nullptr, S},
    {CBgPanimeEffect::kName, &MakeEffect<CBgPanimeEffect>, CBgPanimeEffect::kType, &CBgPanimeEffect::Assist,
     &CBgPanimeEffect::Assist, S},
    {CSpPanimeEffect::kName, &MakeEffect<CSpPanimeEffect>, CSpPanimeEffect::kType, &CSpPanimeEffect::Assist,
     &CSpPanimeEffect::Assist, S},
    {CBgAnimeEffect::kName, &MakeEffect<CBgAnimeEffect>, CBgAnimeEffect::kType, &CBgAnimeEffect::Assist,
     &CBgAnimeEffect::Assist, S},
    {CQuakeEffect::kName, &MakeEffect<CQuakeEffect>, CQuakeEffect::kType, nullptr, nullptr, R},
    {CNoiseEffect::kName, &MakeEffect<CNoiseEffect>, CNoiseEffect::kType, nullptr, nullptr, R},
    {CSpTanimeEffect::kName, &MakeEffect<CSpTanimeEffect>, CSpTanimeEffect::kType, nullptr, nullptr, R},
    {CSpChangeEffect::kName, &MakeEffect<CSpChangeEffect>, CSpChangeEffect::kType, nullptr, nullptr, R},
    {CSpFadeEffect::kName, &MakeEffect<CSpFadeEffect>, CSpFadeEffect::kType, nullptr, nullptr, R},
    {CSpGfadeEffect::kName, &MakeEffect<CSpGfadeEffect>, CSpGfadeEffect::kType, nullptr, nullptr, R},
    {CStaffRollEffect::kName, &MakeEffect<CStaffRollEffect>, CStaffRollEffect::kType, nullptr, nullptr, R},
    {CPaperEffect::kName, &MakeEffect<CPaperEffect>, CParticleEffect::kType, nullptr, nullptr, R},
    {CLightEffect::kName, &MakeEffect<CLightEffect>, CParticleEffect::kType, nullptr, nullptr, R},
    {CSnowEffect::kName, &MakeEffect<CSnowEffect>, CParticleEffect::kType, nullptr, nullptr, R},
    {CRainEffect::kName, &MakeEffect<CRainEffect>, CParticleEffect::kType, nullptr, nullptr, R},
}};

constexpr std::array<BuiltinFilterRow, 14> kFilterRows{{
    {CCrossTransition::kName, &MakeFilter<CCrossTransition>, CCrossTransition::kType, nullptr, nullptr, S},
    {CRuleTransition::kName, &MakeFilter<CRuleTransition>, CRuleTransition::kType, nullptr, nullptr, S},
    {CScrollFilter::kName, &MakeFilter<CScrollFilter>, CScrollFilter::kType, nullptr, nullptr, S},
    {CWaveFilter::kName, &MakeFilter<CWaveFilter>, CWaveFilter::kType, nullptr, nullptr, S},
    {CMosaicFilter::kName, &MakeFilter<CMosaicFilter>, CMosaicFilter::kType, nullptr, nullptr, S},
    {CRotAxisFilter::kName, &MakeFilter<CRotAxisFilter>, CRotAxisFilter::kType, nullptr, nullptr, S},
    {CPatternTransition::kName, &MakeFilter<CPatternTransition>, CPatternTransition::kType, nullptr, nullptr,
     S},
    {CToneFilter::kName, &MakeFilter<CToneFilter>, CToneFilter::kType, nullptr, nullptr, S},
    {CQuakeFilter::kName, &MakeFilter<CQuakeFilter>, CQuakeFilter::kType, nullptr, nullptr, R},
    {CZoomFlipFilter::kName, &MakeFilter<CZoomFlipFilter>, CZoomFlipFilter::kType, nullptr, nullptr, R},
    {CRotCenterFilter::kName, &MakeFilter<CRotCenterFilter>, CRotCenterFilter::kType, nullptr, nullptr, R},
    {CAddSubFilter::kName, &MakeFilter<CAddSubFilter>, CAddSubFilter::kType, nullptr, nullptr, R},
    {CHBlurFilter::kName, &MakeFilter<CHBlurFilter>, CHBlurFilter::kType, nullptr, nullptr, R},
    {CRippleTransition::kName, &MakeFilter<CRippleTransition>, CRippleTransition::kType, &StartUpRipple,
     &CleanUpRipple, R},
}};

void RegisterEffects(CDcpPluginManager& effects, BuiltinRegistrar by) {
  for (const BuiltinEffectRow& row : kEffectRows) {
    if (row.by == by) effects.RegisterObject(row.creator, row.name, row.type, row.assist, row.assist2, 0);
  }
}

void RegisterFilters(CTcpPluginManager& filters, BuiltinRegistrar by) {
  for (const BuiltinFilterRow& row : kFilterRows) {
    if (row.by == by) filters.RegisterObject(row.creator, row.name, row.type, 0, 0, row.start_up, row.clean_up);
  }
}

}  // namespace

std::span<const BuiltinEffectRow> BuiltinEffectRows() { return kEffectRows; }
std::span<const BuiltinFilterRow> BuiltinFilterRows() { return kFilterRows; }

void RegisterSetUpEffects(CDcpPluginManager& effects, CTcpPluginManager& filters) {
  RegisterFilters(filters, S);
  RegisterEffects(effects, S);
}

void RegisterBuiltinEffects(CDcpPluginManager& effects, CTcpPluginManager& filters) {
  RegisterEffects(effects, R);
  RegisterFilters(filters, R);
  g_BuiltinEffectServices.random_index = &g_ScriptRandomIndex;
  g_BuiltinEffectServices.random_state = &g_ScriptRandomState;
  g_BuiltinEffectServices.staff_roll_channels = g_SoundChannels;
  if (g_ScreenManager != nullptr) {
    if (CImageCanvasBase* frame = g_ScreenManager->GetFrameImage(); frame != nullptr) frame->SetUserWord2(0xFFFFFFFFu);
  }
}
