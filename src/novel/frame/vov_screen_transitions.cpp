// The page transitions of the novel frame: a filter made by name runs on the front part from
// the front page to the back page. The records swap when it starts, so the commands that follow
// already prepare the page the reader is about to see; the parts' layers follow at its end.
#include <algorithm>
#include <array>
#include <cstdio>

#include "effects/framework/create_by_name.h"
#include "effects/framework/effect.h"
#include "gfx/image_operations/image_part.h"
#include "resource/plugins/tcp_plugin_manager.h"
#include "novel/frame/vov_frame.h"
#include "platform/system/diagnostic_log.h"

namespace {

constexpr std::uint32_t kDefaultDuration = 1000;
constexpr std::int32_t kDefaultSoftness = 32;
constexpr std::uint8_t kSwapLayers = CImagePart::kModeSwapLayers;
constexpr std::array<const char*, 8> kNamedFilters = {"zoomflip",  "wave",   "mosaic", "rotaxis",
                                                      "rotcenter", "addsub", "hblur",  "scroll"};

std::uintptr_t Word(std::uint32_t value) { return value; }
std::uint32_t Duration(std::uint32_t duration) { return duration == 0 ? kDefaultDuration : duration; }

}  // namespace

std::uint32_t CVovFrame::CreateLayerFilter(CImagePart* part, const char* name, std::uint8_t mode, std::uint8_t byte,
                                           const PluginArgs& args) {
  return CreateLayerFilterByName(part, name, mode, byte, args);
}

void CVovFrame::DetachScreenFilter() {
  if (!filter_running_) return;
  CImagePart* front = page_.Part(0);
  if (front != nullptr && front->HasAttached()) front->Detach(front->GetAttachByte() != 0);
  filter_running_ = false;
}

void CVovFrame::EndScreenFilter() {
  DetachScreenFilter();
  std::fill(state_words_.begin() + kStateQuakeFirst, state_words_.begin() + kStateQuakeLast + 1, 0);
}

bool CVovFrame::ReaderSkipping() const {
  return IsInterrupted(kInterruptSkip) || skip_mode_ || message_skip_mark_;
}

void CVovFrame::BeginTransitionCommand() {
  EndScreenFilter();
  page_mode_ = 1;
}

void CVovFrame::StartTransition() {
  filter_running_ = true;
  page_.SwapPages(page_mode_ == 1);
}

void CVovFrame::ApplyTransitionAtOnce() {
  page_.ShowBackPage();
  page_.SwapPages(page_mode_ == 1);
}

std::int32_t CVovFrame::RunPageTransition(const char* name, const PluginArgs& args, std::uint8_t byte,
                                          bool second_view) {
  if (ReaderSkipping()) {
    ApplyTransitionAtOnce();
    return kTransitionDone;
  }
  CImagePart* front = page_.Part(0);
  const auto switch_view = [&] {
    if (second_view && front != nullptr) front->SetView(front->GetSecondView());
  };
  switch_view();
  const std::uint32_t status = CreateLayerFilter(front, name, kSwapLayers, byte, args);
  if (status != kFilterAttached) {
    switch_view();
    plat::LogDiagnostic(std::string("the page transition \"") + name + "\" cannot start (" + std::to_string(status) +
                        "); the page changes at once");
    ApplyTransitionAtOnce();
    return static_cast<std::int32_t>(status);
  }
  StartTransition();
  return kTransitionDone;
}

std::int32_t CVovFrame::CrossTransition(std::uint32_t duration) {
  BeginTransitionCommand();
  const PluginArgList args{Word(Duration(duration))};
  return RunPageTransition("cross", args.View(), 1);
}

std::int32_t CVovFrame::RuleTransition(std::uint32_t rule, std::uint32_t duration, std::int32_t softness) {
  BeginTransitionCommand();
  if (LoadRule(rule) != 0) {
    ApplyTransitionAtOnce();
    return kTransitionNoRule;
  }
  const std::int32_t vague = softness < 1 ? kDefaultSoftness : softness;
  const PluginArgList args{Word(Duration(duration)), reinterpret_cast<std::uintptr_t>(&rule_image_),
                           Word(static_cast<std::uint32_t>(vague))};
  return RunPageTransition("rule", args.View(), 1);
}

std::int32_t CVovFrame::PatternTransition(std::uint32_t pattern, std::uint32_t duration, std::uint32_t flag) {
  BeginTransitionCommand();
  const PluginArgList args{Word(Duration(duration)), Word(pattern), Word(flag)};
  // Reversed, the pattern takes the old page away from over the new one: the front part shows
  // the new page from the start, and the end has nothing left to swap.
  const bool reversed = flag != 0;
  return RunPageTransition("trans", args.View(), reversed ? 0 : 1, reversed);
}

const char* CVovFrame::NamedFilterName(std::int32_t index) {
  return kNamedFilters[static_cast<std::size_t>(std::clamp(index, 0, 7))];
}

std::int32_t CVovFrame::NamedFilterTransition(std::int32_t index, std::uint32_t duration,
                                              std::span<const std::uintptr_t, 3> words) {
  BeginTransitionCommand();
  const PluginArgList args{Word(Duration(duration)), words[0], words[1], words[2], 0, 0};
  return RunPageTransition(NamedFilterName(index), args.View(), 1);
}

std::int32_t CVovFrame::RippleTransition(std::uint32_t duration, std::span<const std::uintptr_t, 6> words) {
  BeginTransitionCommand();
  const PluginArgList args{Word(Duration(duration)), words[0], words[1], words[2], words[3], words[4], words[5]};
  return RunPageTransition("ripple", args.View(), 1);
}

std::uint32_t CVovFrame::LoadRule(std::uint32_t number) {
  if (rule_number_ == number) return 0;
  std::array<char, 32> name{};
  std::snprintf(name.data(), name.size(), "SYS\\RULE%03u.ELG", number);
  if (rule_image_.LoadFile(name.data(), nullptr, 0, 0) != 0) {
    rule_number_.reset();
    plat::LogDiagnostic(std::string("the rule image ") + name.data() + " cannot be loaded");
    return 1;
  }
  if (mirror_rule_[0]) rule_image_.PixelLibMirrorVertical(nullptr);
  if (mirror_rule_[1]) rule_image_.PixelLibMirrorHorizontal(nullptr);
  rule_number_ = number;
  return 0;
}

std::int32_t CVovFrame::WaitTransition(bool skippable) {
  if (state_words_[kStateQuakeFirst] != 0) {
    EndScreenFilter();
    return kWaitDone;
  }
  for (;;) {
    if (!RunFramePass()) return kWaitAppEnding;
    CImagePart* front = page_.Part(0);
    if (front == nullptr || !front->HasAttached()) {
      filter_running_ = false;
      return kWaitDone;
    }
    if (skippable && (IsInterrupted(kInterruptClick | kInterruptSkip) || skip_mode_ || message_skip_mark_)) {
      front->Detach(front->GetAttachByte() != 0);
      filter_running_ = false;
      return RunFramePass() ? kWaitCutShort : kWaitAppEnding;
    }
  }
}

std::int32_t CVovFrame::ScreenQuake(std::span<const std::uintptr_t, 6> words, bool swap, bool lower_priority) {
  ReleaseSlotEffect(page_.Bg(0).quake_effect);
  ReleaseSlotEffect(page_.Bg(1).quake_effect);
  const bool endless = words[3] == 0;
  if (!endless && ReaderSkipping()) return kTransitionDone;
  CImagePart* front = page_.Part(0);
  if (front == nullptr || g_TcpHost == nullptr) return static_cast<std::int32_t>(kFilterNotMade);
  const std::uintptr_t fill = words[5] & 0xFF;
  const PluginArgList args{words[0], words[1], words[2], words[3], words[4], fill};
  RefPtr<CTcpObject> object = g_TcpHost->CreateObjectV(reinterpret_cast<std::uintptr_t>(front), "quake", args.View());
  auto* transition = dynamic_cast<CScreenTransition*>(object.get());
  if (transition == nullptr) {
    plat::LogDiagnostic("the screen quake cannot start: the filter \"quake\" cannot be made");
    return static_cast<std::int32_t>(kFilterNotMade);
  }
  object.release();
  RefPtr<CScreenTransition> filter(transition);
  const bool lower = !endless && lower_priority && !IsPriorityControlOff();
  const std::uint8_t mode = swap ? CImagePart::kModeSwapLayers : CImagePart::kModeSwapBackgrounds;
  if (front->Attach(filter, mode, 0, lower) != 0) return static_cast<std::int32_t>(kFilterRefused);
  filter_running_ = true;
  if (endless) {
    const std::array<std::int32_t, 6> record = {1,
                                                static_cast<std::int32_t>(words[0]),
                                                static_cast<std::int32_t>(words[1]),
                                                static_cast<std::int32_t>(words[2]),
                                                static_cast<std::int32_t>(fill),
                                                swap ? 1 : 0};
    std::copy(record.begin(), record.end(), state_words_.begin() + kStateQuakeFirst);
  }
  return kTransitionDone;
}
