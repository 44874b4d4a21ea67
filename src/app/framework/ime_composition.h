// The input method's composition as the focused text widget reads it: a new text once, then
// nothing until it or its selected segment changes.
#pragma once

#include <string>

#include "platform/encoding/text_composition.h"

class CImeComposition {
 public:
  static constexpr std::size_t kMostBytes = 127;

  // The composition when it differs from the one last returned; null when it is unchanged or
  // there is none (which forgets the last one).
  const char* Update();
  // What Update read last: empty when there is no composition.
  const plat::TextComposition& Current() const { return kept_; }

 private:
  plat::TextComposition kept_;
};
