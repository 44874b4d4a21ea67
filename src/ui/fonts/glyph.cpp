#include "ui/fonts/glyph.h"

void CGlyph::Release(CGlyph* glyph) {
  if (glyph == nullptr) return;
  if (glyph->extra_references > 0) {
    --glyph->extra_references;
    return;
  }
  delete glyph;
}
