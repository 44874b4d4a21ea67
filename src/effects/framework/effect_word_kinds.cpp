#include "effects/framework/effect_word_kinds.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

using Words = std::span<const std::uint32_t>;
using Layout = EffectWordKinds (*)(Words);

constexpr EffectWord N = EffectWord::kNumber;
constexpr EffectWord T = EffectWord::kText;
constexpr EffectWord S = EffectWord::kSprite;
constexpr EffectWord D = EffectWord::kSurface;
constexpr EffectWord I = EffectWord::kImage;
constexpr EffectWord A = EffectWord::kAnimData;
constexpr EffectWord O = EffectWord::kOut;

template <const auto& kKinds>
EffectWordKinds Fixed(Words) {
  return kKinds;
}

constexpr std::array<EffectWord, 0> kNumbers{};
constexpr std::array kTextFirst{T};
constexpr std::array kDecimalFifth{N, N, N, N, T};

constexpr std::array kZoomSetup{N, N, T, T};
constexpr std::array kFourOuts{O, O, O, O};
constexpr std::array kZoomAssist{D, N, N, T, O, O, O, O};
constexpr std::array kRotSetup{N, N, N, T, T};
// A path text, or 0 and the centre, the zooms and the turns as decimal texts; then the duration,
// the level, the acceleration and the source's name.
constexpr std::array kBlurAlongPath{T, N, N, N, T, T};
constexpr std::array kBlurStartToEnd{T, N, N, T, T, T, T, N, N, T, T};
constexpr std::array kBlurAssist{D, N, N, N, N, O, O, O, O};
constexpr std::array kTwoOuts{O, O};
constexpr std::array kPathViewAssist{D, T, O, O};
constexpr std::array kSpritePath{S, T};
// The end key frame: x, y, alpha, direction, zoom, angle, centre x and y, and the transform flag.
constexpr std::array kSpriteEnd{O, O, O, O, O, O, O, O, O};
constexpr std::array kSpritePathAssist{N, S, T, O, O, O, O, O, O, O, O};
constexpr std::array kPriorityAssist{N, N, N};
constexpr std::array kAnimSetup{A, T};
constexpr std::array kChangeSetup{S, S, T};
constexpr std::array kFadeEntry{N, N, S};
constexpr std::array kGfadeSetup{S, N, N, N, T};
constexpr std::array kRuleWords{N, I};
constexpr std::array kScrollWords{N, N, N, T};
constexpr std::array kRippleWords{N, N, N, N, T, T};

EffectWordKinds BlurSetup(Words words) {
  return !words.empty() && words[0] != 0 ? EffectWordKinds(kBlurAlongPath) : EffectWordKinds(kBlurStartToEnd);
}

// Mode 0 sets the sprites' two priorities; any other mode places a sprite at its path's end.
EffectWordKinds SpritePathAssist(Words words) {
  return !words.empty() && words[0] == 0 ? EffectWordKinds(kPriorityAssist) : EffectWordKinds(kSpritePathAssist);
}

constexpr Layout kNone = &Fixed<kNumbers>;

struct EffectRow {
  std::string_view name;
  Layout setup;
  Layout set_param;
  Layout get_param;
  Layout assist;
};

constexpr std::array<EffectRow, 21> kEffects{{
    {"bg_zoom", &Fixed<kZoomSetup>, kNone, &Fixed<kFourOuts>, &Fixed<kZoomAssist>},
    {"bg_rot", &Fixed<kRotSetup>, kNone, kNone, kNone},
    {"bg_blur", &BlurSetup, kNone, kNone, &Fixed<kBlurAssist>},
    {"bg_rast", kNone, kNone, kNone, kNone},
    {"bg_haze", &Fixed<kTextFirst>, kNone, kNone, kNone},
    {"bg_loop", kNone, kNone, kNone, kNone},
    {"bg_cross", kNone, kNone, kNone, kNone},
    {"bg_panime", &Fixed<kTextFirst>, kNone, &Fixed<kTwoOuts>, &Fixed<kPathViewAssist>},
    {"sp_panime", &Fixed<kSpritePath>, kNone, &Fixed<kSpriteEnd>, &SpritePathAssist},
    {"bg_anime", &Fixed<kAnimSetup>, kNone, kNone, kNone},
    {"quake", &Fixed<kDecimalFifth>, kNone, kNone, kNone},
    {"noise", kNone, kNone, kNone, kNone},
    {"sp_tanime", &Fixed<kTextFirst>, kNone, kNone, kNone},
    {"sp_change", &Fixed<kChangeSetup>, kNone, &Fixed<kSpriteEnd>, kNone},
    {"sp_fade", kNone, &Fixed<kFadeEntry>, kNone, kNone},
    {"sp_gfade", &Fixed<kGfadeSetup>, kNone, kNone, kNone},
    {"staff", &Fixed<kTextFirst>, kNone, kNone, kNone},
    {"paper", &Fixed<kDecimalFifth>, kNone, kNone, kNone},
    {"light", &Fixed<kDecimalFifth>, kNone, kNone, kNone},
    {"snow", &Fixed<kDecimalFifth>, kNone, kNone, kNone},
    {"rain", &Fixed<kDecimalFifth>, kNone, kNone, kNone},
}};

struct FilterRow {
  std::string_view name;
  Layout words;
};

constexpr std::array<FilterRow, 14> kFilters{{
    {"cross", kNone},
    {"rule", &Fixed<kRuleWords>},
    {"scroll", &Fixed<kScrollWords>},
    {"wave", kNone},
    {"mosaic", kNone},
    {"rotaxis", kNone},
    {"trans", kNone},
    {"tone", kNone},
    {"quake", &Fixed<kDecimalFifth>},
    {"zoomflip", kNone},
    {"rotcenter", kNone},
    {"addsub", kNone},
    {"hblur", kNone},
    {"ripple", &Fixed<kRippleWords>},
}};

template <class Row>
const Row* Named(const std::span<const Row> rows, const char* name) {
  if (name == nullptr) return nullptr;
  const auto found = std::find_if(rows.begin(), rows.end(), [name](const Row& row) { return row.name == name; });
  return found != rows.end() ? &*found : nullptr;
}

Layout EffectLayout(const EffectRow& row, EffectEntry entry) {
  switch (entry) {
    case EffectEntry::kSetup:
      return row.setup;
    case EffectEntry::kSetParam:
      return row.set_param;
    case EffectEntry::kGetParam:
      return row.get_param;
    default:
      return row.assist;
  }
}

}  // namespace

std::optional<EffectWordKinds> EffectWordKindsOf(const char* name, EffectEntry entry, Words words) {
  if (entry == EffectEntry::kFilter) {
    const FilterRow* row = Named<FilterRow>(kFilters, name);
    if (row == nullptr) return std::nullopt;
    return row->words(words);
  }
  const EffectRow* row = Named<EffectRow>(kEffects, name);
  if (row == nullptr) return std::nullopt;
  return EffectLayout(*row, entry)(words);
}
