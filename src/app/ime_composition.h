// The input method's composition as the focused text widget reads it: a new text once, then
// nothing until it changes.
#pragma once

#include <string>

class CImeComposition {
 public:
  static constexpr std::size_t kMostBytes = 127;

  // The composition when it differs from the one last returned; null when it is unchanged or
  // there is none (which forgets the last one).
  const char* Update();

 private:
  std::string kept_;
};
