#include "ui/fonts/gdi_font.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/encoding/sjis.h"
#include "platform/window/text_out.h"

namespace {

constexpr int32_t kBoldWeight = 700;
constexpr int32_t kNormalWeight = 400;
// Lines are measured and drawn through a buffer of this many bytes with its terminating zero;
// a longer line is cut before the character that would not fit.
constexpr std::size_t kLineBuffer = 256;

// The line that starts at `text`, up to the line break or the terminating zero.
std::string_view LineAt(const char* text) {
  std::string_view rest(text);
  const std::string_view line = rest.substr(0, rest.find('\n'));
  std::size_t kept = 0;
  while (kept < line.size()) {
    const std::size_t next = kept + plat::SjisCharLengthAt(line, kept);
    if (next > kLineBuffer - 1) break;
    kept = next;
  }
  return line.substr(0, kept);
}

// The next line after the one at `text`, or null after the last.
const char* NextLine(const char* text) {
  const char* end = std::strchr(text, '\n');
  return end != nullptr ? end + 1 : nullptr;
}

int32_t CountCharacters(std::string_view line) {
  int32_t count = 0;
  for (std::size_t i = 0; i < line.size(); i += plat::SjisCharLengthAt(line, i)) ++count;
  return count;
}

uint32_t PackRgb(const Rgb& colour) {
  return static_cast<uint32_t>(colour.red) << 16 | static_cast<uint32_t>(colour.green) << 8 | colour.blue;
}

}  // namespace

CGdiFont::CGdiFont(plat::FontFaceFactory open_face) : open_face_(std::move(open_face)) {}

CGdiFont::~CGdiFont() { ReleaseGdiObjects(); }

void CGdiFont::ReleaseGdiObjects() { face_.reset(); }

uint32_t CGdiFont::SetFont(int32_t size, uint8_t bold, uint8_t italic, const char* face_name) {
  if (face_name != nullptr) logical_font_.face_name = face_name;
  logical_font_.height = HeightOfSize(size);
  logical_font_.italic = italic;
  logical_font_.weight = bold != 0 ? kBoldWeight : kNormalWeight;
  return CreateGdiFont();
}

uint32_t CGdiFont::CreateGdiFont() {
  if (!FontHeightWithinBound(logical_font_.height)) {
    ReleaseGdiObjects();
    return 1;
  }
  plat::FontRequest request;
  request.face_name = logical_font_.face_name;
  request.height = logical_font_.height;
  request.weight = logical_font_.weight;
  request.italic = logical_font_.italic != 0;
  request.angle = logical_font_.escapement;
  std::unique_ptr<plat::IFontFace> face = open_face_(request);
  if (!face) {
    ReleaseGdiObjects();
    return 1;
  }
  face_ = std::move(face);
  return 0;
}

uint32_t CGdiFont::SetFaceNameIfChanged(const char* face_name) {
  if (face_name == nullptr) return 2;
  if (logical_font_.face_name == face_name) return 0;
  logical_font_.face_name = face_name;
  return CreateGdiFont();
}

uint32_t CGdiFont::SetSize(int32_t size) {
  const int32_t height = HeightOfSize(size);
  if (height == logical_font_.height) return 0;
  logical_font_.height = height;
  return CreateGdiFont();
}

uint32_t CGdiFont::SetBoldItalic(uint8_t bold, uint8_t italic) {
  logical_font_.weight = bold != 0 ? kBoldWeight : kNormalWeight;
  logical_font_.italic = italic;
  return CreateGdiFont();
}

uint32_t CGdiFont::SetAngle(int32_t angle) {
  if (angle == logical_font_.escapement) return 0;
  logical_font_.escapement = angle;
  logical_font_.orientation = angle;
  return CreateGdiFont();
}

void CGdiFont::SetGlyphFormat(uint8_t format) { glyph_format_ = format; }

void CGdiFont::SetBackground(uint8_t transparent, uint8_t red, uint8_t green, uint8_t blue) {
  transparent_ = transparent;
  background_color = Rgb{red, green, blue};
}

int32_t CGdiFont::MeasureText(const char* text, TextSize* size, int32_t* offset_x, int32_t* offset_y,
                              uint8_t with_decoration, int32_t* char_count) {
  if (text == nullptr || !face_) return 0;
  TextSize measured;
  int32_t lines = 0;
  int32_t characters = 0;
  for (const char* line = text; line != nullptr; line = NextLine(line)) {
    const std::string_view bytes = LineAt(line);
    const plat::TextExtent extent = face_->Extent(bytes);
    if (lines > 0) measured.cy += line_spacing;
    measured.cx = std::max(measured.cx, extent.cx);
    measured.cy += extent.cy;
    characters += CountCharacters(bytes);
    ++lines;
  }
  // The outline of text output is one pixel all round.
  FinishMeasurement(measured, with_decoration, 1, size, offset_x, offset_y);
  if (char_count != nullptr) *char_count = characters;
  return lines;
}

uint32_t CGdiFont::RenderText(plat::DeviceContext& dc, int32_t x, int32_t y, const char* text) {
  if (!face_ || text == nullptr) return 1;
  const int32_t angle = logical_font_.escapement;
  // A solid background behind a decorated line is filled as a box, only for upright text;
  // turned decorated text goes without one.
  const bool brush = transparent_ == 0 && decoration != 0 && angle == 0;
  const bool opaque_cells = transparent_ == 0 && decoration == 0;
  const TextSteps steps = TurnedSteps(false);
  const plat::Point& line_step = steps.line;
  const plat::Point& shadow = steps.shadow;
  plat::TextOutOptions options;
  options.angle = angle;
  options.background = PackRgb(background_color);
  options.underline = logical_font_.underline != 0;
  options.strike_out = logical_font_.strike_out != 0;
  for (const char* line = text; line != nullptr; line = NextLine(line)) {
    const std::string_view bytes = LineAt(line);
    if (brush) {
      const plat::TextExtent extent = face_->Extent(bytes);
      plat::Rect box{x, y, x + extent.cx, y + extent.cy};
      if (decoration == 1) {
        (shadow.x < 0 ? box.left : box.right) += shadow.x;
        (shadow.y < 0 ? box.top : box.bottom) += shadow.y;
      } else {
        box = plat::Rect{box.left - 1, box.top - 1, box.right + 1, box.bottom + 1};
      }
      if (logical_font_.italic != 0) box.right += std::abs(logical_font_.height) / 3;
      plat::FillRect(dc, box, options.background);
    }
    options.opaque = opaque_cells;
    if (decoration != 0) {
      options.text_colour = PackRgb(decoration_color);
      if (decoration == 1) {
        plat::TextOut(dc, *face_, x + shadow.x, y + shadow.y, bytes, options);
      } else {
        static constexpr plat::Point kNeighbours[] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 0}, {1, 1}};
        for (const plat::Point& neighbour : kNeighbours) {
          plat::TextOut(dc, *face_, x + neighbour.x, y + neighbour.y, bytes, options);
        }
      }
    }
    options.text_colour = PackRgb(text_color);
    plat::TextOut(dc, *face_, x, y, bytes, options);
    x += line_step.x;
    y += line_step.y;
  }
  return 0;
}
