// The opcodes of the sprite effects: a sprite moved along a path (81, 82), a sprite changed to
// another picture (83), its cell animation (84), and the wait for and the end of a sprite's
// effect (85, 86). A looping effect is recorded in the sprite's record, so that a load starts it
// again.
#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "effects/framework/effect.h"
#include "effects/sprite/sp_panime_effect.h"
#include "gfx/images/image.h"
#include "novel/frame/vov_effect_words.h"
#include "novel/frame/vov_frame.h"
#include "platform/encoding/sjis_text.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "scene/sprites/sprite.h"

namespace {

constexpr std::uint32_t kPathTime = 500;
constexpr std::size_t kLongestPathName = 47;
constexpr std::int32_t kDone = 0;
constexpr std::int32_t kNoRecord = 1;
constexpr std::int32_t kNoSprite = 2;
constexpr std::int32_t kPathTooLong = 3;
constexpr std::int32_t kNotStarted = 4;
constexpr std::int32_t kAssistErrorBase = 4;
constexpr std::int32_t kChangeAssistErrorBase = 5;
constexpr std::int32_t kSameName = 3;
constexpr std::uint32_t kTakeSizeLetters = 2;
constexpr std::uint32_t kOwnStorage = 2;
constexpr std::int32_t kLooping = 2;
constexpr std::int32_t kBadCharacter = 3;
constexpr std::int32_t kLastAnimatedCharacter = 6;
constexpr std::uint32_t kPriorityStep = 100;
constexpr std::int32_t kToFront = 1;
constexpr std::int32_t kToBack = 2;
constexpr double kStepsPerTurn = 512.0;
constexpr std::size_t kOffsetRecordSize = 6;
constexpr std::size_t kOffsetHeadSize = 5;  // a leading byte and the u32 length
constexpr std::size_t kLengthSize = 4;

// What a sprite path ends at: the sprite's place, opacity, order and transform.
struct PathEnd {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t alpha = -1;
  std::int32_t order = 0;
  float zoom = 0;
  float turn = 0;
  std::int32_t anchor_x = 0;
  std::int32_t anchor_y = 0;
  float transformed = 0;

  // The out-pointers in the order GetParam and the assist entry write them; the last only
  // with `with_flag`.
  PluginArgList Outs(std::uint32_t command, CSprite* sprite, const char* path) {
    return PluginArgList{command,
                         reinterpret_cast<std::uintptr_t>(sprite),
                         reinterpret_cast<std::uintptr_t>(path),
                         reinterpret_cast<std::uintptr_t>(&x),
                         reinterpret_cast<std::uintptr_t>(&y),
                         reinterpret_cast<std::uintptr_t>(&alpha),
                         reinterpret_cast<std::uintptr_t>(&order),
                         reinterpret_cast<std::uintptr_t>(&zoom),
                         reinterpret_cast<std::uintptr_t>(&turn),
                         reinterpret_cast<std::uintptr_t>(&anchor_x),
                         reinterpret_cast<std::uintptr_t>(&anchor_y)};
  }
  PluginArgList ParamOuts() {
    return PluginArgList{reinterpret_cast<std::uintptr_t>(&x),        reinterpret_cast<std::uintptr_t>(&y),
                         reinterpret_cast<std::uintptr_t>(&alpha),    reinterpret_cast<std::uintptr_t>(&order),
                         reinterpret_cast<std::uintptr_t>(&zoom),     reinterpret_cast<std::uintptr_t>(&turn),
                         reinterpret_cast<std::uintptr_t>(&anchor_x), reinterpret_cast<std::uintptr_t>(&anchor_y),
                         reinterpret_cast<std::uintptr_t>(&transformed)};
  }
};

struct SpriteTarget {
  std::uint32_t index = 0;
  bool back = false;
  std::int32_t group = 0;
};

// The record the operands select: null when the index lies outside the group.
SpriteRecord* Record(CVovFrame& frame, const SpriteTarget& target) {
  return frame.Page().Sprite(target.index, target.back, target.group);
}

// 1 without a record, 2 without a sprite, else 0.
std::int32_t CheckRecord(const SpriteRecord* record) {
  if (record == nullptr) return kNoRecord;
  return record->sprite == nullptr ? kNoSprite : kDone;
}

void EndSpriteEffect(SpriteRecord& record) {
  CVovFrame::ReleaseEffect(record.effect);
  record.persist_kind = 0;
}

// The group's priority range, which the path players' to-front and to-back commands use.
void PublishPriorities(std::int32_t group) {
  g_SpriteFrontPriority = CVovPage::GroupBase(group);
  g_SpriteBackPriority = CVovPage::GroupBase(group) + kPriorityStep * (CVovPage::GroupSlots(group) - 1);
}

// The record takes the path's end: place and opacity, the transform when `transformed`, and the
// order, which moves the sprite without ending its effect.
void TakePathEnd(CVovFrame& frame, const SpriteTarget& target, SpriteRecord& record, const PathEnd& end,
                 bool transformed) {
  if (end.alpha >= 0) {
    record.x = record.ref_x + end.x;
    record.y = record.ref_y + end.y;
    record.alpha = static_cast<std::uint8_t>(end.alpha);
  }
  if (transformed) {
    record.zoom = end.zoom;
    record.angle = static_cast<std::int32_t>(end.turn * kStepsPerTurn);
    record.anchor_x = end.anchor_x;
    record.anchor_y = end.anchor_y;
  }
  if (end.order == kToFront) frame.Page().SpriteToFront(target.index, target.back, target.group, false);
  if (end.order == kToBack) frame.Page().SpriteToBack(target.index, target.back, target.group, false);
}

// The sprite put at the path's end at once through "sp_panime"'s assist entry: 0; -2 without
// the entry; else the entry's failure + `error_base`.
std::int32_t ShowPathEnd(CVovFrame& frame, const SpriteTarget& target, SpriteRecord& record, const std::string& path,
                         std::int32_t error_base = kAssistErrorBase) {
  const ObjectAssistFunc assist = FindHostAssistFunc("sp_panime");
  if (assist == nullptr) return kAssistMissing;
  PathEnd end;
  const PluginArgList args = end.Outs(1, record.sprite.get(), path.c_str());
  const PluginArgs view = args.View();
  if (const std::int32_t status = assist(&view); status != 0) return status + error_base;
  TakePathEnd(frame, target, record, end, end.zoom != 0 || end.turn != 0);
  return kDone;
}

// 81: the sprite moves along a path; with the loop flag for ever, recorded.
std::int32_t PathHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const SpriteTarget target{ValueAt(operands, 0), ValueAt(operands, 3) != 0, SignedAt(operands, 4)};
  SpriteRecord* record = Record(frame, target);
  if (const std::int32_t status = CheckRecord(record); status != kDone) return status;
  const std::string path = OperandText(operands, 1);
  const bool loop = OperandFlag(operands, 5);
  if (loop && path.size() > kLongestPathName) return kPathTooLong;
  EndSpriteEffect(*record);
  PublishPriorities(target.group);
  if (!frame.EffectsEnabled()) return ShowPathEnd(frame, target, *record, path);
  const std::uint32_t time = OperandOr(operands, 2, kPathTime);
  EffectWords words(operands);
  words.Word(reinterpret_cast<std::uintptr_t>(record->sprite.get())).Text(path.c_str()).Value(time);
  words.Value(loop ? 1 : 0).Value(loop ? 0 : 1);
  if (frame.CreateEffect(record->effect, "sp_panime", frame.Page().Part(target.back ? 1 : 0), words.View()) != 0) {
    return kNotStarted;
  }
  if (record->effect != nullptr) {
    PathEnd end;
    record->effect->GetParam(end.ParamOuts().View());
    TakePathEnd(frame, target, *record, end, end.transformed != 0);
  }
  if (loop) {
    record->persist_kind = 1;
    record->persist_name = path;
    record->persist_param = static_cast<std::int32_t>(time);
  }
  return kDone;
}

// 82: the sprite put at a path's end at once.
std::int32_t PathEndHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const SpriteTarget target{ValueAt(operands, 0), ValueAt(operands, 2) != 0, SignedAt(operands, 3)};
  SpriteRecord* record = Record(frame, target);
  if (const std::int32_t status = CheckRecord(record); status != kDone) return status;
  PublishPriorities(target.group);
  return ShowPathEnd(frame, target, *record, OperandText(operands, 1));
}

// The last character of the name's leaf without its extension, read by whole Shift-JIS
// characters as the code page (and so the file system) reads them: a half-width katakana is one
// byte, and a byte that cannot trail stands alone. 0 when it is a two-byte character or there is
// none.
char LeafLetter(std::string_view name) {
  constexpr plat::SjisReading kReading = plat::SjisReading::kCodePage;
  std::string_view leaf = name.substr(plat::LastComponentStart(name, kReading));
  if (const std::optional<std::size_t> dot = plat::LastDot(leaf, kReading)) leaf = leaf.substr(0, *dot);
  const std::vector<std::string_view> characters = plat::SplitCharacters(leaf, kReading);
  return !characters.empty() && characters.back().size() == 1 ? characters.back().front() : '\0';
}

// The size that the letter ending a sprite name's leaf stands for: "S" 2, "M" 3, "X" 4, else 0.
std::uint32_t SizeOf(std::string_view name) {
  switch (LeafLetter(name)) {
    case 'S': return 2;
    case 'M': return 3;
    case 'X': return 4;
    default: return 0;
  }
}

// The sprite a change replaces, with a picture of its own: the record's picture may be shared
// with the other page's record, where the old picture stays visible, while the change effect
// deletes the sprite and its picture when it ends. Until it is handed over, both go with this
// holder (the sprite first, as it shows the picture).
class OldSprite {
 public:
  // Takes the record's sprite out of it: false (the record unchanged) when the picture cannot be
  // copied.
  bool TakeFrom(SpriteRecord& record) {
    auto image = std::make_unique<CImage>();
    if (image->Duplicate(record.image.get(), kOwnStorage) != 0) return false;
    record.sprite->SetSourceImage(image.get());
    image_ = std::move(image);
    sprite_ = std::move(record.sprite);
    record.image.reset();
    return true;
  }
  CSprite* Sprite() const { return sprite_.get(); }
  void Drop() {
    sprite_.reset();
    image_.reset();
  }
  // The running change effect owns both from here on.
  void HandOver() {
    static_cast<void>(sprite_.release());
    static_cast<void>(image_.release());
  }

 private:
  std::unique_ptr<CImage> image_;
  std::unique_ptr<CSprite> sprite_;
};

// 83: the sprite changes to another picture while the new sprite, the old one or a cross-fade of
// the two moves along a path. Operands: index, new name, path, page, time (500 when absent),
// mode, 2 to compare the names' size letters, group.
std::int32_t ChangeHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const SpriteTarget target{ValueAt(operands, 0), ValueAt(operands, 3) != 0, SignedAt(operands, 7)};
  SpriteRecord* record = Record(frame, target);
  if (const std::int32_t status = CheckRecord(record); status != kDone) return status;
  const std::string name = OperandText(operands, 1);
  if (name.empty()) return kNoRecord;
  if (plat::EqualIgnoringAsciiCase(record->name, name) && record->filter == kFilterNone) return kSameName;
  EndSpriteEffect(*record);
  const bool compare_sizes = ValueAt(operands, 6) == kTakeSizeLetters;
  const std::uint32_t old_size = SizeOf(record->name);
  const std::int32_t old_character = record->character;
  OldSprite old;
  if (!old.TakeFrom(*record)) return kNotStarted;
  if (frame.Page().LoadSprite(target.index, name.c_str(), target.back, target.group) != kDone) return kNotStarted;
  const std::uint32_t new_size = SizeOf(record->name);
  const bool resized = compare_sizes && record->character == old_character && new_size != old_size && new_size != 0;

  const std::string path = OperandText(operands, 2);
  PublishPriorities(target.group);
  if (!frame.EffectsEnabled()) {
    old.Drop();
    return ShowPathEnd(frame, target, *record, path, kChangeAssistErrorBase);
  }
  EffectWords words(operands);
  words.Word(reinterpret_cast<std::uintptr_t>(record->sprite.get()));
  words.Word(reinterpret_cast<std::uintptr_t>(old.Sprite())).Text(path.c_str()).Byte(ValueAt(operands, 5));
  words.Value(record->priority).Value(resized ? 1 : 0).Value(OperandOr(operands, 4, kPathTime)).Value(1);
  if (frame.CreateEffect(record->effect, "sp_change", frame.Page().Part(target.back ? 1 : 0), words.View()) != 0 ||
      record->effect == nullptr) {
    return kNotStarted;
  }
  old.HandOver();
  PathEnd end;
  record->effect->GetParam(end.ParamOuts().View());
  TakePathEnd(frame, target, *record, end, end.transformed != 0);
  return kDone;
}

// The offset that the image keeps for the definition. The image's extra data is its picture's
// record chain; the first record holds records {number, dx, dy} (i16 each) after its tag byte and
// its length, which counts itself and them. (0, 0) without one, or when the length overruns the
// block.
std::array<std::int32_t, 2> DefinitionOffset(const CImage* image, std::int32_t number) {
  if (image == nullptr) return {0, 0};
  const std::vector<std::uint8_t>& data = image->GetExtraData();
  if (data.size() < kOffsetHeadSize) return {0, 0};
  const std::uint32_t length = data[1] | data[2] << 8 | data[3] << 16 | static_cast<std::uint32_t>(data[4]) << 24;
  if (length < kLengthSize || length - kLengthSize > data.size() - kOffsetHeadSize) return {0, 0};
  const std::size_t end = kOffsetHeadSize + (length - kLengthSize);
  const auto i16 = [&](std::size_t at) { return static_cast<std::int16_t>(data[at] | data[at + 1] << 8); };
  for (std::size_t at = kOffsetHeadSize; at + kOffsetRecordSize <= end; at += kOffsetRecordSize) {
    if (i16(at) == number) return {i16(at + 2), i16(at + 4)};
  }
  return {0, 0};
}

// 84: the sprite's cell animation "SYS/CA0nn.TXT", nn by the size letter of its name.
std::int32_t CellAnimationHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const SpriteTarget target{ValueAt(operands, 0), ValueAt(operands, 3) != 0, SignedAt(operands, 4)};
  SpriteRecord* record = Record(frame, target);
  if (const std::int32_t status = CheckRecord(record); status != kDone) return status;
  if (record->character < 0 || record->character > kLastAnimatedCharacter) return kBadCharacter;
  EndSpriteEffect(*record);
  if (!frame.EffectsEnabled()) return kDone;
  const char letter = LeafLetter(record->name);
  const std::int32_t base = letter == 'S' ? 20 : letter == 'X' ? 80 : 40;
  const std::int32_t number = base + SignedAt(operands, 1);
  char file[32];
  std::snprintf(file, sizeof(file), "SYS/CA0%02d.TXT", number);
  const std::array<std::int32_t, 2> offset = DefinitionOffset(record->image.get(), number);
  const bool loop = OperandFlag(operands, 2);
  EffectWords words(operands);
  words.Text(file);
  words.Value(static_cast<std::uint32_t>(record->sprite->GetX() + offset[0]));
  words.Value(static_cast<std::uint32_t>(record->sprite->GetY() + offset[1]));
  words.Value(record->priority - 1).Value(loop ? 1 : 0).Value(loop ? 0 : 1);
  if (frame.CreateEffect(record->effect, "sp_tanime", frame.Page().Part(target.back ? 1 : 0), words.View()) != 0) {
    return kNotStarted;
  }
  if (loop) {
    record->persist_kind = 2;
    record->persist_param = SignedAt(operands, 1);
  }
  return kDone;
}

// 85: waits for the sprite's effect; a looping one ends at once.
std::int32_t WaitHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const SpriteTarget target{ValueAt(operands, 0), ValueAt(operands, 1) != 0, SignedAt(operands, 2)};
  SpriteRecord* record = Record(frame, target);
  if (record == nullptr) return kNoRecord;
  if (record->persist_kind != 0) {
    EndSpriteEffect(*record);
    return kLooping;
  }
  const bool skippable = OperandFlag(operands, 3);
  return frame.SkippableWait(skippable, [&] { EndSpriteEffect(*record); },
                             [&] { return frame.WaitEffect(record->effect, skippable); });
}

// 86: ends the sprite's effect.
std::int32_t EndHandler(CVovFrame& frame, std::span<const VovOperand> operands) {
  const SpriteTarget target{ValueAt(operands, 0), ValueAt(operands, 1) != 0, SignedAt(operands, 2)};
  SpriteRecord* record = Record(frame, target);
  if (record == nullptr) return kNoRecord;
  EndSpriteEffect(*record);
  return kDone;
}

}  // namespace

void CVovFrame::InstallSpriteEffectHandlers() {
  SetHandler(81, PathHandler);
  SetHandler(82, PathEndHandler);
  SetHandler(83, ChangeHandler);
  SetHandler(84, CellAnimationHandler);
  SetHandler(85, WaitHandler);
  SetHandler(86, EndHandler);
}
