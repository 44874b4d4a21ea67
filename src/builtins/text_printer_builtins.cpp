#include "builtins/text_printer_builtins.h"

#include <string>

#include "gfx/display/surface_object_image.h"
#include "novel/text/text_printer.h"
#include "script/game_host_access.h"
#include "ui/fonts/font.h"
#include "ui/widgets/list_menu.h"

namespace {

constexpr std::uint8_t kPrinterOwnEdge = 255;
constexpr std::uint32_t kRefusedObject = static_cast<std::uint32_t>(-1);
constexpr std::uint32_t kRefusedFont = static_cast<std::uint32_t>(-2);

std::uint32_t Result(std::int32_t value) { return static_cast<std::uint32_t>(value); }

// Runs `operation` on the printer; 0 without one.
template <class Operation>
std::uint32_t WithPrinter(Operation operation) {
  return g_TextPrinter != nullptr ? operation(*g_TextPrinter) : 0;
}

// The printers' targets are plain images and the canvases with an image part of their own.
bool IsPrintableKind(const CImageInterface& object) {
  const ESurfaceKind kind = object.GetKind();
  return kind == ESurfaceKind::kImage || kind == ESurfaceKind::kSurfaceCanvas || kind == ESurfaceKind::kImageCanvasEx;
}

CImageInterface* PrintableObject(const NativeArgs& args, std::uint32_t i) {
  CImageInterface* object = args.Handle<CImageInterface>(i);
  return object != nullptr && IsPrintableKind(*object) ? object : nullptr;
}

// A font word: 0 for none; nothing for a handle that names no glyph font.
std::optional<CFont*> GlyphFont(const NativeArgs& args, std::uint32_t i) {
  if (args.U32(i) == 0) return nullptr;
  CFont* font = dynamic_cast<CFont*>(args.Handle<CFontBase>(i));
  if (font == nullptr) return std::nullopt;
  return font;
}

void UnbindChoiceList() {
  if (g_ChoiceList != nullptr) g_ChoiceList->SetChoiceRecord(nullptr, 0, {});
}

// The list marks the items chosen before from the bits of the current message's choice kind.
void BindChoiceList(const CTextPrinter& printer) {
  if (g_ChoiceList == nullptr || g_GameHost == nullptr) return;
  CScriptHost& scripts = g_GameHost->Scripts();
  CBitArray* bits = nullptr;
  if (printer.choice_kind == 0) {
    if (ReadTextRecord* record = scripts.CurrentReadTextRecord()) bits = &record->choices;
  } else if (printer.choice_kind == 1 && scripts.HasReadTextTable() && !scripts.ReadTextRecords().empty()) {
    bits = &scripts.ReadTextRecords().back().choices;
  }
  g_ChoiceList->SetChoiceRecord(bits, printer.first_choice_bit, {});
}

template <class Move>
std::uint32_t MoveInHistory(Move move) {
  return WithPrinter([&](CTextPrinter& printer) {
    const std::int32_t result = move(printer);
    if (result == 0) BindChoiceList(printer);
    return Result(result);
  });
}

// Where ids 472 and 504 draw: args[3] object, args[4] edge mode, args[5] font.
struct DrawPlace {
  CImage* image = nullptr;
  CFont* font = nullptr;
  std::uint8_t edge = kPrinterOwnEdge;
  std::uint32_t refusal = 0;
};

DrawPlace ReadDrawPlace(const NativeArgs& args) {
  DrawPlace place;
  if (args.U32(3) != 0) {
    CImageInterface* object = PrintableObject(args, 3);
    if (object == nullptr) return {.refusal = kRefusedObject};
    place.image = GetObjectImage(object);
  }
  place.edge = args.U8(4);
  if (place.edge == kPrinterOwnEdge) return place;
  const std::optional<CFont*> font = GlyphFont(args, 5);
  if (!font) return {.refusal = kRefusedFont};
  place.font = *font;
  return place;
}

// Stores the low byte of args[0] in one of the printer's switches. 0.
std::uint32_t SetSwitch(const NativeArgs& args, std::uint8_t CMessageText::*member) {
  const std::uint8_t value = args.U8(0);
  return WithPrinter([&](CTextPrinter& printer) {
    printer.*member = value;
    return 0U;
  });
}

// Ids 472 and 504: args[0] x, args[1] y, args[2] what to print, then the place.
template <class Print>
std::uint32_t PrintAtPlace(const NativeArgs& args, Print print) {
  const std::int32_t x = args.I32(0);
  const std::int32_t y = args.I32(1);
  const std::int32_t which = args.I32(2);
  const DrawPlace place = ReadDrawPlace(args);
  if (place.refusal != 0) return place.refusal;
  return WithPrinter([&](CTextPrinter& printer) { return print(printer, x, y, which, place); });
}

}  // namespace

std::uint32_t NativeSetHistorySize(const NativeArgs& args) {
  const std::uint8_t size = args.U8(0);
  return WithPrinter([&](CTextPrinter& printer) {
    printer.SetHistorySize(size);
    return 0U;
  });
}

std::uint32_t NativeSetHistoryEnabled(const NativeArgs& args) {
  const bool on = args.Flag(0);
  return WithPrinter([&](CTextPrinter& printer) {
    printer.history_on = on ? 1 : 0;
    return 0U;
  });
}

std::uint32_t NativeSetMessage(const NativeArgs& args) {
  const std::uint32_t record = args.U32(0);
  return WithPrinter([&](CTextPrinter& printer) { return Result(printer.SetMessage(record)); });
}

std::uint32_t NativeSetMessageSwitch(const NativeArgs& args) { return SetSwitch(args, &CTextPrinter::messages_accepted); }

std::uint32_t NativeSetPrinterTarget(const NativeArgs& args) {
  CImageInterface* object = PrintableObject(args, 0);
  if (object == nullptr) return 1;
  CImageInterface* companion = args.Handle<CImageInterface>(1);
  if (companion != nullptr && GetObjectImagePart(companion) == nullptr) companion = nullptr;
  const std::optional<CFont*> font = GlyphFont(args, 4);
  if (!font || *font == nullptr) return 2;
  const std::int32_t x = args.I32(2);
  const std::int32_t y = args.I32(3);
  const std::uint8_t edge = args.U8(5);
  const std::uint8_t fixed_pitch = args.U8(6);
  const std::int32_t spacing = args.I32(7);
  return WithPrinter([&](CTextPrinter& printer) {
    return printer.SetTarget(args.Handles(), object, companion, x, y, *font, edge, fixed_pitch, spacing);
  });
}

std::uint32_t NativeGetNamePart(const NativeArgs& args) {
  const ScriptOut destination = args.Out(0);
  const std::int32_t part = args.I32(1);
  return WithPrinter([&](CTextPrinter& printer) {
    const std::optional<std::string> text = printer.NamePart(part);
    if (!text) return 0U;
    destination.SetBytes(text->c_str(), static_cast<std::uint32_t>(text->size()) + 1);
    return static_cast<std::uint32_t>(text->size()) + 1;
  });
}

std::uint32_t NativePrintName(const NativeArgs& args) {
  return PrintAtPlace(args, [](CTextPrinter& printer, std::int32_t x, std::int32_t y, std::int32_t part,
                               const DrawPlace& place) {
    return printer.PrintName(x, y, part, place.image, place.font, place.edge);
  });
}

std::uint32_t NativePrintNext(const NativeArgs& args) {
  const bool run_to_stop = args.U8(0) != 0;
  return WithPrinter([&](CTextPrinter& printer) { return Result(printer.PrintNext(run_to_stop)); });
}

std::uint32_t NativePrintAll(const NativeArgs&) {
  return WithPrinter([](CTextPrinter& printer) { return printer.PrintUpTo(-1, true) >= 0 ? 1U : 0U; });
}

std::uint32_t NativePrintUpTo(const NativeArgs& args) {
  const std::int32_t count = args.I32(0);
  const bool draw = args.Flag(1);
  return WithPrinter([&](CTextPrinter& printer) { return Result(printer.PrintUpTo(count, draw)); });
}

std::uint32_t NativeRedrawText(const NativeArgs&) {
  return WithPrinter([](CTextPrinter& printer) { return printer.Redraw() ? 1U : 0U; });
}

std::uint32_t NativeGetPenPosition(const NativeArgs& args) {
  const ScriptOut x = args.Out(0);
  const ScriptOut y = args.Out(1);
  return WithPrinter([&](CTextPrinter& printer) {
    x.Set(Result(printer.GetPenX()));
    y.Set(Result(printer.GetPenY()));
    return 0U;
  });
}

std::uint32_t NativeCopyTag(const NativeArgs& args) {
  const ScriptOut destination = args.Out(0);
  return WithPrinter([&](CTextPrinter& printer) {
    const std::optional<std::string>& tag = printer.tag_string();
    if (!tag) return 0U;
    destination.SetBytes(tag->c_str(), static_cast<std::uint32_t>(tag->size()) + 1);
    return 1U;
  });
}

std::uint32_t NativeGetTagNumber(const NativeArgs&) {
  return WithPrinter([](CTextPrinter& printer) { return Result(printer.tag_number()); });
}

std::uint32_t NativeHasPreviousHistory(const NativeArgs&) {
  return WithPrinter([](CTextPrinter& printer) { return printer.history_cursor() > 0 ? 1U : 0U; });
}

std::uint32_t NativeHasNextHistory(const NativeArgs&) {
  return WithPrinter(
      [](CTextPrinter& printer) { return printer.history_cursor() < printer.history_count() - 1 ? 1U : 0U; });
}

std::uint32_t NativeCopyPlainText(const NativeArgs& args) {
  const ScriptOut destination = args.Out(0);
  return WithPrinter([&](CTextPrinter& printer) {
    const std::string text = printer.PlainText(true);
    destination.SetBytes(text.c_str(), static_cast<std::uint32_t>(text.size()) + 1);
    return static_cast<std::uint32_t>(text.size()) + 1;
  });
}

std::uint32_t NativeGetHistoryCount(const NativeArgs&) {
  return WithPrinter([](CTextPrinter& printer) { return Result(printer.history_count()); });
}

std::uint32_t NativeGetHistoryCursor(const NativeArgs&) {
  return WithPrinter([](CTextPrinter& printer) { return Result(printer.history_cursor()); });
}

std::uint32_t NativeHistoryPrevious(const NativeArgs&) {
  return MoveInHistory([](CTextPrinter& printer) { return printer.HistoryPrevious(); });
}

std::uint32_t NativeHistoryNext(const NativeArgs&) {
  return MoveInHistory([](CTextPrinter& printer) { return printer.HistoryNext(); });
}

std::uint32_t NativeHistoryOldest(const NativeArgs&) {
  return MoveInHistory([](CTextPrinter& printer) { return printer.HistoryOldest(); });
}

std::uint32_t NativeHistoryNewest(const NativeArgs&) {
  return MoveInHistory([](CTextPrinter& printer) { return printer.HistoryNewest(); });
}

std::uint32_t NativeHistoryAt(const NativeArgs& args) {
  const std::int32_t index = args.I32(0);
  return MoveInHistory([&](CTextPrinter& printer) { return printer.HistoryAt(index); });
}

std::uint32_t NativeHistoryMove(const NativeArgs& args) {
  const std::int32_t step = args.I32(0);
  return MoveInHistory([&](CTextPrinter& printer) { return printer.HistoryMove(step); });
}

std::uint32_t NativeSaveTextMark(const NativeArgs&) {
  return WithPrinter([](CTextPrinter& printer) { return printer.SaveMark() ? 1U : 0U; });
}

std::uint32_t NativeRestoreTextMark(const NativeArgs&) {
  return WithPrinter([](CTextPrinter& printer) { return printer.RestoreMark() ? 1U : 0U; });
}

std::uint32_t NativeResetMessage(const NativeArgs&) {
  UnbindChoiceList();
  return WithPrinter([](CTextPrinter& printer) {
    printer.Reset();
    return 0U;
  });
}

std::uint32_t NativeIsMessageRead(const NativeArgs&) {
  return WithPrinter([](CTextPrinter& printer) { return std::uint32_t{printer.read_flag()}; });
}

std::uint32_t NativeSetReadLogFile(const NativeArgs& args) {
  const char* name = args.Str(0);
  return WithGameHost([&](IGameHost& host) {
    host.Scripts().SetTextLogName(name);
    return 0U;
  });
}

std::uint32_t NativeLoadReadLog(const NativeArgs&) {
  return WithGameHost([](IGameHost& host) { return host.Scripts().LoadTextLog(nullptr); });
}

std::uint32_t NativeSetChoices(const NativeArgs& args) {
  const std::uint32_t record = args.U32(0);
  return WithPrinter([&](CTextPrinter& printer) {
    const std::int32_t result = printer.SetChoices(record);
    if (result < 1) BindChoiceList(printer);
    return Result(result);
  });
}

std::uint32_t NativeSetChoiceSwitch(const NativeArgs& args) { return SetSwitch(args, &CTextPrinter::choices_accepted); }

std::uint32_t NativeSetChoiceCapacity(const NativeArgs& args) {
  UnbindChoiceList();
  const std::int32_t capacity = args.I32(0);
  if (capacity > CMessageText::kMaxChoiceCapacity) return 0;
  return WithPrinter([&](CTextPrinter& printer) {
    printer.SetChoiceCapacity(capacity);
    return capacity > 0 ? 1U : 0U;
  });
}

std::uint32_t NativeResetChoiceBits(const NativeArgs&) {
  UnbindChoiceList();
  return WithPrinter([](CTextPrinter& printer) {
    printer.choice_kind = 0;
    printer.first_choice_bit = 0;
    printer.given_choice_count = 0;
    return 0U;
  });
}

std::uint32_t NativeAddChoice(const NativeArgs& args) {
  UnbindChoiceList();
  const char* text = args.Str(0);
  return WithPrinter([&](CTextPrinter& printer) { return Result(printer.AddChoice(text)); });
}

std::uint32_t NativeClearChoices(const NativeArgs&) {
  UnbindChoiceList();
  return WithPrinter([](CTextPrinter& printer) {
    printer.ClearChoices();
    return 0U;
  });
}

std::uint32_t NativeGetChoiceCount(const NativeArgs&) {
  return WithPrinter([](CTextPrinter& printer) { return Result(printer.choice_count()); });
}

std::uint32_t NativePrintChoice(const NativeArgs& args) {
  return PrintAtPlace(args, [](CTextPrinter& printer, std::int32_t x, std::int32_t y, std::int32_t index,
                               const DrawPlace& place) {
    return printer.PrintChoice(index, x, y, place.image, place.font, place.edge);
  });
}

std::uint32_t NativeCopyChoice(const NativeArgs& args) {
  const std::int32_t index = args.I32(0);
  const ScriptOut destination = args.Out(1);
  const std::uint32_t size = args.U32(2);
  return WithPrinter([&](CTextPrinter& printer) {
    if (index < 0 || index >= printer.choice_count()) return 1U;
    const std::optional<std::string> choice = printer.GetChoice(index);
    if (!choice) return 2U;
    if (choice->size() + 1 > size) return 3U;
    destination.SetBytes(choice->c_str(), static_cast<std::uint32_t>(choice->size()) + 1);
    return 0U;
  });
}

std::uint32_t NativeGetChoice(const NativeArgs& args) {
  const std::int32_t index = args.I32(0);
  return WithPrinter([&](CTextPrinter& printer) { return printer.ExportChoice(index); });
}

std::uint32_t NativeSelectChoice(const NativeArgs& args) {
  const std::uint8_t index = args.U8(0);
  return WithPrinter([&](CTextPrinter& printer) { return printer.SelectChoice(index) ? 1U : 0U; });
}

std::uint32_t NativeGetSelectedChoice(const NativeArgs&) {
  return WithPrinter([](CTextPrinter& printer) { return std::uint32_t{printer.GetSelectedChoice()}; });
}

std::uint32_t NativeWasChoiceChosen(const NativeArgs& args) {
  const std::uint8_t index = args.U8(0);
  return WithPrinter([&](CTextPrinter& printer) { return printer.WasChoiceChosen(index) ? 1U : 0U; });
}
