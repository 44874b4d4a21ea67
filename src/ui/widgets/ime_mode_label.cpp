#include "ui/widgets/ime_mode_label.h"

#include <algorithm>
#include <cstdlib>

#include "scene/drawables/draw_list.h"
#include "ui/fonts/font.h"
#include "ui/widgets/ime_context.h"

namespace {

constexpr uint32_t kLabelPriority = 0;
constexpr char kAlphanumeric[] = "\x89\x70\x90\x94";  // 英数
constexpr char kRoman[] = "\x82\x71";                 // Ｒ
constexpr char kFullShape[] = "\x91\x53";             // 全
constexpr char kHalfShape[] = "\x94\xBC";             // 半
constexpr char kKatakana[] = "\x83\x4A";              // カ
constexpr char kHiragana[] = "\x82\xD0";              // ひ
constexpr char kLatin[] = "\x89\x70";                 // 英
constexpr char kPhrasePredict[] = "\x98\x41";         // 連
constexpr char kPluralClause[] = "\x95\xA1";          // 複
constexpr char kSingleConversion[] = "\x92\x50";      // 単
constexpr char kAutomatic[] = "\x8E\xA9";             // 自

}  // namespace

std::string CImeModeLabel::ModeText(bool open, uint32_t conversion, uint32_t sentence) {
  if (!open || (conversion & CImeContext::kNoConversion) != 0) return kAlphanumeric;
  std::string text;
  if ((conversion & CImeContext::kRoman) != 0) text += kRoman;
  text += (conversion & CImeContext::kFullShape) != 0 ? kFullShape : kHalfShape;
  if ((conversion & CImeContext::kKatakana) != 0) {
    text += kKatakana;
  } else {
    text += (conversion & CImeContext::kNative) != 0 ? kHiragana : kLatin;
  }
  if ((sentence & CImeContext::kPhrasePredict) != 0) {
    text += kPhrasePredict;
  } else if ((sentence & CImeContext::kPluralClause) != 0) {
    text += kPluralClause;
  } else if ((sentence & CImeContext::kSingleConversion) != 0) {
    text += kSingleConversion;
  } else if ((sentence & CImeContext::kAutomatic) != 0) {
    text += kAutomatic;
  }
  return text;
}

uint32_t CImeModeLabel::Create(CDrawList* draw_list, CImeContext* ime_context, CFont* font, int32_t x, int32_t y,
                               bool right_aligned, uint32_t key) {
  if (draw_list == nullptr || ime_context == nullptr || font == nullptr) return kBadArguments;
  Destroy();
  const int32_t edge = font->edge_radius();
  const int32_t cell = std::abs(font->logical_font().height) + 2 * edge;
  if (image_.Create(4 * cell + 2 * edge, cell, 32, 0) != 0 || sprite_.SetImage(&image_, nullptr, x, y) != 0) {
    Destroy();
    return kImageFailed;
  }
  draw_list_ = draw_list;
  ime_context_ = ime_context;
  font_ = font;
  x_ = x;
  y_ = y;
  right_aligned_ = right_aligned;
  sprite_.SetEnabled(false);
  sprite_.SetId(key);
  draw_list_->Insert(&sprite_, kLabelPriority, key);
  dirty_ = true;
  return 0;
}

void CImeModeLabel::Destroy() {
  if (draw_list_ != nullptr && sprite_.GetOwnerList() == draw_list_) draw_list_->Remove(&sprite_);
  draw_list_ = nullptr;
  sprite_.Reset();
  sprite_.SetEnabled(false);
  image_.Release();
  ime_context_ = nullptr;
  font_ = nullptr;
  drawn_width_ = 0;
}

void CImeModeLabel::SetPosition(int32_t x, int32_t y) {
  x_ = x;
  y_ = y;
  PlaceSprite();
}

void CImeModeLabel::PlaceSprite() { sprite_.SetPosition(right_aligned_ ? x_ - drawn_width_ : x_, y_); }

void CImeModeLabel::Update() {
  if (ime_context_ == nullptr || font_ == nullptr || image_.GetPixels() == nullptr) return;
  uint32_t conversion = 0;
  uint32_t sentence = 0;
  if (!ime_context_->GetConversionStatus(conversion, sentence)) conversion = sentence = 0;
  const bool open = ime_context_->GetOpenStatus();
  if (!dirty_ && open == last_open_ && conversion == last_conversion_ && sentence == last_sentence_) return;
  last_open_ = open;
  last_conversion_ = conversion;
  last_sentence_ = sentence;

  image_.FillRectArgb(0, nullptr);
  const Rgb kept_text = font_->text_color;
  const Rgb kept_edge = font_->decoration_color;
  const uint8_t kept_decoration = font_->decoration;
  font_->text_color = RgbOf(text_colour_);
  font_->decoration_color = RgbOf(edge_colour_);
  font_->decoration = 2;
  const int32_t edge = font_->edge_radius();
  plat::Point end{edge, edge};
  font_->DrawTextWithAlpha(&image_, edge, edge, ModeText(open, conversion, sentence).c_str(), nullptr, &end);
  font_->text_color = kept_text;
  font_->decoration_color = kept_edge;
  font_->decoration = kept_decoration;

  drawn_width_ = std::min(end.x + edge, image_.GetWidth());
  const plat::Rect shown{0, 0, drawn_width_, image_.GetHeight()};
  sprite_.SetSourceRect(&shown);
  PlaceSprite();
  plat::Rect whole{0, 0, drawn_width_, image_.GetHeight()};
  sprite_.InvalidateLocalRect(&whole);
  dirty_ = false;
}
