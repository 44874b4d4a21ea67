#include "platform/vertical_forms.h"

#include <hb.h>

namespace plat {

struct VerticalForms::Handles {
  hb_blob_t* blob = nullptr;
  hb_face_t* face = nullptr;
  hb_font_t* font = nullptr;

  ~Handles() {
    if (font != nullptr) hb_font_destroy(font);
    if (face != nullptr) hb_face_destroy(face);
    if (blob != nullptr) hb_blob_destroy(blob);
  }
};

std::unique_ptr<VerticalForms> VerticalForms::Open(const std::string& path, int index) {
  auto handles = std::make_unique<Handles>();
  handles->blob = hb_blob_create_from_file_or_fail(path.c_str());
  if (handles->blob == nullptr || index < 0) return nullptr;
  handles->face = hb_face_create(handles->blob, static_cast<unsigned>(index));
  if (hb_face_get_glyph_count(handles->face) == 0) return nullptr;
  handles->font = hb_font_create(handles->face);
  return std::unique_ptr<VerticalForms>(new VerticalForms(std::move(handles)));
}

VerticalForms::VerticalForms(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}

VerticalForms::~VerticalForms() = default;

uint32_t VerticalForms::GlyphFor(char32_t code_point) {
  if (const auto found = known_.find(code_point); found != known_.end()) return found->second;
  hb_codepoint_t plain = 0;
  hb_font_get_nominal_glyph(handles_->font, code_point, &plain);
  // Shaping the lone character top to bottom applies the face's vertical substitutions.
  hb_buffer_t* buffer = hb_buffer_create();
  const auto text = static_cast<uint32_t>(code_point);
  hb_buffer_add_utf32(buffer, &text, 1, 0, 1);
  hb_buffer_set_direction(buffer, HB_DIRECTION_TTB);
  hb_buffer_set_script(buffer, HB_SCRIPT_HAN);
  hb_buffer_set_language(buffer, hb_language_from_string("ja", -1));
  hb_shape(handles_->font, buffer, nullptr, 0);
  unsigned int length = 0;
  const hb_glyph_info_t* glyphs = hb_buffer_get_glyph_infos(buffer, &length);
  uint32_t vertical = 0;
  if (length == 1 && glyphs[0].codepoint != plain) vertical = glyphs[0].codepoint;
  hb_buffer_destroy(buffer);
  known_.emplace(code_point, vertical);
  return vertical;
}

}  // namespace plat
