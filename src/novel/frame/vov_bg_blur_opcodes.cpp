// The opcodes of "bg_blur", which moves, zooms and turns a slot's picture leaving a trail: about
// a centre from a start to an end (50, 52, 53), along a list of key frames (51, 54, 55), and the
// view put at a point at once (56). Each row hands its operands over in its own order; once
// gathered into one command, the rows of a form share everything else. With the end-view flag
// the slot's record takes the view the effect ends on, which a save carries; with effects off
// or while the reader skips only that view is shown, at once.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "effects/background/blur_path.h"
#include "effects/background/zoom_source.h"
#include "effects/framework/background_canvas.h"
#include "effects/framework/effect_args.h"
#include "novel/frame/vov_effect_words.h"
#include "novel/frame/vov_frame.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "scene/drawables/motion_curves.h"

namespace {

constexpr char kBlurEffect[] = "bg_blur";
constexpr std::uint32_t kBlurTime = 1000;
constexpr double kNoZoom = 1.0;
constexpr double kNoTurn = 0.0;
constexpr std::int32_t kDone = 0;
constexpr std::int32_t kFailed = 1;
constexpr std::int32_t kNoKeyFrames = 2;
// No row carries the operand that makes the wait skippable: the reader may cut it short, as the
// skippable wait of 57 allows.
constexpr bool kWaitSkippable = true;

// A place past every operand: it reads as an absent operand.
constexpr std::size_t kAbsent = SIZE_MAX;

// Where one operand of the command comes from in the row's operands, and whether the row takes
// it as a flag (non-zero gives 1).
struct Place {
  std::size_t operand = kAbsent;
  bool flag = false;
};
constexpr Place At(std::size_t operand) { return {operand, false}; }
constexpr Place FlagAt(std::size_t operand) { return {operand, true}; }

// The operands of the centre form, in the command's order; from the first mirror flag to the
// filter byte: left-right mirror, top-bottom mirror, direct drawing, filter byte.
enum CentreOperand : std::size_t {
  kX,
  kY,
  kStartZoom,
  kStartTurn,
  kEndZoom,
  kEndTurn,
  kCentreTime,
  kCentreLevel,
  kCentreAcceleration,
  kCentrePicture,
  kCentreFirstMirror,
  kCentreUnread = kCentreFirstMirror + 4,  // a word the effect does not read
  kCentreEndView,
  kCentreWait,
  kCentreOperands
};
// The operands of the key-frame form, likewise.
enum KeyFrameOperand : std::size_t {
  kKeyFrames,
  kSpline,
  kKeyFrameTime,
  kKeyFrameLevel,
  kKeyFrameAcceleration,
  kKeyFramePicture,
  kKeyFrameFirstMirror,
  kKeyFrameUnread = kKeyFrameFirstMirror + 4,
  kKeyFrameEndView,
  kKeyFrameWait,
  kKeyFrameOperands
};

template <std::size_t N>
struct BlurRow {
  std::size_t slot;
  std::array<Place, N> places;
};
using CentreRow = BlurRow<kCentreOperands>;
using KeyFrameRow = BlurRow<kKeyFrameOperands>;

// 50: the centre form up to the picture name.
constexpr CentreRow kRow50{10, {At(0), At(1), At(2), At(3), At(4), At(5), At(6), At(7), At(8), At(9)}};
// 52: no picture; mirrors, direct and filter; the slot where the word not read would stand; the
// end view and the wait.
constexpr CentreRow kRow52{13,
                           {At(0), At(1), At(2), At(3), At(4), At(5), At(6), At(7), At(8), {}, FlagAt(9), FlagAt(10),
                            At(11), At(12), {}, FlagAt(14), FlagAt(15)}};
// 53: as 52 one place later, with the picture name first.
constexpr CentreRow kRow53{14,
                           {At(1), At(2), At(3), At(4), At(5), At(6), At(7), At(8), At(9), At(0), FlagAt(10),
                            FlagAt(11), At(12), At(13), {}, FlagAt(15), FlagAt(16)}};
// 51: the key-frame form up to the picture name.
constexpr KeyFrameRow kRow51{6, {At(0), FlagAt(1), At(2), At(3), At(4), At(5)}};
// 54 and 55: as 52 and 53 for the key-frame form.
constexpr KeyFrameRow kRow54{9,
                             {At(0), FlagAt(1), At(2), At(3), At(4), {}, FlagAt(5), FlagAt(6), At(7), At(8), {},
                              FlagAt(10), FlagAt(11)}};
constexpr KeyFrameRow kRow55{10,
                             {At(1), FlagAt(2), At(3), At(4), At(5), At(0), FlagAt(6), FlagAt(7), At(8), At(9), {},
                              FlagAt(11), FlagAt(12)}};

// The row's operands in the command's order, and its slot.
struct BlurCommand {
  std::vector<VovOperand> operands;
  std::uint32_t slot = 0;

  std::span<const VovOperand> View() const { return operands; }
  bool Flag(std::size_t n) const { return OperandFlag(operands, n); }
};

template <std::size_t N>
BlurCommand Gather(std::span<const VovOperand> given, const BlurRow<N>& row) {
  BlurCommand command;
  command.slot = VovOperandAt(given, row.slot).value;
  for (const Place& place : row.places) {
    VovOperand operand = VovOperandAt(given, place.operand);
    if (place.flag && operand.flags != 0) operand.value = operand.value != 0 ? 1 : 0;
    command.operands.push_back(operand);
  }
  return command;
}


// Operand n read as a decimal number; `fallback` for a number or an absent operand.
double DecimalOperand(std::span<const VovOperand> operands, std::size_t n, double fallback) {
  return OperandIsText(operands, n) ? ParseDecimal(OperandText(operands, n).c_str()) : fallback;
}

// The view a blur ends on, about a point at a zoom turned by some turns.
struct EndView {
  std::int32_t x = 0;
  std::int32_t y = 0;
  double zoom = kNoZoom;
  double turns = kNoTurn;
};

// The slot's record takes the view as the layer shows it: a turned one as its roto-zoom view, an
// unturned one as its area.
void StoreView(BgSlotRecord& record, const ZoomRect& view, const EndView& end) {
  if (end.turns != 0.0) {
    record.area = {kNoArea, 0, 0, 0};
    record.offset_x = view.x;
    record.offset_y = view.y;
    record.angle = view.width;
    record.zoom = static_cast<float>(end.zoom);
    return;
  }
  const plat::Rect area = ToRect(view);
  record.area = {area.left, area.top, area.right, area.bottom};
  record.offset_x = record.offset_y = 0;
  record.zoom = 0;
}

// With effects running: the record takes the view that the effect shows at its end.
void RecordEndView(CVovFrame& frame, std::uint32_t slot, const EndView& end) {
  ZoomRect view;
  const CDrawLayer* layer = frame.Page().SlotLayer(slot);
  if (ComputeZoomRotateSource(layer, end.x, end.y, end.zoom, end.turns, view) != kZoomSourceOk) return;
  if (end.turns == 0.0 && (view.width <= 0 || view.height <= 0)) return;
  StoreView(frame.Page().Bg(slot), view, end);
}

// Without them: the view shown at once through "bg_blur"'s assist entry and recorded. 0; -2
// without the entry; else the entry's failure.
std::int32_t ShowEndView(CVovFrame& frame, std::uint32_t slot, const EndView& end) {
  const ObjectAssistFunc assist = FindHostAssistFunc(kBlurEffect);
  if (assist == nullptr) return kAssistMissing;
  ZoomRect view;
  const PluginArgList args{reinterpret_cast<std::uintptr_t>(GetCanvasOfPart(frame.Page().SlotPart(slot))),
                           static_cast<std::uint32_t>(end.x),
                           static_cast<std::uint32_t>(end.y),
                           DoubleWord(end.zoom),
                           DoubleWord(end.turns),
                           reinterpret_cast<std::uintptr_t>(&view.x),
                           reinterpret_cast<std::uintptr_t>(&view.y),
                           reinterpret_cast<std::uintptr_t>(&view.width),
                           reinterpret_cast<std::uintptr_t>(&view.height)};
  const PluginArgs list = args.View();
  if (const std::int32_t status = assist(&list); status != 0) return status;
  StoreView(frame.Page().Bg(slot), view, end);
  return kDone;
}

// The blur made into the slot's effect field from its words, its end view recorded when asked,
// then waited for when asked (with the frame's repeat counter). 1 when it cannot be made.
std::int32_t StartBlur(CVovFrame& frame, std::uint32_t slot, const EffectWords& words, const EndView* end_view,
                       bool wait) {
  CEffect*& field = frame.Page().Bg(slot).effect;
  if (frame.CreateEffect(field, kBlurEffect, frame.Page().SlotPart(slot), words.View()) != 0) return kFailed;
  if (end_view != nullptr) RecordEndView(frame, slot, *end_view);
  if (!wait) return kDone;
  return frame.SkippableWait(kWaitSkippable, [&] { CVovFrame::ReleaseEffect(field); },
                             [&] { return frame.WaitEffect(field, kWaitSkippable); });
}

// 50, 52, 53: from a start to an end about a centre.
std::int32_t CentreBlur(CVovFrame& frame, const BlurCommand& command) {
  const std::span<const VovOperand> operands = command.View();
  frame.EndBgEffect(command.slot, false);
  const EndView end{static_cast<std::int32_t>(OperandOr(operands, kX, kScreenCentreX)),
                    static_cast<std::int32_t>(OperandOr(operands, kY, kScreenCentreY)),
                    DecimalOperand(operands, kEndZoom, kNoZoom), DecimalOperand(operands, kEndTurn, kNoTurn)};
  const bool keep_end_view = command.Flag(kCentreEndView);
  if (!frame.EffectsEnabled()) return keep_end_view ? ShowEndView(frame, command.slot, end) : kDone;
  EffectWords words(operands);
  words.Value(0).Value(static_cast<std::uint32_t>(end.x)).Value(static_cast<std::uint32_t>(end.y));
  for (std::size_t n = kStartZoom; n < kCentreTime; ++n) words.TextOperand(n);
  words.Value(OperandNonZeroOr(operands, kCentreTime, kBlurTime)).Byte(ValueAt(operands, kCentreLevel));
  words.TextOperand(kCentreAcceleration).TextOperand(kCentrePicture);
  for (std::size_t n = kCentreFirstMirror; n < kCentreUnread; ++n) words.Byte(ValueAt(operands, n));
  words.Value(ValueAt(operands, kCentreUnread)).Byte(ValueAt(operands, kCentreEndView));
  return StartBlur(frame, command.slot, words, keep_end_view ? &end : nullptr, command.Flag(kCentreWait));
}

// The view at the last key frame of the list: false when the list holds none.
bool LastKeyFrame(std::span<const VovOperand> operands, EndView& end) {
  std::vector<BlurPoint> points;
  const std::string list = OperandText(operands, kKeyFrames);
  const char* text = OperandIsText(operands, kKeyFrames) ? list.c_str() : nullptr;
  if (ParseBlurPath(text, points, 1) < 1) return false;
  end = {TruncateToInt32(points.back().x), TruncateToInt32(points.back().y), points.back().zoom, kNoTurn};
  return true;
}

// 51, 54, 55: along a list of key frames.
std::int32_t KeyFrameBlur(CVovFrame& frame, const BlurCommand& command) {
  const std::span<const VovOperand> operands = command.View();
  frame.EndBgEffect(command.slot, false);
  const bool keep_end_view = command.Flag(kKeyFrameEndView);
  EndView end;
  if (!frame.EffectsEnabled()) {
    if (!keep_end_view) return kDone;
    return LastKeyFrame(operands, end) ? ShowEndView(frame, command.slot, end) : kNoKeyFrames;
  }
  // The effect would take a list that is no text (a null word) for the centre form's 0.
  if (!OperandIsText(operands, kKeyFrames)) return kFailed;
  EffectWords words(operands);
  words.TextOperand(kKeyFrames).Byte(ValueAt(operands, kSpline));
  words.Value(OperandNonZeroOr(operands, kKeyFrameTime, kBlurTime)).Byte(ValueAt(operands, kKeyFrameLevel));
  words.TextOperand(kKeyFrameAcceleration).TextOperand(kKeyFramePicture);
  for (std::size_t n = kKeyFrameFirstMirror; n < kKeyFrameUnread; ++n) words.Byte(ValueAt(operands, n));
  words.Value(ValueAt(operands, kKeyFrameUnread)).Byte(ValueAt(operands, kKeyFrameEndView));
  const bool known_end = keep_end_view && LastKeyFrame(operands, end);
  return StartBlur(frame, command.slot, words, known_end ? &end : nullptr, command.Flag(kKeyFrameWait));
}

// 56: the view about a point, at a zoom and turned, at once.
std::int32_t ViewAtPoint(CVovFrame& frame, std::span<const VovOperand> operands) {
  const std::uint32_t slot = ValueAt(operands, 4);
  frame.EndBgEffect(slot, false);
  const EndView end{static_cast<std::int32_t>(OperandOr(operands, 0, kScreenCentreX)),
                    static_cast<std::int32_t>(OperandOr(operands, 1, kScreenCentreY)),
                    DecimalOperand(operands, 2, kNoZoom), DecimalOperand(operands, 3, kNoTurn)};
  return ShowEndView(frame, slot, end);
}

template <std::size_t N>
VovHandler RowHandler(const BlurRow<N>& row, std::int32_t (*form)(CVovFrame&, const BlurCommand&)) {
  return [&row, form](CVovFrame& frame, std::span<const VovOperand> operands) {
    return form(frame, Gather(operands, row));
  };
}

}  // namespace

void CVovFrame::InstallBgBlurHandlers() {
  SetHandler(50, RowHandler(kRow50, CentreBlur));
  SetHandler(51, RowHandler(kRow51, KeyFrameBlur));
  SetHandler(52, RowHandler(kRow52, CentreBlur));
  SetHandler(53, RowHandler(kRow53, CentreBlur));
  SetHandler(54, RowHandler(kRow54, KeyFrameBlur));
  SetHandler(55, RowHandler(kRow55, KeyFrameBlur));
  SetHandler(56, ViewAtPoint);
}
