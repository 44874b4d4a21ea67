// picture_draw: draws a picture of plain shapes and lines of text and writes it as an RGBA PNG
// (for elg_encode). The shapes are painted in order; each replaces the pixels it covers, alpha
// included, while text is laid over what lies beneath it by the grey levels of its glyphs.
//
//   picture_draw <output.png> <width>x<height> <shape> ...
//
//   fill=COLOUR                    the whole picture
//   rect=X,Y,W,H,COLOUR            a rectangle
//   ellipse=CX,CY,RX,RY,COLOUR     the pixels whose centres lie inside the ellipse
//   gradient=X,Y,W,H,TOP,BOTTOM    a rectangle shading from the top row's colour to the bottom's
//   text=CX,CY,SIZE,COLOUR,TEXT    a line of UTF-8 text (commas included) centred on (CX, CY), in
//                                  the engine's proportional gothic face, SIZE pixels high
//
// Colours are hexadecimal RRGGBB (opaque) or AARRGGBB; the picture starts transparent black.
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/encoding/sjis.h"
#include "platform/encoding/text_encoding.h"
#include "platform/fonts/font_face.h"
#include "tool_usage.h"

namespace {

// The proportional gothic that games name for labels, as the engine's font layer resolves it.
constexpr char kLabelFace[] = "ＭＳ Ｐゴシック";
// The grey levels of the glyphs the text is drawn with: 0 (uncovered) to 64 (covered).
constexpr int kGreyLevels = 64;

struct Canvas {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;

  void Paint(int x, int y, std::uint32_t argb) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    std::uint8_t* pixel = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    pixel[0] = static_cast<std::uint8_t>(argb >> 16);
    pixel[1] = static_cast<std::uint8_t>(argb >> 8);
    pixel[2] = static_cast<std::uint8_t>(argb);
    pixel[3] = static_cast<std::uint8_t>(argb >> 24);
  }

  // Lays `argb` over the pixel with `cover` (0 to kGreyLevels) of its alpha.
  void Blend(int x, int y, std::uint32_t argb, int cover) {
    if (x < 0 || y < 0 || x >= width || y >= height || cover <= 0) return;
    std::uint8_t* pixel = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
    const double alpha = (argb >> 24) / 255.0 * cover / kGreyLevels;
    const double under = pixel[3] / 255.0 * (1.0 - alpha);
    const double total = alpha + under;
    if (total <= 0.0) return;
    for (int channel = 0; channel < 3; ++channel) {
      const double ink = static_cast<std::uint8_t>(argb >> (16 - 8 * channel));
      pixel[channel] = static_cast<std::uint8_t>(std::lround((ink * alpha + pixel[channel] * under) / total));
    }
    pixel[3] = static_cast<std::uint8_t>(std::lround(total * 255.0));
  }
};

std::uint32_t Colour(std::string_view text) {
  if (text.size() != 6 && text.size() != 8) throw std::invalid_argument("a colour is RRGGBB or AARRGGBB");
  std::size_t used = 0;
  const std::uint32_t value = static_cast<std::uint32_t>(std::stoul(std::string(text), &used, 16));
  if (used != text.size()) throw std::invalid_argument("a colour is hexadecimal");
  return text.size() == 6 ? 0xFF000000u | value : value;
}

// The comma-separated values; with a `limit`, the last of that many takes the rest, commas and
// all (0: no limit).
std::vector<std::string_view> Fields(std::string_view text, std::size_t limit) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t comma = fields.size() + 1 == limit ? std::string_view::npos : text.find(',', start);
    fields.push_back(text.substr(start, comma - start));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

int Number(std::string_view text) {
  std::size_t used = 0;
  const int value = std::stoi(std::string(text), &used);
  if (used != text.size()) throw std::invalid_argument("not a whole number: " + std::string(text));
  return value;
}

std::uint8_t Mix(std::uint32_t top, std::uint32_t bottom, int shift, int row, int rows) {
  const int a = static_cast<int>(top >> shift & 0xFF);
  const int b = static_cast<int>(bottom >> shift & 0xFF);
  return static_cast<std::uint8_t>(rows <= 1 ? a : a + (b - a) * row / (rows - 1));
}

void Rectangle(Canvas& canvas, const std::vector<std::string_view>& f, bool shaded) {
  const int x = Number(f[0]), y = Number(f[1]), w = Number(f[2]), h = Number(f[3]);
  const std::uint32_t top = Colour(f[4]);
  const std::uint32_t bottom = shaded ? Colour(f[5]) : top;
  for (int row = 0; row < h; ++row) {
    std::uint32_t colour = 0;
    for (int shift = 0; shift < 32; shift += 8) colour |= std::uint32_t{Mix(top, bottom, shift, row, h)} << shift;
    for (int column = 0; column < w; ++column) canvas.Paint(x + column, y + row, colour);
  }
}

void Ellipse(Canvas& canvas, const std::vector<std::string_view>& f) {
  const int cx = Number(f[0]), cy = Number(f[1]), rx = Number(f[2]), ry = Number(f[3]);
  if (rx <= 0 || ry <= 0) throw std::invalid_argument("an ellipse's radii must be positive");
  const std::uint32_t colour = Colour(f[4]);
  for (int y = cy - ry; y <= cy + ry; ++y) {
    for (int x = cx - rx; x <= cx + rx; ++x) {
      const double dx = (x - cx) / static_cast<double>(rx);
      const double dy = (y - cy) / static_cast<double>(ry);
      if (dx * dx + dy * dy <= 1.0) canvas.Paint(x, y, colour);
    }
  }
}

// Lays a glyph whose top-left corner lies at (left, top) over the canvas.
void PutGlyph(Canvas& canvas, const plat::GlyphBitmap& glyph, int left, int top, std::uint32_t colour) {
  if (glyph.width > glyph.pitch || glyph.bits.size() < static_cast<std::size_t>(glyph.pitch) * glyph.height) return;
  for (int row = 0; row < glyph.height; ++row) {
    for (int column = 0; column < glyph.width; ++column) {
      canvas.Blend(left + column, top + row, colour, glyph.bits[static_cast<std::size_t>(row) * glyph.pitch + column]);
    }
  }
}

void Text(Canvas& canvas, const std::vector<std::string_view>& f) {
  const int cx = Number(f[0]), cy = Number(f[1]), size = Number(f[2]);
  if (size < 4 || size > 256) throw std::invalid_argument("a text's size is 4 to 256 pixels");
  const std::uint32_t colour = Colour(f[3]);
  const std::string sjis = plat::Utf8ToSjis(f[4]);
  const std::unique_ptr<plat::IFontFace> face = plat::OpenFontFace({plat::Utf8ToSjis(kLabelFace), -size});
  if (!face) throw std::runtime_error("no Japanese gothic face is installed");
  const plat::FontMetrics metrics = face->Metrics();
  int pen = cx - face->Extent(sjis).cx / 2;
  const int baseline = cy - metrics.height / 2 + metrics.ascent;
  for (std::size_t i = 0; i < sjis.size();) {
    const std::string_view character = std::string_view(sjis).substr(i, plat::SjisCharLengthAt(sjis, i));
    i += character.size();
    std::uint16_t code = static_cast<unsigned char>(character[0]);
    if (character.size() == 2) code = static_cast<std::uint16_t>(code << 8 | static_cast<unsigned char>(character[1]));
    if (const std::optional<plat::GlyphBitmap> glyph = face->Glyph(code, plat::GlyphBitmapFormat::kGray65, 1)) {
      PutGlyph(canvas, *glyph, pen + glyph->origin_x, baseline - glyph->origin_y, colour);
    }
    pen += face->Extent(character).cx;
  }
}

void Draw(Canvas& canvas, std::string_view shape) {
  const std::size_t equals = shape.find('=');
  if (equals == std::string_view::npos) throw std::invalid_argument("a shape is NAME=VALUES");
  const std::string_view name = shape.substr(0, equals);
  const bool text = name == "text";
  const std::vector<std::string_view> f = Fields(shape.substr(equals + 1), text ? 5 : 0);
  const auto expect = [&](std::size_t count) {
    if (f.size() != count) throw std::invalid_argument(std::string(name) + " takes " + std::to_string(count) + " values");
  };
  if (name == "fill") {
    expect(1);
    const std::uint32_t colour = Colour(f[0]);
    for (int y = 0; y < canvas.height; ++y) {
      for (int x = 0; x < canvas.width; ++x) canvas.Paint(x, y, colour);
    }
  } else if (name == "rect") {
    expect(5);
    Rectangle(canvas, f, false);
  } else if (name == "gradient") {
    expect(6);
    Rectangle(canvas, f, true);
  } else if (name == "ellipse") {
    expect(5);
    Ellipse(canvas, f);
  } else if (text) {
    expect(5);
    Text(canvas, f);
  } else {
    throw std::invalid_argument("unknown shape: " + std::string(name));
  }
}

std::optional<Canvas> NewCanvas(std::string_view size) {
  const std::size_t cross = size.find('x');
  if (cross == std::string_view::npos) return std::nullopt;
  Canvas canvas;
  canvas.width = Number(size.substr(0, cross));
  canvas.height = Number(size.substr(cross + 1));
  if (canvas.width < 1 || canvas.height < 1 || canvas.width > 4096 || canvas.height > 4096) return std::nullopt;
  canvas.rgba.assign(static_cast<std::size_t>(canvas.width) * canvas.height * 4, 0);
  return canvas;
}

}  // namespace

int main(int argc, char** argv) {
  constexpr const char* kUsage = "usage: picture_draw <output.png> <width>x<height> <shape> ...\n";
  if (kvxtools::AskedForUsage(argc, argv, kUsage)) return 0;
  if (argc < 3) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  try {
    std::optional<Canvas> canvas = NewCanvas(argv[2]);
    if (!canvas) throw std::invalid_argument("the size is WIDTHxHEIGHT, each 1 to 4096");
    for (int i = 3; i < argc; ++i) Draw(*canvas, argv[i]);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(canvas->width);
    image.height = static_cast<png_uint_32>(canvas->height);
    image.format = PNG_FORMAT_RGBA;
    if (png_image_write_to_file(&image, argv[1], 0, canvas->rgba.data(), 0, nullptr) == 0) {
      throw std::runtime_error(std::string("cannot write ") + argv[1] + ": " + image.message);
    }
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "picture_draw: error: %s\n", error.what());
    return 1;
  }
}
