// The whole-screen crosses of the novel frame: a "cross" on a part waited for here, and the flash
// and the cross to a background that the scenario asks for with them.
#include "base/lifetime/ref_counted.h"
#include "base/settings/game_switches.h"
#include "base/system/app_services.h"
#include "base/time/frame_pacer.h"
#include "effects/framework/effect.h"
#include "gfx/image_operations/image_part.h"
#include "novel/frame/vov_frame.h"
#include "resource/plugins/tcp_plugin_manager.h"

namespace {

constexpr std::uint32_t kFlashSteps = 6;
constexpr std::uint32_t kFlashDefault = 600;
constexpr std::uint32_t kCrossToBgSteps = 8;
constexpr std::uint32_t kCrossToBgDefault = 800;
constexpr std::uint32_t kReaderSkip = CVovFrame::kInterruptClick | CVovFrame::kInterruptSkip;
constexpr std::int32_t kBgMissing = 2;

// The time of one step of a screen cross: the duration (below `steps`: the default) divided.
std::uint32_t StepTime(std::uint32_t duration, std::uint32_t steps, std::uint32_t fallback) {
  return (duration < steps ? fallback : duration) / steps;
}

// Every frame of a cross is drawn: the frame skipping that the application's switch turns on
// is held off for the while, and turned on again however the wait ends.
class FrameSkippingHeld {
 public:
  FrameSkippingHeld()
      : held_(g_AppServices != nullptr && g_AppServices->SwitchBytes()[kSwitchFrameSkip] != 0) {
    if (held_) g_AppServices->Pacer().SetSkipEnabled(false);
  }
  ~FrameSkippingHeld() {
    if (held_ && g_AppServices != nullptr) g_AppServices->Pacer().SetSkipEnabled(true);
  }
  FrameSkippingHeld(const FrameSkippingHeld&) = delete;
  FrameSkippingHeld& operator=(const FrameSkippingHeld&) = delete;

 private:
  bool held_;
};

}  // namespace

std::int32_t CVovFrame::CrossScreen(std::uint32_t duration, std::uint8_t swap_mode, std::uint32_t skip_mask,
                                    CImagePart* part) {
  if (part == nullptr) part = page_.Part(0);
  if (part == nullptr || g_TcpHost == nullptr) return kCrossNoFilter;
  const auto part_word = reinterpret_cast<std::uintptr_t>(part);
  const PluginArgList args{duration, part_word, swap_mode, skip_mask};
  RefPtr<CTcpObject> object = g_TcpHost->CreateObjectV(part_word, "cross", args.View());
  auto* transition = dynamic_cast<CScreenTransition*>(object.get());
  if (transition == nullptr) return kCrossNoFilter;
  object.release();
  RefPtr<CScreenTransition> filter(transition);
  if (part->Attach(filter, swap_mode, 1, !IsPriorityControlOff()) != 0) return kCrossRefused;

  const FrameSkippingHeld every_frame;
  bool skipped = false;
  while (part->HasAttached()) {
    if (!RunFramePass()) return kWaitAppEnding;
    if (part->HasAttached() && skip_mask != 0 && IsInterrupted(skip_mask)) {
      part->Detach(true);
      skipped = true;
    }
  }
  if (swap_mode != 0) page_.SwapPages(swap_mode == 1);
  return skipped ? kCrossSkipped : 0;
}

std::int32_t CVovFrame::ScreenFlash(std::uint32_t duration, std::uint32_t colour) {
  page_.ClearBg(colour, 1);
  page_.ClearSprites(true, -1);
  if (ReaderSkipping()) return 0;
  const std::uint32_t step = StepTime(duration, kFlashSteps, kFlashDefault);
  if (CrossScreen(4 * step, 1, kReaderSkip) == kWaitAppEnding) return kWaitAppEnding;
  return CrossScreen(2 * step, 1, kReaderSkip) == kWaitAppEnding ? kWaitAppEnding : 0;
}

std::int32_t CVovFrame::ScreenCrossToBg(const char* name, std::uint32_t duration, std::uint32_t colour) {
  if (ReaderSkipping()) {
    page_.ClearBg(colour, 0);
    page_.ClearSprites(false, -1);
    page_.ClearSprites(true, -1);
    const bool loaded = page_.LoadBg(name, 1) == CVovPage::kDone;
    ApplyTransitionAtOnce();
    return loaded ? 0 : kBgMissing;
  }
  const std::uint32_t step = StepTime(duration, kCrossToBgSteps, kCrossToBgDefault);
  page_.ClearBg(colour, 1);
  page_.ClearSprites(true, -1);
  if (CrossScreen(5 * step, 1, kReaderSkip) == kWaitAppEnding) return kWaitAppEnding;
  const bool loaded = page_.LoadBg(name, 1) == CVovPage::kDone;
  page_.ClearSprites(true, -1);
  if (CrossScreen(3 * step, 1, kReaderSkip) == kWaitAppEnding) return kWaitAppEnding;
  return loaded ? 0 : kBgMissing;
}
