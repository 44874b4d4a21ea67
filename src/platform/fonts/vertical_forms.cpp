#include "platform/fonts/vertical_forms.h"

#include <hb.h>

#include "platform/files/on_demand_library.h"

namespace plat {
namespace {

#define HARFBUZZ_ENTRIES(X)                                                                                        \
  X(hb_blob_create_from_file_or_fail) X(hb_blob_destroy) X(hb_face_create) X(hb_face_destroy)                      \
  X(hb_face_get_glyph_count) X(hb_font_create) X(hb_font_destroy) X(hb_font_get_nominal_glyph) X(hb_buffer_create) \
  X(hb_buffer_destroy) X(hb_buffer_add_utf32) X(hb_buffer_set_direction) X(hb_buffer_set_script)                  \
  X(hb_buffer_set_language) X(hb_language_from_string) X(hb_shape) X(hb_buffer_get_glyph_infos)

struct HarfBuzzEntries {
  HARFBUZZ_ENTRIES(KVX_LIBRARY_ENTRY)
};

// Null when the library cannot be opened: no face has vertical forms then.
const HarfBuzzEntries* HarfBuzzLibrary() {
  static OnDemandLibrary<HarfBuzzEntries> library("libharfbuzz.so.0", {HARFBUZZ_ENTRIES(KVX_LIBRARY_ENTRY_NAME)},
                                                  "vertical text shows the horizontal forms");
  return library.Get();
}

}  // namespace

struct VerticalForms::Handles {
  const HarfBuzzEntries& hb;
  hb_blob_t* blob = nullptr;
  hb_face_t* face = nullptr;
  hb_font_t* font = nullptr;

  explicit Handles(const HarfBuzzEntries& library) : hb(library) {}
  ~Handles() {
    if (font != nullptr) hb.hb_font_destroy(font);
    if (face != nullptr) hb.hb_face_destroy(face);
    if (blob != nullptr) hb.hb_blob_destroy(blob);
  }
  Handles(const Handles&) = delete;
  Handles& operator=(const Handles&) = delete;
};

std::unique_ptr<VerticalForms> VerticalForms::Open(const std::string& path, int index) {
  const HarfBuzzEntries* library = HarfBuzzLibrary();
  if (library == nullptr) return nullptr;
  const HarfBuzzEntries& hb = *library;
  auto handles = std::make_unique<Handles>(hb);
  handles->blob = hb.hb_blob_create_from_file_or_fail(path.c_str());
  if (handles->blob == nullptr || index < 0) return nullptr;
  handles->face = hb.hb_face_create(handles->blob, static_cast<unsigned>(index));
  if (hb.hb_face_get_glyph_count(handles->face) == 0) return nullptr;
  handles->font = hb.hb_font_create(handles->face);
  return std::unique_ptr<VerticalForms>(new VerticalForms(std::move(handles)));
}

VerticalForms::VerticalForms(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}

VerticalForms::~VerticalForms() = default;

uint32_t VerticalForms::GlyphFor(char32_t code_point) {
  if (const auto found = known_.find(code_point); found != known_.end()) return found->second;
  const HarfBuzzEntries& hb = handles_->hb;
  hb_codepoint_t plain = 0;
  hb.hb_font_get_nominal_glyph(handles_->font, code_point, &plain);
  // Shaping the lone character top to bottom applies the face's vertical substitutions.
  hb_buffer_t* buffer = hb.hb_buffer_create();
  const auto text = static_cast<uint32_t>(code_point);
  hb.hb_buffer_add_utf32(buffer, &text, 1, 0, 1);
  hb.hb_buffer_set_direction(buffer, HB_DIRECTION_TTB);
  hb.hb_buffer_set_script(buffer, HB_SCRIPT_HAN);
  hb.hb_buffer_set_language(buffer, hb.hb_language_from_string("ja", -1));
  hb.hb_shape(handles_->font, buffer, nullptr, 0);
  unsigned int length = 0;
  const hb_glyph_info_t* glyphs = hb.hb_buffer_get_glyph_infos(buffer, &length);
  uint32_t vertical = 0;
  if (length == 1 && glyphs[0].codepoint != plain) vertical = glyphs[0].codepoint;
  hb.hb_buffer_destroy(buffer);
  known_.emplace(code_point, vertical);
  return vertical;
}

}  // namespace plat
