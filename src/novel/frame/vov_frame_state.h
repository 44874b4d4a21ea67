// The novel frame's own part of a saved state, behind the scenario machine's record. It has a
// fixed head (the frame's state words, the background and sprite record prefixes, the message
// window's display block) and, behind the text log, a tail: the looping sound effects, the
// frame's name and the deferred block (the shown choice list and the displayed message).
//
// Everything is written field by field, little-endian. Reading goes into a fresh value that the
// caller's is replaced with only when the whole part was read: a short or damaged buffer leaves
// the caller's value, and the reader's position, as they were.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/numbers/byte_cursor.h"
#include "novel/page/vov_slot_records.h"

class CVovPage;

// The fourteen state words.
inline constexpr std::size_t kFrameStateWords = 14;
enum FrameStateWord : std::size_t {
  kStateResumeIndex = 0,      // a line whose offset a load resumes at; -1 none (resume where the record says)
  kStateLookRules = 1,        // bytes 0-2: mirror rule 1, mirror rule 2, the sprite tint setting
  kStateQuakeFirst = 2,       // words 2-7: the recorded screen quake
  kStateQuakeLast = 7,
  kStateCurrentWindow = 8,    // the current message window
  kStateBgm = 9,              // the current music number
  kStateNextSeChannel = 10,   // the channel the next sound effect takes
  kStateCurrentLine = 11,     // the scenario's current line (-1 none)
  kStateMessageFlags = 12,    // byte 2: the frame waits on a displayed message
  kStateNoMusic = 13,         // 1 when no music is to be played again
};

// The twelve words of the message window's display block.
inline constexpr std::size_t kWindowBlockWords = 12;
enum WindowBlockWord : std::size_t {
  kWindowDisplayFirst = 0,  // words 0-7: the window's display state, kept as saved
  kWindowDisplayLast = 7,
  kWindowZoom = 8,          // f32 bits; 0 when the window is not transformed
  kWindowAngle = 9,
  kWindowAnchorX = 10,
  kWindowAnchorY = 11,
};

inline constexpr std::size_t kFrameBgRecords = 2;
inline constexpr std::size_t kFrameSpriteRecords = 24;
inline constexpr std::size_t kFrameHeadSize = kFrameStateWords * 4 + kFrameBgRecords * kBgRecordPrefixSize +
                                              kFrameSpriteRecords * kSpriteRecordPrefixSize + kWindowBlockWords * 4;

struct VovFrameHead {
  std::array<std::int32_t, kFrameStateWords> words{};
  // The record prefixes as saved: background slot 0 then 1; the sprites in group order 1, 0, 2,
  // each group's front records before its back ones.
  std::array<std::array<std::uint8_t, kBgRecordPrefixSize>, kFrameBgRecords> bg{};
  std::array<std::array<std::uint8_t, kSpriteRecordPrefixSize>, kFrameSpriteRecords> sprites{};
  std::array<std::int32_t, kWindowBlockWords> window{};

  bool operator==(const VovFrameHead&) const = default;
};

void WriteFrameHead(const VovFrameHead& head, ByteWriter& out);
// False (nothing changed) when fewer than kFrameHeadSize bytes are left.
bool ReadFrameHead(ByteReader& in, VovFrameHead& head);

// The page's slot records into the head, and back: only their plain fields travel; the
// pictures, drawables and effects of the records stay as they are.
void CaptureSlotRecords(CVovPage& page, VovFrameHead& head);
void ApplySlotRecords(const VovFrameHead& head, CVovPage& page);

// The sound channels whose looping effects are saved.
inline constexpr std::size_t kFirstLoopingChannel = 8;
inline constexpr std::size_t kLoopingChannels = 4;

struct VovLoopingSound {
  bool looping = false;
  std::string name;
  std::uint8_t mode = 0;

  bool operator==(const VovLoopingSound&) const = default;
};

struct VovChoiceItem {
  std::uint32_t value = 0;
  std::uint8_t flag = 0;
  std::string text;

  bool operator==(const VovChoiceItem&) const = default;
};

struct VovDeferredBlock {
  // The shown choice list; no items: none shown.
  std::uint32_t list_value = 0;
  std::vector<VovChoiceItem> choices;
  // The displayed message's record bytes (empty: none) and its names.
  std::string message;
  std::string speaker;
  std::string voice;

  bool operator==(const VovDeferredBlock&) const = default;
};

struct VovFrameTail {
  std::array<VovLoopingSound, kLoopingChannels> loops;
  std::string name;
  VovDeferredBlock deferred;

  bool operator==(const VovFrameTail&) const = default;
};

// Every text is stored behind a one-byte length: it is cut at its first zero and, whole
// characters kept, to what that length can hold; a list keeps at most 255 choices.
inline constexpr std::size_t kMaxSavedChoices = 255;
std::uint32_t FrameTailSize(const VovFrameTail& tail);
void WriteFrameTail(const VovFrameTail& tail, ByteWriter& out);
// False (nothing changed) when a length runs past the data, a text lacks its closing zero, or
// the deferred block's parts do not fill it exactly.
bool ReadFrameTail(ByteReader& in, VovFrameTail& tail);
