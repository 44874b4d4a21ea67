// The opcodes of the page transitions (90-105), the screen quakes (106, 107) and the screen
// crosses (112, 113). A transition that cannot start shows the back page at once and stops the
// scenario with its failure code (logged), as the effect commands do; only row 96, the named
// filters, lets the scenario go on.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "novel/frame/vov_effect_words.h"
#include "novel/frame/vov_frame.h"

namespace {

// The argument words of a filter from the operands at `places`: a text operand as the address of
// its text, kept here while the filter is made, a number as itself. The filter reads the words
// whose bit is set in `text_words` as texts; a number there would be taken for an address, so
// it goes as a null text, which the filter reads as its default.
template <std::size_t N>
class FilterWords {
 public:
  FilterWords(std::span<const VovOperand> operands, const std::array<std::size_t, N>& places,
              std::uint32_t text_words) {
    for (std::size_t i = 0; i < N; ++i) {
      const VovOperand operand = VovOperandAt(operands, places[i]);
      if ((operand.flags & kVovStringFlag) != 0) {
        texts_[i] = std::string(operand.text);
        words_[i] = reinterpret_cast<std::uintptr_t>(texts_[i].c_str());
      } else if ((text_words >> i & 1) == 0) {
        words_[i] = operand.value;
      }
    }
  }
  std::span<const std::uintptr_t, N> Words() const { return words_; }

 private:
  std::array<std::string, N> texts_;
  std::array<std::uintptr_t, N> words_{};
};

constexpr std::uint32_t kBlack = 0;
constexpr std::uint32_t kQuakeDecayWord = 0b10000;
// A place past every operand: it reads as an absent operand, 0.
constexpr std::size_t kNoOperand = SIZE_MAX;
constexpr std::uint32_t kSpriteTransitionTime = 300;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// Clears the back page to `colour`, every sprite with it.
void ClearBackPage(CVovFrame& frame, std::uint32_t colour) {
  frame.Page().ClearBg(colour, 1);
  frame.Page().ClearSprites(true, -1);
}

// Loads the background named by operand 0 into the back slot with the filter of the four
// operands from `filter`, and clears the back page's sprites: false when it cannot be loaded.
bool PrepareBackBg(CVovFrame& frame, std::span<const VovOperand> operands, std::size_t filter) {
  const VovOperand name = VovOperandAt(operands, 0);
  const std::string text(name.flags != 0 ? name.text : std::string_view());
  CVovPage& page = frame.Page();
  if (page.LoadBg(name.flags != 0 ? text.c_str() : nullptr, 1) != CVovPage::kDone) return false;
  page.SetBgFilter(static_cast<std::uint8_t>(ValueAt(operands, filter)), ValueAt(operands, filter + 1) != 0,
                   ValueAt(operands, filter + 2) != 0, ValueAt(operands, filter + 3) != 0, 1);
  page.ClearSprites(true, -1);
  return true;
}

// The back page made a copy of the front one; the running transition ends first.
void PrepareBackPage(CVovFrame& frame) {
  frame.EndScreenFilter();
  frame.Page().CopyFrontToBack();
}

// An absent time reads as 0, which takes the default too.
std::uint32_t TimeOr300(std::span<const VovOperand> operands, std::size_t n) {
  const std::uint32_t time = ValueAt(operands, n);
  return time == 0 ? kSpriteTransitionTime : time;
}

// Opcodes 103 and 104: the back page a copy of the front one with the sprite loaded and placed.
void PrepareBackSprite(CVovFrame& frame, std::span<const VovOperand> operands, std::size_t name, std::size_t group) {
  PrepareBackPage(frame);
  const VovOperand text = VovOperandAt(operands, name);
  const std::string sprite(text.flags != 0 ? text.text : std::string_view());
  const std::uint32_t index = ValueAt(operands, 0);
  frame.Page().LoadSprite(index, text.flags != 0 ? sprite.c_str() : nullptr, true, SignedAt(operands, group));
  frame.Page().PlaceSprite(index, SignedAt(operands, name + 1), false, true, SignedAt(operands, group));
}

}  // namespace

void CVovFrame::InstallTransitionHandlers() {
  SetHandler(90, [](CVovFrame& frame, std::span<const VovOperand>) {
    PrepareBackPage(frame);
    return 0;
  });
  SetHandler(91, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    const bool skippable = ValueAt(operands, 0) != 0;
    return frame.SkippableWait(skippable, [&] { frame.EndScreenFilter(); },
                               [&] { return frame.WaitTransition(skippable); });
  });
  SetHandler(92, [](CVovFrame& frame, std::span<const VovOperand>) {
    frame.EndScreenFilter();
    return 0;
  });
  SetHandler(93, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    return frame.CrossTransition(ValueAt(operands, 0));
  });
  SetHandler(94, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    return frame.RuleTransition(ValueAt(operands, 0), ValueAt(operands, 1), SignedAt(operands, 2));
  });
  SetHandler(95, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    return frame.PatternTransition(ValueAt(operands, 0), ValueAt(operands, 1), ValueAt(operands, 2));
  });
  SetHandler(96, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    // Of the named filters only "scroll" reads a text: its acceleration, the third word.
    const bool scroll = std::string_view(CVovFrame::NamedFilterName(SignedAt(operands, 0))) == "scroll";
    const FilterWords<3> words(operands, {2, 3, 4}, scroll ? 0b100 : 0);
    // The only transition whose failure lets the scenario go on.
    frame.NamedFilterTransition(SignedAt(operands, 0), ValueAt(operands, 1), words.Words());
    return 0;
  });
  SetHandler(97, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    // The vertical factor and the speed are texts.
    const FilterWords<6> words(operands, {2, 3, 4, 6, 1, 5}, 0b11000);
    return frame.RippleTransition(ValueAt(operands, 0), words.Words());
  });
  // The prepared transitions: the back page cleared to black or white, or given a background,
  // then a cross, a rule or a pattern transition. A background that cannot be loaded ends the
  // command before the transition.
  SetHandler(98, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    ClearBackPage(frame, kBlack);
    return frame.CrossTransition(ValueAt(operands, 0));
  });
  SetHandler(99, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    ClearBackPage(frame, kWhite);
    return frame.CrossTransition(ValueAt(operands, 0));
  });
  SetHandler(100, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    return PrepareBackBg(frame, operands, 2) ? frame.CrossTransition(ValueAt(operands, 1)) : 0;
  });
  SetHandler(101, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    if (!PrepareBackBg(frame, operands, 4)) return 0;
    return frame.RuleTransition(ValueAt(operands, 1), ValueAt(operands, 2), SignedAt(operands, 3));
  });
  SetHandler(102, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    if (!PrepareBackBg(frame, operands, 4)) return 0;
    return frame.PatternTransition(ValueAt(operands, 1), ValueAt(operands, 2), ValueAt(operands, 3));
  });
  SetHandler(103, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    PrepareBackSprite(frame, operands, 1, 4);
    return frame.CrossTransition(TimeOr300(operands, 3));
  });
  SetHandler(104, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    PrepareBackSprite(frame, operands, 2, 6);
    return frame.RuleTransition(ValueAt(operands, 1), TimeOr300(operands, 4), SignedAt(operands, 5));
  });
  SetHandler(105, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    PrepareBackPage(frame);
    frame.Page().ClearSprites(true, SignedAt(operands, 3));
    const std::int32_t rule = SignedAt(operands, 1);
    if (rule < 0) return frame.CrossTransition(TimeOr300(operands, 0));
    return frame.RuleTransition(static_cast<std::uint32_t>(rule), TimeOr300(operands, 0), SignedAt(operands, 2));
  });
  // The screen quakes: 106 with a period of 0, 107 with its third operand as the period.
  SetHandler(106, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    // The decay is a text.
    const FilterWords<6> words(operands, {kNoOperand, 0, 1, 2, 3, 4}, kQuakeDecayWord);
    frame.ScreenQuake(words.Words(), ValueAt(operands, 5) != 0, false);
    return 0;
  });
  SetHandler(107, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    const FilterWords<6> words(operands, {2, 0, 1, 3, 4, 5}, kQuakeDecayWord);
    frame.ScreenQuake(words.Words(), ValueAt(operands, 6) != 0, false);
    return 0;
  });
  // The screen crosses stop the scenario only when the application ends meanwhile; a background
  // that cannot be loaded leaves the colour on the screen.
  SetHandler(112, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    return frame.ScreenFlash(ValueAt(operands, 0), ValueAt(operands, 1)) < 0 ? -1 : 0;
  });
  SetHandler(113, [](CVovFrame& frame, std::span<const VovOperand> operands) {
    const VovOperand name = VovOperandAt(operands, 0);
    const std::string text(name.flags != 0 ? name.text : std::string_view());
    const char* picture = name.flags != 0 ? text.c_str() : nullptr;
    return frame.ScreenCrossToBg(picture, ValueAt(operands, 1), ValueAt(operands, 2)) < 0 ? -1 : 0;
  });
}
