// What the text fields and the input-mode label need of the input method, which the application
// provides: its open state and modes, the composition being typed, and binding the window whose
// typing goes to the focused field.
#pragma once

#include <cstdint>

#include "platform/encoding/text_composition.h"
#include "platform/system/geometry.h"

class CImeContext {
 public:
  // Conversion-mode bits.
  static constexpr uint32_t kNative = 0x01;
  static constexpr uint32_t kKatakana = 0x02;
  static constexpr uint32_t kFullShape = 0x08;
  static constexpr uint32_t kRoman = 0x10;
  static constexpr uint32_t kNoConversion = 0x100;
  // Sentence-mode bits.
  static constexpr uint32_t kPluralClause = 0x01;
  static constexpr uint32_t kSingleConversion = 0x02;
  static constexpr uint32_t kAutomatic = 0x04;
  static constexpr uint32_t kPhrasePredict = 0x08;

  virtual ~CImeContext() = default;
  virtual bool GetOpenStatus() const = 0;
  // False when the input method does not tell its modes (both are then 0).
  virtual bool GetConversionStatus(uint32_t& conversion, uint32_t& sentence) const = 0;
  // The composition as it stands now (empty text while there is none).
  virtual const plat::TextComposition& UpdateComposition() = 0;
  // Binds (true) or unbinds the window whose typing goes to the focused field.
  virtual void SetImeWindow(bool bound) = 0;
  // The focused field's typing area in game-screen pixels; the candidate list opens beside it.
  virtual void SetTextInputArea(const plat::Rect& area) = 0;
};

// The application's context; null while no application runs.
extern CImeContext* g_ImeContext;
