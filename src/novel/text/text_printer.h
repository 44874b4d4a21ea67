// The scripts' text printer: prints the current message into a display object's image with a
// glyph font, piece by piece, and draws the speaker name and the choices. The read bits of lines
// and the chosen bits of choices live in the script host's read-text records. The target, its
// companion and the font are held by their script handles, so an object that the scripts delete
// is simply missing at the next print.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "novel/text/message_text.h"
#include "platform/system/geometry.h"
#include "script/script_text_export.h"

class CFont;
class CImage;
class CImageInterface;
class CImagePart;
class CScriptVm;
class HandleTable;

class CTextPrinter : public CMessageText {
 public:
  explicit CTextPrinter(CScriptVm& vm);

  // 1 when the object has no image or the font is null (nothing changes); else 0. The companion
  // (or null) gets each drawn glyph's rectangle marked dirty in its image part. The three are
  // held by their handles in `handles`, the scripts' table.
  std::uint32_t SetTarget(HandleTable& handles, CImageInterface* object, CImageInterface* companion, std::int32_t x, std::int32_t y,
                          CFont* font, std::uint8_t edge, std::uint8_t fixed_pitch, std::int32_t spacing);
  // The stop kind; 1 without a target image or text.
  std::int32_t PrintNext(bool run_to_stop);
  // The SkipTags kind; -1 without text, or without a target when drawing.
  std::int32_t PrintUpTo(std::int32_t n, bool draw);
  bool Redraw();
  // Edge 255: the printer's own setting. 0; 1 no image or font; 2 no such name part or choice;
  // 3 the font failed. A null image or font is the printer's own.
  std::uint32_t PrintName(std::int32_t x, std::int32_t y, std::int32_t part, CImage* image, CFont* font,
                          std::uint8_t edge);
  std::uint32_t PrintChoice(std::int32_t i, std::int32_t x, std::int32_t y, CImage* image, CFont* font,
                            std::uint8_t edge);
  bool SelectChoice(std::uint8_t i);
  std::uint8_t GetSelectedChoice() const;
  bool WasChoiceChosen(std::uint8_t i) const;
  // The mark holds while the same text is current, also when the scripts browse the history
  // and come back to the marked entry.
  bool SaveMark();
  bool RestoreMark();
  // The text up to the first `$`, `&` or its end without markup; `\` becomes CR LF with `crlf`.
  std::string PlainText(bool crlf) const;
  // The displayed message's plain text for a save's caption; nothing without a message.
  std::optional<std::string> GetCaption() const;
  // The pending choices of the current message go into its history entry (when a script object
  // is unloaded or the scripts are reset).
  void HandOverToHistory() { StoreChoicesInHistory(); }

  // Choice i copied into script memory for the scripts: its address, 0 for no such choice.
  std::uint32_t ExportChoice(std::int32_t i);

  std::int32_t GetPenX() const { return pen_x_; }
  std::int32_t GetPenY() const { return pen_y_; }
  // The target image, null when none is set or its object is gone.
  CImage* TargetImage() const;

 protected:
  bool IsLineRead(std::uint8_t kind, std::uint16_t line) override;
  void MarkLineRead(std::uint8_t kind, std::uint16_t line) override;
  void ResetPen() override;

 private:
  CFont* TargetFont() const;
  CImagePart* Companion() const;
  // Draws the bytes from `from` up to `to`; 1 when the span is empty.
  std::uint32_t LayoutText(std::uint32_t from, std::uint32_t to);
  void DrawUnit(CImage& image, CFont& font, const std::string& unit, bool two_byte);
  void MarkDrawn(CImage& image, const plat::Rect& rect) const;
  std::uint32_t PrintString(const std::optional<std::string>& text, std::int32_t x, std::int32_t y, CImage* image,
                            CFont* font, std::uint8_t edge);

  CScriptVm* vm_;
  HandleTable* handles_ = nullptr;
  std::uint32_t target_ = 0;
  std::uint32_t companion_ = 0;
  std::uint32_t font_ = 0;
  std::uint8_t edge_ = 0;
  std::uint8_t fixed_pitch_ = 0;
  std::int32_t spacing_ = 0;
  std::int32_t start_x_ = 0;
  std::int32_t start_y_ = 0;
  std::int32_t pen_x_ = 0;
  std::int32_t pen_y_ = 0;
  std::optional<std::uint64_t> mark_serial_;
  std::uint64_t mark_entry_ = 0;
  ScriptTextExport choice_export_;
  std::uint32_t mark_offset_ = 0;
};

// The printer of the game's script host while the host lives; null otherwise.
extern CTextPrinter* g_TextPrinter;
