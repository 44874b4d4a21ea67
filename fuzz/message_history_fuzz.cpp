// A saved message history on arbitrary bytes, loaded into a ring of four: whatever loads saves
// back into the same bytes and the size it announces, and every entry browses, steps to its end
// and gives its choices without reading outside what was loaded.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "novel/text/message_text.h"

namespace {

void WalkEntries(CMessageText& message) {
  for (std::int32_t i = 0; i < message.history_count(); ++i) {
    if (message.HistoryAt(i) != 0) std::abort();
    const std::uint32_t most_steps = static_cast<std::uint32_t>(message.TextFrom(0).size()) + 2;
    std::uint32_t steps = 0;
    for (std::int32_t kind = 0; kind != IMessageText::kEnd && kind != IMessageText::kBadMarkup; ++steps) {
      if (steps > most_steps) std::abort();
      kind = message.StepUnit();
    }
    for (std::int32_t c = 0; c < message.choice_count(); ++c) message.GetChoice(c);
    message.NamePart(1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CMessageText message(nullptr);
  message.SetHistorySize(4);
  ByteReader in(std::span<const std::uint8_t>(data, size));
  if (message.Load(in, true) != 0) {
    if (message.history_count() != 0) std::abort();
    return 0;
  }
  ByteWriter saved;
  message.Save(saved);
  if (saved.Size() != message.SaveSize()) std::abort();
  CMessageText again(nullptr);
  again.SetHistorySize(4);
  ByteReader saved_in(saved.Data());
  if (again.Load(saved_in, true) != 0) std::abort();
  ByteWriter resaved;
  again.Save(resaved);
  if (resaved.Data() != saved.Data()) std::abort();
  WalkEntries(message);
  return 0;
}
