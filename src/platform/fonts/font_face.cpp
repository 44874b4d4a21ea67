#include "platform/fonts/font_face.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "platform/encoding/sjis.h"
#include "platform/encoding/text_encoding.h"
#include "platform/fonts/font_libraries.h"
#include "platform/fonts/vertical_forms.h"

namespace plat {
namespace {

// fontconfig by itself maps the Windows Japanese face names to Latin faces without kanji; these
// name the Japanese family instead, with its generic family as the second choice.
struct FaceAlias {
  std::string_view name;
  std::string_view family;
  std::string_view generic;
};

constexpr std::array<FaceAlias, 14> kFaceAliases{{
    {"ＭＳ ゴシック", "IPAGothic", "monospace"},
    {"MS ゴシック", "IPAGothic", "monospace"},
    {"MS Gothic", "IPAGothic", "monospace"},
    {"ＭＳ Ｐゴシック", "IPAPGothic", "sans-serif"},
    {"MS Pゴシック", "IPAPGothic", "sans-serif"},
    {"MS PGothic", "IPAPGothic", "sans-serif"},
    {"MS UI Gothic", "IPAPGothic", "sans-serif"},
    {"ＭＳ 明朝", "IPAMincho", "serif"},
    {"MS 明朝", "IPAMincho", "serif"},
    {"MS Mincho", "IPAMincho", "serif"},
    {"ＭＳ Ｐ明朝", "IPAPMincho", "serif"},
    {"MS P明朝", "IPAPMincho", "serif"},
    {"MS PMincho", "IPAPMincho", "serif"},
    {"SimSun", "IPAMincho", "serif"},
}};

struct ResolvedFamily {
  std::string family;
  std::string generic;
};

ResolvedFamily ResolveFamily(std::string_view sjis_face_name) {
  if (!sjis_face_name.empty() && sjis_face_name.front() == '@') sjis_face_name.remove_prefix(1);
  const std::string name = SjisToUtf8(sjis_face_name);
  for (const FaceAlias& alias : kFaceAliases) {
    if (alias.name == name) return {std::string(alias.family), std::string(alias.generic)};
  }
  return {name, "sans-serif"};
}

class FreeTypeLibrary {
 public:
  FreeTypeLibrary() : ft_(FreeTypeLibraryEntries()) {
    if (ft_ != nullptr && ft_->FT_Init_FreeType(&library_) != 0) library_ = nullptr;
  }
  ~FreeTypeLibrary() {
    if (library_ != nullptr) ft_->FT_Done_FreeType(library_);
  }
  FreeTypeLibrary(const FreeTypeLibrary&) = delete;
  FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;
  // Null when FreeType cannot be used.
  FT_Library get() const { return library_; }
  // Only once get() gave a library.
  const FreeTypeEntries& ft() const { return *ft_; }

 private:
  const FreeTypeEntries* ft_;
  FT_Library library_ = nullptr;
};

// Every face holds the library too: a face that lives past the program's exit handlers (a
// font of a static object) is closed before the library goes.
std::shared_ptr<FreeTypeLibrary> SharedLibrary() {
  static const std::shared_ptr<FreeTypeLibrary> library = std::make_shared<FreeTypeLibrary>();
  return library;
}

// fontconfig keeps its configuration for the whole process; it is given back at exit.
class FontconfigSession {
 public:
  FontconfigSession() : fc_(FontconfigLibraryEntries()) {
    if (fc_ != nullptr && fc_->FcInit() == FcFalse) fc_ = nullptr;
  }
  ~FontconfigSession() {
    if (fc_ != nullptr) fc_->FcFini();
  }
  FontconfigSession(const FontconfigSession&) = delete;
  FontconfigSession& operator=(const FontconfigSession&) = delete;
  const FontconfigEntries* fc() const { return fc_; }

 private:
  const FontconfigEntries* fc_;
};

// Null when fontconfig cannot be used.
const FontconfigEntries* ReadyFontconfig() {
  static FontconfigSession session;
  return session.fc();
}

struct FontFile {
  std::string path;
  int index = 0;
};

std::optional<FontFile> FindFontFile(std::string_view sjis_face_name) {
  const FontconfigEntries* fc = ReadyFontconfig();
  if (fc == nullptr) return std::nullopt;
  const ResolvedFamily resolved = ResolveFamily(sjis_face_name);
  FcPattern* pattern = fc->FcPatternCreate();
  if (pattern == nullptr) return std::nullopt;
  if (!resolved.family.empty()) {
    fc->FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(resolved.family.c_str()));
  }
  fc->FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(resolved.generic.c_str()));
  fc->FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  fc->FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  fc->FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = fc->FcFontMatch(nullptr, pattern, &result);
  fc->FcPatternDestroy(pattern);
  if (match == nullptr) return std::nullopt;
  std::optional<FontFile> file;
  FcChar8* path = nullptr;
  if (fc->FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
    int index = 0;
    fc->FcPatternGetInteger(match, FC_INDEX, 0, &index);
    file = FontFile{reinterpret_cast<const char*>(path), index};
  }
  fc->FcPatternDestroy(match);
  return file;
}

constexpr std::int32_t RoundUp26Dot6(FT_Pos value) { return static_cast<std::int32_t>((value + 63) >> 6); }

// Slant of synthesised italics: a third of the height, as the measured width allows for.
constexpr double kItalicShear = 1.0 / 3.0;
// Synthesised bold widens each stroke by one pixel.
constexpr FT_Pos kBoldStrength = 64;

class FreeTypeFace final : public IFontFace {
 public:
  // `vertical_forms` is given to a vertical ("@") face; it may be null when the file has none.
  FreeTypeFace(std::shared_ptr<FreeTypeLibrary> library, FT_Face face, const FontRequest& request, bool vertical,
               std::unique_ptr<VerticalForms> vertical_forms)
      : library_(std::move(library)),
        ft_(library_->ft()),
        face_(face),
        request_(request),
        vertical_(vertical),
        vertical_forms_(std::move(vertical_forms)) {}
  ~FreeTypeFace() override { ft_.FT_Done_Face(face_); }
  FreeTypeFace(const FreeTypeFace&) = delete;
  FreeTypeFace& operator=(const FreeTypeFace&) = delete;

  bool SetSize() {
    std::int32_t pixels = std::abs(request_.height);
    if (request_.height > 0) {
      const FT_Long cell_units = face_->ascender - face_->descender;
      if (cell_units > 0) {
        const double em_share = static_cast<double>(face_->units_per_EM) / static_cast<double>(cell_units);
        pixels = static_cast<std::int32_t>(std::lround(request_.height * em_share));
      }
    }
    if (pixels <= 0) pixels = 16;
    return ft_.FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixels)) == 0;
  }

  FontMetrics Metrics() const override {
    const FT_Size_Metrics& metrics = face_->size->metrics;
    FontMetrics result;
    result.ascent = RoundUp26Dot6(metrics.ascender);
    result.descent = RoundUp26Dot6(-metrics.descender);
    result.height = result.ascent + result.descent;
    // Font units to whole pixels, at least one pixel thick.
    const auto pixels = [&](FT_Short units) {
      return static_cast<std::int32_t>((ft_.FT_MulFix(units, metrics.y_scale) + 32) >> 6);
    };
    result.underline_thickness = std::max(1, pixels(face_->underline_thickness));
    // Kept inside the cell, as the cell is all that text output paints.
    result.underline_below = std::clamp(-pixels(face_->underline_position) - result.underline_thickness / 2, 0,
                                        std::max(0, result.descent - result.underline_thickness));
    result.strike_out_above = result.ascent / 3;
    result.strike_out_thickness = result.underline_thickness;
    if (const auto* os2 = static_cast<const TT_OS2*>(ft_.FT_Get_Sfnt_Table(face_, FT_SFNT_OS2)); os2 != nullptr) {
      result.strike_out_thickness = std::max(1, pixels(os2->yStrikeoutSize));
      result.strike_out_above = pixels(os2->yStrikeoutPosition);
    }
    return result;
  }

  TextExtent Extent(std::string_view sjis) override {
    ft_.FT_Set_Transform(face_, nullptr, nullptr);
    TextExtent extent{0, Metrics().height};
    for (std::size_t i = 0; i < sjis.size();) {
      const std::size_t length = SjisCharLengthAt(sjis, i);
      std::uint16_t code = static_cast<unsigned char>(sjis[i]);
      if (length == 2) code = static_cast<std::uint16_t>(code << 8 | static_cast<unsigned char>(sjis[i + 1]));
      i += length;
      if (ft_.FT_Load_Glyph(face_, GlyphIndex(code), FT_LOAD_NO_BITMAP) != 0) continue;
      extent.cx += static_cast<std::int32_t>((face_->glyph->advance.x + 32) >> 6);
      if (Bold()) ++extent.cx;
    }
    return extent;
  }

  std::optional<GlyphBitmap> Glyph(std::uint16_t code, GlyphBitmapFormat format,
                                   std::int32_t scale) override {
    FT_UInt index = GlyphIndex(code);
    // A vertical face turns its double-byte characters a quarter turn counter-clockwise, in
    // their vertical forms where it has them, so that they stand upright in text written
    // downwards; one-byte characters keep lying along the line.
    if (vertical_ && code > 0xFF) {
      std::optional<FT_Pos> advance = UnturnedAdvance(index);
      if (!advance) return std::nullopt;
      if (vertical_forms_) {
        if (const uint32_t form = vertical_forms_->GlyphFor(SjisCodeToUnicode(code)); form != 0) index = form;
      }
      SetGlyphTransform(scale, *advance);
    } else {
      SetGlyphTransform(scale, std::nullopt);
    }
    if (ft_.FT_Load_Glyph(face_, index, FT_LOAD_NO_BITMAP) != 0) return std::nullopt;
    FT_GlyphSlot slot = face_->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE && Bold()) {
      ft_.FT_Outline_EmboldenXY(&slot->outline, kBoldStrength * scale, 0);
    }
    const FT_Render_Mode mode = format == GlyphBitmapFormat::kMono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL;
    if (ft_.FT_Render_Glyph(slot, mode) != 0) return std::nullopt;
    return CopyBitmap(slot, format);
  }

 private:
  bool Bold() const { return request_.weight >= 700; }

  FT_UInt GlyphIndex(std::uint16_t code) const {
    const char32_t code_point = SjisCodeToUnicode(code);
    return code_point == 0 && code != 0 ? 0 : ft_.FT_Get_Char_Index(face_, code_point);
  }

  std::optional<FT_Pos> UnturnedAdvance(FT_UInt index) {
    ft_.FT_Set_Transform(face_, nullptr, nullptr);
    if (ft_.FT_Load_Glyph(face_, index, FT_LOAD_NO_BITMAP) != 0) return std::nullopt;
    return face_->glyph->advance.x;
  }

  // Scale, then the angle of the text after the italic shear; with `upright_advance` (26.6) the
  // glyph is first turned a quarter counter-clockwise about the middle of its cell, so that the
  // turned glyph fills the same cell.
  void SetGlyphTransform(std::int32_t scale, std::optional<FT_Pos> upright_advance) {
    const double radians = request_.angle / 10.0 * std::numbers::pi / 180.0;
    const double c = std::cos(radians) * scale;
    const double s = std::sin(radians) * scale;
    const double shear = request_.italic ? kItalicShear : 0.0;
    // Rotation after the shear: [c -s; s c] · [1 shear; 0 1].
    double xx = c;
    double xy = c * shear - s;
    double yx = s;
    double yy = s * shear + c;
    FT_Vector delta{0, 0};
    if (upright_advance) {
      const FT_Size_Metrics& metrics = face_->size->metrics;
      const double middle_x = static_cast<double>(*upright_advance) / 2.0;
      const double middle_y = static_cast<double>(metrics.ascender + metrics.descender) / 2.0;
      // p -> [0 -1; 1 0] p + t turns about the middle; the transform applies to that result.
      const double tx = middle_x + middle_y;
      const double ty = middle_y - middle_x;
      delta.x = static_cast<FT_Pos>(std::lround(xx * tx + xy * ty));
      delta.y = static_cast<FT_Pos>(std::lround(yx * tx + yy * ty));
      const double turned_xx = xy;
      const double turned_xy = -xx;
      const double turned_yx = yy;
      const double turned_yy = -yx;
      xx = turned_xx;
      xy = turned_xy;
      yx = turned_yx;
      yy = turned_yy;
    }
    FT_Matrix matrix;
    matrix.xx = static_cast<FT_Fixed>(std::lround(xx * 65536.0));
    matrix.xy = static_cast<FT_Fixed>(std::lround(xy * 65536.0));
    matrix.yx = static_cast<FT_Fixed>(std::lround(yx * 65536.0));
    matrix.yy = static_cast<FT_Fixed>(std::lround(yy * 65536.0));
    ft_.FT_Set_Transform(face_, &matrix, &delta);
  }

  static GlyphBitmap CopyBitmap(FT_GlyphSlot slot, GlyphBitmapFormat format) {
    const FT_Bitmap& source = slot->bitmap;
    GlyphBitmap glyph;
    glyph.origin_x = slot->bitmap_left;
    glyph.origin_y = slot->bitmap_top;
    if (source.width == 0 || source.rows == 0) return glyph;
    glyph.width = static_cast<std::int32_t>(source.width);
    glyph.height = static_cast<std::int32_t>(source.rows);
    const bool mono = format == GlyphBitmapFormat::kMono;
    glyph.pitch = mono ? ((glyph.width + 7) / 8 + 3) & ~3 : (glyph.width + 3) & ~3;
    glyph.bits.assign(static_cast<std::size_t>(glyph.pitch) * glyph.height, 0);
    const int levels = format == GlyphBitmapFormat::kGray17 ? 16 : 64;
    const std::int32_t row_bytes = mono ? (glyph.width + 7) / 8 : glyph.width;
    for (std::int32_t y = 0; y < glyph.height; ++y) {
      const unsigned char* in = source.buffer + static_cast<std::ptrdiff_t>(y) * source.pitch;
      std::uint8_t* out = glyph.bits.data() + static_cast<std::size_t>(y) * glyph.pitch;
      for (std::int32_t x = 0; x < row_bytes; ++x) {
        out[x] = mono ? in[x] : static_cast<std::uint8_t>((in[x] * levels + 127) / 255);
      }
    }
    return glyph;
  }

  std::shared_ptr<FreeTypeLibrary> library_;
  const FreeTypeEntries& ft_;
  FT_Face face_;
  FontRequest request_;
  bool vertical_;
  std::unique_ptr<VerticalForms> vertical_forms_;
};

}  // namespace


std::string FontPatternFor(std::string_view sjis_face_name) {
  const ResolvedFamily resolved = ResolveFamily(sjis_face_name);
  return resolved.family + "," + resolved.generic + ":lang=ja";
}

std::string FontFilePath(std::string_view sjis_face_name) {
  const std::optional<FontFile> file = FindFontFile(sjis_face_name);
  return file ? file->path : std::string();
}

bool IsFontFaceInstalled(std::string_view sjis_face_name) {
  const FontconfigEntries* fc = ReadyFontconfig();
  if (fc == nullptr) return false;
  const ResolvedFamily resolved = ResolveFamily(sjis_face_name);
  if (resolved.family.empty()) return false;
  FcPattern* pattern = fc->FcPatternCreate();
  FcObjectSet* objects = fc->FcObjectSetBuild(FC_FAMILY, nullptr);
  if (pattern != nullptr) {
    fc->FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(resolved.family.c_str()));
  }
  FcFontSet* set = pattern != nullptr && objects != nullptr ? fc->FcFontList(nullptr, pattern, objects) : nullptr;
  const bool installed = set != nullptr && set->nfont > 0;
  if (set != nullptr) fc->FcFontSetDestroy(set);
  if (objects != nullptr) fc->FcObjectSetDestroy(objects);
  if (pattern != nullptr) fc->FcPatternDestroy(pattern);
  return installed;
}

std::unique_ptr<IFontFace> OpenFontFace(const FontRequest& request) {
  std::shared_ptr<FreeTypeLibrary> library = SharedLibrary();
  if (library->get() == nullptr) return nullptr;
  const std::optional<FontFile> file = FindFontFile(request.face_name);
  if (!file) return nullptr;
  FT_Face face = nullptr;
  if (library->ft().FT_New_Face(library->get(), file->path.c_str(), file->index, &face) != 0) return nullptr;
  const bool vertical = !request.face_name.empty() && request.face_name.front() == '@';
  auto result = std::make_unique<FreeTypeFace>(std::move(library), face, request, vertical,
                                               vertical ? VerticalForms::Open(file->path, file->index) : nullptr);
  if (!result->SetSize()) return nullptr;
  return result;
}

namespace {

// The engine's name of a family: the first Windows name the alias table gives it.
std::string EngineNameOf(std::string_view family) {
  for (const FaceAlias& alias : kFaceAliases) {
    if (alias.family == family) return Utf8ToSjis(alias.name);
  }
  return Utf8ToSjis(family);
}

}  // namespace

std::vector<InstalledFace> ListInstalledFaces() {
  std::vector<InstalledFace> faces;
  const FontconfigEntries* fc = ReadyFontconfig();
  if (fc == nullptr) return faces;
  FcPattern* pattern = fc->FcPatternCreate();
  if (pattern != nullptr) fc->FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
  FcObjectSet* objects = fc->FcObjectSetBuild(FC_FAMILY, FC_SPACING, FC_OUTLINE, nullptr);
  FcFontSet* set = pattern != nullptr && objects != nullptr ? fc->FcFontList(nullptr, pattern, objects) : nullptr;
  for (int i = 0; set != nullptr && i < set->nfont; ++i) {
    FcChar8* family = nullptr;
    if (fc->FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch) continue;
    InstalledFace face;
    face.face_name = EngineNameOf(reinterpret_cast<const char*>(family));
    int spacing = FC_PROPORTIONAL;
    fc->FcPatternGetInteger(set->fonts[i], FC_SPACING, 0, &spacing);
    face.fixed_pitch = spacing == FC_MONO || spacing == FC_DUAL;
    FcBool outline = FcTrue;
    fc->FcPatternGetBool(set->fonts[i], FC_OUTLINE, 0, &outline);
    face.scalable = outline != FcFalse;
    const bool known = std::any_of(faces.begin(), faces.end(),
                                   [&face](const InstalledFace& f) { return f.face_name == face.face_name; });
    if (!known) faces.push_back(face);
  }
  if (set != nullptr) fc->FcFontSetDestroy(set);
  if (objects != nullptr) fc->FcObjectSetDestroy(objects);
  if (pattern != nullptr) fc->FcPatternDestroy(pattern);
  std::sort(faces.begin(), faces.end(),
            [](const InstalledFace& a, const InstalledFace& b) { return a.face_name < b.face_name; });
  std::vector<InstalledFace> with_vertical;
  for (const InstalledFace& face : faces) {
    with_vertical.push_back(face);
    with_vertical.push_back(face);
    with_vertical.back().face_name = std::string("@").append(face.face_name);
  }
  return with_vertical;
}

}  // namespace plat
