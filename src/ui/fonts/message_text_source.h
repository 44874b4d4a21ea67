// The message that a script text box prints: the scenario's message parser implements it. The
// parser walks the current message from stop to stop; the box places each character it reports
// and reacts to the stops.
#pragma once

#include <cstdint>
#include <string>

class IMessageText {
 public:
  // The kinds of the next stop.
  static constexpr int32_t kBadMarkup = -1;
  // The parser moved past one character, which CurrentPiece points at.
  static constexpr int32_t kCharacter = 0;
  // Stops at which the box waits for the player (3 also ends a page that filled up).
  static constexpr int32_t kWaitStop = 1;
  static constexpr int32_t kWaitStopAlternate = 2;
  static constexpr int32_t kPageStop = 3;
  static constexpr int32_t kNewPage = 4;
  static constexpr int32_t kEnd = 5;
  // A string to draw as one unit: CurrentString.
  static constexpr int32_t kString = 6;
  // A font size change of SizeValue pixels from the box's own size.
  static constexpr int32_t kSizeChange = 7;
  static constexpr int32_t kEmbeddedRecord = 8;

  virtual ~IMessageText() = default;

  virtual int32_t AdvanceToStop() = 0;
  // Moves the text cursor by n characters (negative: back).
  virtual void AdvanceChars(int32_t n) = 0;
  // The bytes of the character of the last kCharacter stop (one or two bytes; never empty).
  virtual const char* CurrentPiece() const = 0;
  virtual const char* CurrentString() const = 0;
  virtual int32_t SizeValue() const = 0;
  // Part 1 (the name) or 2 (the voice) of the speaker field, whose parts a backslash separates;
  // empty when the part does not exist.
  virtual std::string GetNamePart(int32_t part) const = 0;
  // Whether the player read this message in an earlier play.
  virtual bool IsRead() const = 0;
};
