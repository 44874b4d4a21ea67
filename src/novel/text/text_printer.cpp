#include "novel/text/text_printer.h"

#include <algorithm>
#include <cstdlib>

#include "base/text/sjis_fit.h"
#include "gfx/display/surface_object_image.h"
#include "script/script_vm.h"
#include "ui/fonts/font.h"

CTextPrinter* g_TextPrinter = nullptr;

namespace {

constexpr std::uint8_t kOwnEdgeSetting = 255;
// The longest name part the printer draws, with its terminator.
constexpr std::size_t kLongestNamePart = 255;
// `@` and up to this many digits name a character by its code.
constexpr std::uint32_t kMostCodeDigits = 6;

bool IsDigit(std::uint8_t c) { return c >= '0' && c <= '9'; }

}  // namespace

CTextPrinter::CTextPrinter(CScriptVm& vm) : CMessageText(&vm.Memory()), vm_(&vm), choice_export_(vm.Memory()) {}

std::uint32_t CTextPrinter::ExportChoice(std::int32_t i) {
  const std::optional<std::string> choice = GetChoice(i);
  return choice ? choice_export_.Export(*choice) : 0;
}

bool CTextPrinter::IsLineRead(std::uint8_t kind, std::uint16_t line) { return vm_->IsLineRead(line, kind != 0); }

void CTextPrinter::MarkLineRead(std::uint8_t kind, std::uint16_t line) { vm_->SetLineRead(line, kind != 0); }

void CTextPrinter::ResetPen() {
  pen_x_ = start_x_;
  pen_y_ = start_y_;
}

std::uint32_t CTextPrinter::SetTarget(HandleTable& handles, CImageInterface* object, CImageInterface* companion, std::int32_t x,
                                      std::int32_t y, CFont* font, std::uint8_t edge, std::uint8_t fixed_pitch,
                                      std::int32_t spacing) {
  if (object == nullptr || GetObjectImage(object) == nullptr || font == nullptr) return 1;
  handles_ = &handles;
  target_ = object->ScriptHandle(handles);
  companion_ = companion != nullptr ? companion->ScriptHandle(handles) : 0;
  font_ = font->ScriptHandle(handles);
  edge_ = edge;
  fixed_pitch_ = fixed_pitch;
  spacing_ = spacing;
  start_x_ = x;
  start_y_ = y;
  ResetPen();
  return 0;
}

CImage* CTextPrinter::TargetImage() const {
  if (handles_ == nullptr) return nullptr;
  CImageInterface* object = handles_->Get<CImageInterface>(target_);
  return object != nullptr ? GetObjectImage(object) : nullptr;
}

CFont* CTextPrinter::TargetFont() const {
  return handles_ != nullptr ? dynamic_cast<CFont*>(handles_->Get<CFontBase>(font_)) : nullptr;
}

CImagePart* CTextPrinter::Companion() const {
  CImageInterface* object = handles_ != nullptr ? handles_->Get<CImageInterface>(companion_) : nullptr;
  return object != nullptr ? GetObjectImagePart(object) : nullptr;
}

std::int32_t CTextPrinter::PrintNext(bool run_to_stop) {
  if (TargetImage() == nullptr || !HasText()) return 1;
  const std::uint32_t from = cursor();
  std::int32_t kind = StepUnit();
  if (kind == kCharacter) {
    if (run_to_stop) kind = RunToStop();
    LayoutText(from, cursor());
    return kind;
  }
  if (kind == kNewPage || kind == kEnd) ResetPen();
  return kind;
}

std::int32_t CTextPrinter::PrintUpTo(std::int32_t n, bool draw) {
  set_cursor(0);
  if ((draw && TargetImage() == nullptr) || !HasText()) return -1;
  ResetPen();
  const std::int32_t kind = SkipTags(n);
  if (kind >= 0 && draw) LayoutText(0, cursor());
  return kind;
}

bool CTextPrinter::Redraw() {
  if (TargetImage() == nullptr || !HasText()) return false;
  ResetPen();
  LayoutText(0, cursor());
  return true;
}

void CTextPrinter::MarkDrawn(CImage& image, const plat::Rect& rect) const {
  image.MarkChanged(rect);
  if (CImagePart* companion = Companion()) companion->MarkDirty(&rect);
}

void CTextPrinter::DrawUnit(CImage& image, CFont& font, const std::string& unit, bool two_byte) {
  const std::int32_t height = std::abs(font.logical_font().height);
  const bool centred = fixed_pitch_ != 0 && two_byte;
  std::int32_t x = pen_x_;
  if (centred) {
    TextSize size;
    font.MeasureText(unit.c_str(), &size, nullptr, nullptr, 0, nullptr);
    x += (height - size.cx) >> 1;
  }
  plat::Rect bounds;
  plat::Point end;
  const std::uint32_t result = edge_ != 0 ? font.DrawString(&image, x, pen_y_, unit.c_str(), &bounds, &end)
                                          : font.DrawText(&image, x, pen_y_, unit.c_str(), &bounds, &end);
  if (result != 0) return;
  pen_x_ = (centred ? pen_x_ + height : end.x) + spacing_;
  const bool empty = bounds.left >= bounds.right || bounds.top >= bounds.bottom;
  MarkDrawn(image, empty ? plat::Rect{0, 0, image.GetWidth(), image.GetHeight()} : bounds);
}

std::uint32_t CTextPrinter::LayoutText(std::uint32_t from, std::uint32_t to) {
  if (to <= from) return 1;
  CImage* image = TargetImage();
  CFont* font = TargetFont();
  if (image == nullptr || font == nullptr) return 1;
  for (std::uint32_t at = from; at < to;) {
    const std::uint8_t c = TextByte(at);
    const std::uint8_t next = TextByte(at + 1);
    std::string unit(1, static_cast<char>(c));
    bool two_byte = false;
    switch (c) {
      case '$':
      case '&':
        ++at;
        continue;
      case '<':
        // `<<` is the character `<`, as the single steps report it.
        if (next != '<') {
          at += TagLength(at);
          continue;
        }
        at += 2;
        break;
      case '[':
        // An escape draws its character; an embedded record draws nothing.
        if (next == 0) {
          at += UnitLength(at);
          continue;
        }
        unit.assign(1, static_cast<char>(next));
        at += 2;
        break;
      case '\\':
        pen_x_ = start_x_;
        pen_y_ += font->line_spacing + std::abs(font->logical_font().height);
        ++at;
        continue;
      case '@':
        ++at;
        // `@@` is one `@`: the digits behind it are characters of their own.
        if (next == '@') {
          unit += '@';
          ++at;
          break;
        }
        for (std::uint32_t digits = 0; digits < kMostCodeDigits && IsDigit(TextByte(at)); ++digits, ++at) {
          unit += static_cast<char>(TextByte(at));
        }
        break;
      default:
        two_byte = IsMessageLeadByte(c) && next != 0;
        if (two_byte) unit += static_cast<char>(next);
        at += two_byte ? 2 : 1;
        break;
    }
    DrawUnit(*image, *font, unit, two_byte);
  }
  return 0;
}

std::uint32_t CTextPrinter::PrintString(const std::optional<std::string>& text, std::int32_t x, std::int32_t y,
                                        CImage* image, CFont* font, std::uint8_t edge) {
  if (image == nullptr) image = TargetImage();
  if (font == nullptr) font = TargetFont();
  if (image == nullptr || font == nullptr) return 1;
  if (!text) return 2;
  const bool with_edge = (edge == kOwnEdgeSetting ? edge_ : edge) != 0;
  plat::Rect bounds;
  const std::uint32_t result = with_edge ? font->DrawString(image, x, y, text->c_str(), &bounds, nullptr)
                                         : font->DrawText(image, x, y, text->c_str(), &bounds, nullptr);
  if (result != 0) return 3;
  const plat::Rect clipped{std::max(bounds.left, 0), std::max(bounds.top, 0),
                           std::min(bounds.right, image->GetWidth()), std::min(bounds.bottom, image->GetHeight())};
  if (clipped.left < clipped.right && clipped.top < clipped.bottom) image->MarkChanged(clipped);
  return 0;
}

std::uint32_t CTextPrinter::PrintName(std::int32_t x, std::int32_t y, std::int32_t part, CImage* image, CFont* font,
                                      std::uint8_t edge) {
  std::optional<std::string> name = NamePart(part);
  if (name && part != 0 && name->size() >= kLongestNamePart) name = FitSjis(*name, kLongestNamePart - 1);
  return PrintString(name, x, y, image, font, edge);
}

std::uint32_t CTextPrinter::PrintChoice(std::int32_t i, std::int32_t x, std::int32_t y, CImage* image, CFont* font,
                                        std::uint8_t edge) {
  return PrintString(GetChoice(i), x, y, image, font, edge);
}

bool CTextPrinter::SelectChoice(std::uint8_t i) {
  SetSelectedChoice(i);
  if (HasPackedChoices() && choice_kind != kNoChoiceRecord && i < given_choice_count) {
    vm_->SetChoiceMade(std::uint32_t{first_choice_bit} + i, choice_kind != 0);
  }
  return true;
}

std::uint8_t CTextPrinter::GetSelectedChoice() const { return HasPackedChoices() ? selected_choice() : 255; }

bool CTextPrinter::WasChoiceChosen(std::uint8_t i) const {
  if (!HasPackedChoices() || choice_kind == kNoChoiceRecord || i >= given_choice_count) return false;
  return vm_->IsChoiceMade(std::uint32_t{first_choice_bit} + i, choice_kind != 0);
}

bool CTextPrinter::SaveMark() {
  if (!HasText()) return false;
  mark_serial_ = text_serial();
  mark_entry_ = current_entry();
  mark_offset_ = cursor();
  return true;
}

bool CTextPrinter::RestoreMark() {
  const bool same_entry = mark_entry_ != 0 && mark_entry_ == current_entry();
  if (!HasText() || (mark_serial_ != text_serial() && !same_entry)) return false;
  set_cursor(mark_offset_);
  return true;
}

std::string CTextPrinter::PlainText(bool crlf) const {
  std::string plain;
  for (std::uint32_t at = 0;;) {
    const std::uint8_t c = TextByte(at);
    const std::uint8_t next = TextByte(at + 1);
    if (c == 0 || c == '$' || c == '&') return plain;
    switch (c) {
      case '<':
        if (next == '<') {
          plain += '<';
          at += 2;
        } else {
          at += TagLength(at);
        }
        break;
      case '[':
        if (next == 0) {
          at += kRecordHeaderLength + (TextByte(at + 6) | TextByte(at + 7) << 8);
        } else {
          plain += static_cast<char>(next);
          at += 2;
        }
        break;
      case '\\':
        if (crlf) plain += "\r\n";
        ++at;
        break;
      case '@':
        // `@@` gives one `@`, and the second `@` starts a unit of its own.
        if (next == '@') plain += '@';
        ++at;
        if (next != '@') {
          for (std::uint32_t digits = 0; digits < kMostCodeDigits && IsDigit(TextByte(at)); ++digits) ++at;
        }
        break;
      default:
        plain += static_cast<char>(c);
        if (c >= 0x81 && next != 0) {
          plain += static_cast<char>(next);
          ++at;
        }
        ++at;
        break;
    }
  }
}

std::optional<std::string> CTextPrinter::GetCaption() const {
  if (!HasText()) return std::nullopt;
  return PlainText(false);
}
