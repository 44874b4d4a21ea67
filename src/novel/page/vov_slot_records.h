// The records of the novel page's slots: the background slot of each page and the sprite slots,
// and their saved prefixes (the plain fields, written field by field in record order).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/lifetime/ref_counted.h"
#include "base/numbers/byte_cursor.h"
#include "scene/animations/dad_file.h"

class CEffect;
class CImage;
class CSprite;

inline constexpr std::size_t kSlotNameSize = 32;      // 31 bytes and the zero
inline constexpr std::size_t kPersistNameSize = 48;
inline constexpr std::size_t kBgPersistParamsSize = 68;
inline constexpr std::size_t kBgRecordPrefixSize = 196;
inline constexpr std::size_t kSpriteRecordPrefixSize = 140;
inline constexpr std::int32_t kNoArea = -1;
inline constexpr std::int32_t kUnlistedCharacter = 40;
inline constexpr std::int32_t kFreeSprite = -1;

// Colour filters of backgrounds and sprites.
enum : std::uint8_t {
  kFilterNone = 0,
  kFilterGrey = 1,
  kFilterSepia = 2,
  kFilterNegative = 3,
  kFilterBright = 4,
  kFilterEvening = 5,
  kFilterNight = 6,
};

struct BgSlotRecord {
  BgSlotRecord();
  ~BgSlotRecord();
  BgSlotRecord(const BgSlotRecord&) = delete;
  BgSlotRecord& operator=(const BgSlotRecord&) = delete;

  std::string name;
  std::string anime_name;
  std::uint32_t tone = 0;  // 0 none, 1 evening, 2 night
  std::uint32_t color = 0;
  std::uint8_t frozen = 0;
  std::uint8_t filter = kFilterNone;
  std::uint8_t mirror_x = 0;
  std::uint8_t mirror_y = 0;
  std::uint8_t letterbox = 0;
  std::uint8_t softened = 0;
  std::int32_t offset_x = 0;
  std::int32_t offset_y = 0;
  std::array<std::int32_t, 4> area{kNoArea, 0, 0, 0};
  float zoom = 0;
  std::int32_t angle = 0;
  std::uint32_t anime_state = 0;
  std::uint32_t anime_arg1 = 0;
  std::uint32_t anime_arg2 = 0;
  std::int32_t persist_kind = 0;
  std::array<std::uint8_t, kBgPersistParamsSize> persist_params{};

  // The picture; the other page's slot may hold the same one after a page copy.
  std::shared_ptr<CImage> image;
  // The still picture of the whole page that a frozen slot shows.
  std::unique_ptr<CImage> capture;
  // The running effects: one run once, the persistent one, the quake and the background
  // animation's player. Each effect writes null into its field when it ends, so a record stays
  // in place while one runs.
  CEffect* effect = nullptr;
  CEffect* persist_effect = nullptr;
  CEffect* quake_effect = nullptr;
  CEffect* anime_effect = nullptr;
  // The background animation's data.
  RefPtr<CDadFile> anime;

  // True when the picture shows with no filter, flag, offset, area or zoom.
  bool IsPlain() const {
    return filter == kFilterNone && mirror_x == 0 && mirror_y == 0 && letterbox == 0 && softened == 0 &&
           offset_x == 0 && offset_y == 0 && area[0] == kNoArea && zoom == 0;
  }
  // Filter, flags, offsets, area and zoom back to their empty values.
  void ClearLook() {
    filter = kFilterNone;
    mirror_x = mirror_y = letterbox = softened = 0;
    offset_x = offset_y = 0;
    area = {kNoArea, 0, 0, 0};
    zoom = 0;
  }
};

struct SpriteRecord {
  std::string name;  // upper-cased; empty = free
  std::int32_t character = kFreeSprite;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t ref_x = 0;
  std::int32_t ref_y = 0;
  std::uint32_t priority = 0;
  std::uint8_t filter = kFilterNone;
  std::uint8_t mirror_x = 0;
  std::uint8_t mirror_y = 0;
  std::uint8_t softened = 0;
  std::uint8_t alpha = 255;
  float zoom = 0;
  std::int32_t angle = 0;
  std::int32_t anchor_x = 0;
  std::int32_t anchor_y = 0;
  std::int32_t persist_kind = 0;
  std::int32_t persist_param = 0;
  std::string persist_name;

  // The picture (the other page's record may hold the same one) and its drawable.
  std::shared_ptr<CImage> image;
  std::unique_ptr<CSprite> sprite;
  // The sprite's running effect, which writes null here when it ends: the record stays in place
  // while one runs.
  CEffect* effect = nullptr;

  SpriteRecord();
  SpriteRecord(SpriteRecord&&) noexcept;
  SpriteRecord& operator=(SpriteRecord&&) noexcept;
  ~SpriteRecord();
};

// The persistent effects of a background slot, and where their parameters lie: 32-bit words in
// order, a name from the fifth word on.
enum : std::int32_t {
  kPersistNone = 0,
  kPersistNoise = 1,
  kPersistLoopingPanime = 2,
  kPersistQuake = 3,
  kPersistRaster = 4,
  kPersistHaze = 5,
  kPersistCross = 7,
  kPersistPaper = 8,
  kPersistRain = 11,
};
inline constexpr std::size_t kPersistNameWord = 4;
std::uint32_t PersistWord(const BgSlotRecord& record, std::size_t word);
void SetPersistWord(BgSlotRecord& record, std::size_t word, std::uint32_t value);
// The name from the fifth word on (47 bytes at most), and the text stored there (cut to fit).
std::string PersistName(const BgSlotRecord& record);
void SetPersistName(BgSlotRecord& record, std::string_view name);
// The words of the page switches of the recorded kind (the noise, the particle effects, the
// quake's two shake flags), which follow the pages when they swap; none for the other kinds.
struct PersistSwitches {
  std::size_t first = 0;
  bool any = false;
};
PersistSwitches PersistSwitchWords(std::int32_t kind);

// Where the leaf of a slot's picture name starts: behind its last '\', '/' or ':', each a whole
// character as the code page reads the name (as the file is found), or 0.
std::size_t SlotNameLeafStart(std::string_view name);

// Ends the effect that `field` holds (the pausable timer manager deletes it) and empties the
// field; the effect no longer writes into it, so a late deletion cannot clear a newer effect.
void ReleaseSlotEffect(CEffect*& field);

void WriteBgRecordPrefix(const BgSlotRecord& record, ByteWriter& out);
// False (the record unchanged) when fewer than 196 bytes are left.
bool ReadBgRecordPrefix(ByteReader& in, BgSlotRecord& record);
void WriteSpriteRecordPrefix(const SpriteRecord& record, ByteWriter& out);
// False (the record unchanged) when fewer than 140 bytes are left.
bool ReadSpriteRecordPrefix(ByteReader& in, SpriteRecord& record);
