// The restore step after a load: the page is rebuilt from the records the load copied back
// (sprites first, so that a frozen background captures them), then the looping sounds, the
// screen quake, the shown choices and the displayed message, the music and the fade-in. A
// restore that restarts nothing moving and finds a black screen shows at once.
#include <bit>

#include "base/settings/game_settings.h"
#include "gfx/image_operations/image_part.h"
#include "novel/frame/vov_frame.h"
#include "platform/system/diagnostic_log.h"
#include "scene/drawables/draw_layer.h"
#include "sound/bgm_track.h"

namespace {

constexpr std::uint32_t kMessageWaitByte = 2;
constexpr std::uint32_t kBlack = 0x00FFFFFF;  // the colour bits a black background leaves clear
constexpr std::uint32_t kMusicFadeIn = 1000;
constexpr std::uint32_t kScreenFadeIn = 500;

bool QuakeRecorded(const std::array<std::int32_t, kFrameStateWords>& words) {
  for (std::size_t word = kStateQuakeFirst; word <= kStateQuakeLast; ++word) {
    if (words[word] != 0) return true;
  }
  return false;
}

}  // namespace

std::int32_t CVovFrame::RestoreState() {
  // A filter still running belongs to the page the load replaced; the quake the load brought
  // back stays recorded for its restart below.
  DetachScreenFilter();
  // A tint was applied when the sprite was first shown; its filter came back with the record.
  const bool tint = page_.SpriteTint();
  page_.SetSpriteTint(false);
  bool fade_in = CurrentGameSettings()[kSettingNoFadeAfterLoad] == 0;
  page_.DropPictures();
  const bool any_front_sprite = RestoreSprites(fade_in);
  page_.SetSpriteTint(tint);
  RestoreBackgrounds(any_front_sprite, fade_in);
  RestoreLoopingSounds();
  if (QuakeRecorded(state_words_)) {
    const auto word = [this](std::size_t n) {
      return static_cast<std::uintptr_t>(static_cast<std::uint32_t>(state_words_[kStateQuakeFirst + n]));
    };
    const std::array<std::uintptr_t, 6> quake = {word(1), word(2), word(3), 0, 0, word(4)};
    ScreenQuake(quake, word(5) != 0, false);
    fade_in = false;
  }
  RestoreDeferred();
  RestoreMusic(fade_in);
  if (fade_in && FadeInAfterLoad() == kWaitAppEnding) return kRunStopped;
  return ApplicationEnding() ? kRunStopped : 0;
}

bool CVovFrame::RestoreSprites(bool& fade_in) {
  bool any_front_sprite = false;
  for (const std::int32_t group : {1, 0, 2}) {
    for (const bool back : {false, true}) {
      for (std::uint32_t index = 0; index < CVovPage::GroupSlots(group); ++index) {
        const CVovPage::Restored restored = page_.RestoreSprite(index, back, group);
        if (restored.shown && !back) any_front_sprite = true;
        if (restored.persistent_effect) {
          RestartSpriteEffect(index, back, group);
          fade_in = false;
        }
      }
    }
  }
  return any_front_sprite;
}

void CVovFrame::RestoreBackgrounds(bool any_front_sprite, bool& fade_in) {
  for (std::uint32_t slot = 0; slot < CVovPage::kPages; ++slot) {
    const BgSlotRecord& record = page_.Bg(slot);
    const bool plain_colour = record.name.empty() && record.anime_name.empty();
    const CVovPage::Restored restored = page_.RestoreBg(slot);
    if (slot == 0 && plain_colour && (record.color & kBlack) == 0 && !any_front_sprite) fade_in = false;
    if (restored.persistent_effect) {
      RestartBgEffect(slot);
      fade_in = false;
    }
  }
}

void CVovFrame::RestoreLoopingSounds() {
  for (std::size_t index = 0; index < kLoopingChannels; ++index) {
    const VovLoopingSound& loop = looping_[index];
    if (loop.looping) PlaySound(loop.name.c_str(), static_cast<std::int32_t>(index), loop.mode, true);
  }
}

void CVovFrame::RestoreDeferred() {
  if (!deferred_) return;
  const VovDeferredBlock block = std::move(*deferred_);
  deferred_.reset();
  const bool choices = !block.choices.empty();
  if (choices) {
    choice_list_.ReleaseItems();
    ReadTextRecord* record = CurrentReadTextRecord();
    choice_list_.SetChoiceRecord(record != nullptr ? &record->choices : nullptr,
                                 static_cast<std::int32_t>(block.list_value), ConfiguredWordWriter(0));
    for (const VovChoiceItem& item : block.choices) {
      CListPart::ItemSetup setup;
      setup.text = item.text.c_str();
      setup.disabled = item.flag != 0;
      setup.value = static_cast<std::int32_t>(item.value);
      choice_list_.AddMenuItem(setup);
    }
    choice_count_ = block.choices.size();
    text_log_.ReopenLastChoice();
    choice_list_.SetActive(true);
  }
  if (!block.message.empty()) ShowSavedMessage(block, choices);
  TurnMessageWindowAsSaved();
}

void CVovFrame::ShowSavedMessage(const VovDeferredBlock& block, bool choices) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(block.message.data());
  const bool waiting = (static_cast<std::uint32_t>(state_words_[kStateMessageFlags]) >> (kMessageWaitByte * 8) & 0xFF) != 0;
  if (waiting && current_window_ == &message_window_ && !block.voice.empty()) replay_voice_ = block.voice;
  ShowMessageAtOnce({bytes, block.message.size()}, block.speaker, block.voice);
  window_waiting_ = waiting;
  if (!choices) message_window_.ShowClickIcon(true);
  ShowTextWindow(message_window_, true);
}

// Saves may carry a turned and zoomed message window; a zoom no picture can take leaves it plain.
void CVovFrame::TurnMessageWindowAsSaved() {
  if (window_block_[kWindowZoom] == 0) return;
  CSprite& sprite = message_window_.sprite();
  sprite.SetAnchor(CSprite::kAnchorAtPoint, window_block_[kWindowAnchorX], window_block_[kWindowAnchorY]);
  const float zoom = std::bit_cast<float>(window_block_[kWindowZoom]);
  sprite.RenderTransformed(window_block_[kWindowAngle], zoom);
}

void CVovFrame::RestoreMusic(bool fade_in) {
  if (state_words_[kStateNoMusic] == 1) return;
  PlayBgmTrack(state_words_[kStateBgm], fade_in ? kMusicFadeIn : 0, true);
}

// The back part's picture is made black and a plain cross goes from it to the front page, so
// the front page keeps its records and layer throughout; the back page draws its own picture
// again afterwards.
std::int32_t CVovFrame::FadeInAfterLoad() {
  CImagePart* front = page_.Part(0);
  CImagePart* back = page_.Part(1);
  CDrawLayer* front_layer = page_.Layer(0);
  if (front == nullptr || back == nullptr || front_layer == nullptr) return 0;
  // The page the fade ends on, without the attached list, which the cross paints over it.
  front_layer->RenderTo(front->GetImage(), CDrawLayer::kFilterAll, 0, false);
  back->GetImage()->FillRect(0, 0, 0, nullptr);
  const std::int32_t crossed = CrossScreen(kScreenFadeIn, CImagePart::kModePlain, kInterruptSkip);
  if (CDrawLayer* back_layer = page_.Layer(1)) back_layer->InvalidateAll();
  if (crossed == kCrossNoFilter || crossed == kCrossRefused) {
    plat::LogDiagnostic("the fade-in after a load cannot start (" + std::to_string(crossed) + "); the page shows at once");
    return 0;
  }
  return crossed;
}
