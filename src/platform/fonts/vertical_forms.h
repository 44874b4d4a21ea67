// The vertical forms of a font file: the glyphs its layout tables put in place of a character
// when text runs from top to bottom (the long-vowel bar upright, brackets turned, the full stop
// in the upper right of its cell).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

namespace plat {

class VerticalForms {
 public:
  // Null when the file cannot be read as a font.
  static std::unique_ptr<VerticalForms> Open(const std::string& path, int index);
  ~VerticalForms();
  VerticalForms(const VerticalForms&) = delete;
  VerticalForms& operator=(const VerticalForms&) = delete;

  // The glyph index of the character's vertical form; 0 when the face has none for it.
  uint32_t GlyphFor(char32_t code_point);

 private:
  struct Handles;
  explicit VerticalForms(std::unique_ptr<Handles> handles);

  std::unique_ptr<Handles> handles_;
  std::unordered_map<char32_t, uint32_t> known_;
};

}  // namespace plat
