#include "effects/staff_roll/staff_roll_layout.h"

#include <cstring>
#include <optional>

#include "base/files/file.h"
#include "platform/encoding/sjis.h"
#include "scene/drawables/draw_list.h"
#include "ui/fonts/font.h"
#include "ui/fonts/text_image.h"

namespace {

// ReadLine's buffer: at most 511 bytes a line.
constexpr std::uint32_t kLineBuffer = 512;
constexpr std::size_t kMaxFaceName = 31;
constexpr std::int32_t kRollWidth = 800;

bool IsSkipped(char c) { return c == ' ' || c == '\t' || c == ',' || c == '(' || c == ')'; }

// The arguments after a keyword: values separated by commas, where an empty one (two commas in
// a row, or the end of the line) is absent.
class Arguments {
 public:
  explicit Arguments(const char* text) : p_(text) {}

  // Moves to the next argument: true when it holds a value.
  bool Next() {
    if (!first_) {
      SkipBlanks();
      if (*p_ == ',') ++p_;
    }
    first_ = false;
    SkipBlanks();
    return *p_ != '\0' && *p_ != ',';
  }

  // The next argument into `value` when present: false for a malformed number.
  bool Int(std::int32_t& value) {
    present_ = Next();
    if (!present_) return true;
    const bool negative = *p_ == '-';
    if (negative) ++p_;
    std::uint32_t base = 10;
    if (p_[0] == '0' && (p_[1] == 'x' || p_[1] == 'X')) base = 16;
    if (p_[0] == '0' && (p_[1] == 'b' || p_[1] == 'B')) base = 2;
    if (base != 10) p_ += 2;
    std::uint32_t number = 0;
    bool digits = false;
    for (;; ++p_, digits = true) {
      const std::optional<std::uint32_t> digit = Digit(*p_, base);
      if (!digit) break;
      number = number * base + *digit;
    }
    if (!digits || !(*p_ == '\0' || IsSkipped(*p_))) return false;
    value = static_cast<std::int32_t>(negative ? 0u - number : number);
    return true;
  }

  // The next argument, a quoted string, into `value` when present: false when present but not
  // a quoted string, or longer than `limit`.
  bool Quoted(std::string& value, std::size_t limit = std::string::npos) {
    present_ = Next();
    if (!present_) return true;
    if (*p_ != '"') return false;
    std::string text;
    for (++p_; *p_ != '"'; ++p_) {
      if (*p_ == '\0') return false;
      if (plat::IsSjisStrictLeadByte(static_cast<unsigned char>(*p_)) && p_[1] != '\0') text.push_back(*p_++);
      text.push_back(*p_);
    }
    ++p_;
    if (text.size() > limit) return false;
    value = std::move(text);
    return true;
  }
  // Whether the last argument read was there.
  bool WasPresent() const { return present_; }

 private:
  static std::optional<std::uint32_t> Digit(char c, std::uint32_t base) {
    std::uint32_t digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<std::uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    if (digit >= base) return std::nullopt;
    return digit;
  }
  void SkipBlanks() {
    while (*p_ == ' ' || *p_ == '\t' || *p_ == '(' || *p_ == ')') ++p_;
  }

  const char* p_;
  bool first_ = true;
  bool present_ = false;
};

bool StartsWith(const char* line, const char* keyword) { return std::strncmp(line, keyword, std::strlen(keyword)) == 0; }

class LayoutReader {
 public:
  LayoutReader(CDrawList& list, StaffRollLayout& layout) : list_(list), layout_(layout) {}

  std::int32_t Read(CFile& file) {
    char line[kLineBuffer];
    for (;;) {
      if (file.ReadLine(line, kLineBuffer) == 0) {
        // A line that does not fit is no end of the file.
        if (file.ReadLine(nullptr, 0) > 1) return kStaffMalformed;
        break;
      }
      const char* text = line;
      while (*text == ' ' || *text == '\t' || *text == ',') ++text;
      if (*text == '\0') continue;
      if (const std::int32_t status = ReadLine(text); status != 0) return status;
    }
    Finish();
    return 0;
  }

 private:
  std::int32_t ReadLine(const char* line) {
    if (StartsWith(line, "/*")) {
      ++comment_depth_;
      return 0;
    }
    if (comment_depth_ > 0) {
      if (StartsWith(line, "*/")) --comment_depth_;
      return 0;
    }
    struct Keyword {
      const char* name;
      std::int32_t (LayoutReader::*read)(Arguments&);
    };
    static constexpr Keyword kKeywords[] = {
        {"//", &LayoutReader::Ignore},      {"init", &LayoutReader::Init},     {"font", &LayoutReader::Font},
        {"layout", &LayoutReader::Layout},  {"text", &LayoutReader::Text},     {"gtext", &LayoutReader::TextPicture},
        {"laygrp", &LayoutReader::PictureSettings}, {"grp", &LayoutReader::Picture}, {"egrp", &LayoutReader::ClosePicture},
        {"end", &LayoutReader::End},
    };
    for (const Keyword& keyword : kKeywords) {
      if (!StartsWith(line, keyword.name)) continue;
      Arguments args(line + std::strlen(keyword.name));
      return (this->*keyword.read)(args);
    }
    return kStaffUnknownKeyword;
  }

  std::int32_t Ignore(Arguments&) { return 0; }

  std::int32_t Init(Arguments& args) {
    if (!args.Int(layout_.duration) || !args.Quoted(layout_.music)) return kStaffMalformed;
    return 0;
  }

  std::int32_t Font(Arguments& args) {
    if (!args.Quoted(face_, kMaxFaceName)) return kStaffBadFace;
    bool recreate = args.WasPresent();
    std::int32_t colour = 0xFFFFFF;
    for (std::int32_t* value : {&size_, &colour, &bold_, &italic_}) {
      if (!args.Int(*value)) return kStaffMalformed;
      if (value != &colour) recreate = recreate || args.WasPresent();
    }
    if (recreate || !font_.IsReady()) {
      font_.SetFont(size_, bold_ != 0 ? 1 : 0, italic_ != 0 ? 1 : 0, face_.c_str());
    }
    const auto rgb = static_cast<std::uint32_t>(colour);
    font_.text_color = {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                        static_cast<std::uint8_t>(rgb)};
    return 0;
  }

  std::int32_t Layout(Arguments& args) {
    if (!args.Int(layout_x_) || !args.Int(layout_mode_)) return kStaffMalformed;
    return 0;
  }

  std::int32_t Text(Arguments& args) {
    std::int32_t x = 0;
    std::int32_t gap = 0;
    std::string text;
    if (!args.Int(x) || !args.Int(gap)) return kStaffMalformed;
    if (!args.Quoted(text) || !args.WasPresent()) return kStaffBadText;
    auto image = std::make_unique<CImage>();
    if (!font_.IsReady()) font_.CreateGdiFont();
    if (text_image::CreateFromText(*image, text.c_str(), &font_, 0) != 0) return kStaffTextNotRendered;
    return PlaceLine(std::move(image), x, gap, true);
  }

  std::int32_t TextPicture(Arguments& args) {
    std::int32_t x = 0;
    std::int32_t gap = 0;
    std::string name;
    if (!args.Int(x) || !args.Int(gap)) return kStaffMalformed;
    if (!args.Quoted(name) || !args.WasPresent()) return kStaffBadTextPicture;
    auto image = std::make_unique<CImage>();
    if (image->LoadFile32(name.c_str(), nullptr, 0, 0) != 0) return kStaffTextPictureNotLoaded;
    return PlaceLine(std::move(image), x, gap, false);
  }

  std::int32_t PlaceLine(std::unique_ptr<CImage> image, std::int32_t x, std::int32_t gap, bool is_text) {
    auto item = std::make_unique<StaffTextItem>();
    item->image = std::move(image);
    item->sprite = std::make_unique<CSprite>();
    const std::int32_t width = item->image->GetWidth();
    switch (layout_mode_) {
      case 0:
        x += layout_x_;
        break;
      case 1:
        x += layout_x_ + ((kRollWidth - width - layout_x_) >> 1);
        break;
      case 2:
        x += layout_x_ - width;
        break;
      default:
        break;
    }
    item->base_y = current_y_ + gap;
    if (item->sprite->SetImage(item->image.get(), nullptr, x, item->base_y) != 0) return kStaffMalformed;
    if (is_text) item->sprite->SetBlendMode(2);
    if (list_.Insert(item->sprite.get(), 0, 0) != 0) return kStaffMalformed;
    current_y_ += gap;
    last_height_ = item->image->GetHeight();
    layout_.texts.push_back(std::move(item));
    return 0;
  }

  std::int32_t PictureSettings(Arguments& args) {
    if (!args.Int(group_start_) || !args.Int(group_length_) || !args.Int(group_fade_in_) ||
        !args.Int(group_fade_out_) || !args.Int(group_priority_)) {
      return kStaffMalformed;
    }
    return 0;
  }

  std::int32_t Picture(Arguments& args) {
    auto item = std::make_unique<StaffPictureItem>();
    std::string name;
    if (!args.Int(item->x) || !args.Int(item->y)) return kStaffMalformed;
    if (!args.Quoted(name)) return kStaffBadPicture;
    item->end_x = item->x;
    item->end_y = item->y;
    std::int32_t alpha = 255;
    if (!args.Int(item->end_x) || !args.Int(item->end_y) || !args.Int(alpha)) return kStaffMalformed;
    item->alpha = static_cast<std::uint8_t>(alpha);
    item->image = std::make_unique<CImage>();
    if (item->image->LoadFile32(name.c_str(), nullptr, 0, 0) != 0) return kStaffPictureNotLoaded;
    item->sprite = std::make_unique<CSprite>();
    if (item->sprite->SetImage(item->image.get(), nullptr, item->x, item->y) != 0) return kStaffMalformed;
    item->sprite->SetEnabled(false);
    item->sprite->SetOpacity(0);
    item->start = current_y_ + group_start_;
    item->end = group_length_ >= 0 ? item->start + group_length_ : -1;
    item->fade_in = group_fade_in_;
    item->fade_out = group_fade_out_;
    if (!layout_.pictures.empty()) {
      StaffPictureItem& previous = *layout_.pictures.back();
      if (previous.end < 0) previous.end = item->start;
      previous.span = previous.end - previous.start;
    }
    if (list_.Insert(item->sprite.get(), static_cast<std::uint32_t>(group_priority_), 0) != 0) return kStaffMalformed;
    layout_.pictures.push_back(std::move(item));
    return 0;
  }

  std::int32_t ClosePicture(Arguments& args) {
    std::int32_t offset = 0;
    if (!args.Int(offset)) return kStaffMalformed;
    if (!layout_.pictures.empty()) layout_.pictures.back()->end = current_y_ + offset + group_start_;
    return 0;
  }

  std::int32_t End(Arguments& args) {
    std::int32_t finish = layout_.finish;
    if (!args.Int(tail_) || !args.Int(layout_.hold) || !args.Int(layout_.fade) || !args.Int(finish)) {
      return kStaffMalformed;
    }
    layout_.finish = finish != 0 ? 1 : 0;
    return 0;
  }

  void Finish() {
    layout_.total_height = current_y_ + last_height_ + tail_;
    if (layout_.pictures.empty()) return;
    StaffPictureItem& last = *layout_.pictures.back();
    if (last.end < 0) last.end = layout_.total_height;
    last.span = last.end - last.start;
  }

  CDrawList& list_;
  StaffRollLayout& layout_;
  CFont font_;
  std::int32_t comment_depth_ = 0;
  std::string face_ = "SimSun";
  std::int32_t size_ = 24;
  std::int32_t bold_ = 0;
  std::int32_t italic_ = 0;
  std::int32_t layout_x_ = 0;
  std::int32_t layout_mode_ = 1;
  std::int32_t group_start_ = 0;
  std::int32_t group_length_ = -1;
  std::int32_t group_fade_in_ = 800;
  std::int32_t group_fade_out_ = 800;
  std::int32_t group_priority_ = 1000;
  std::int32_t tail_ = 0;
  std::int32_t current_y_ = 0;
  std::int32_t last_height_ = 0;
};

}  // namespace

std::int32_t LoadStaffRollLayout(const char* file_name, CDrawList& list, StaffRollLayout& layout) {
  layout.Clear();
  if (file_name == nullptr || *file_name == '\0') return kStaffNoFileName;
  CFile file;
  if (file.Load(file_name) != 0) return kStaffNoFile;
  const std::int32_t status = LayoutReader(list, layout).Read(file);
  if (status != 0) layout.Clear();
  return status;
}
