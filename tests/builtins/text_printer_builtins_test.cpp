// Built-ins 466 to 509 on the game host's text printer: the argument words, the refusals of
// objects and fonts, the results the scripts see and the choice list's binding.
#include "builtins/text_printer_builtins.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>

#include "gfx/images/image.h"
#include "gfx/images/locked_image_buffer.h"
#include "novel/text/text_printer.h"
#include "pixel/kernels/pixel_tables.h"
#include "script/script_fault.h"
#include "support/fake_font_face.h"
#include "support/game_host_fixture.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"
#include "ui/widgets/list_menu.h"

namespace {

class TextPrinterBuiltinsTest : public game_test::GameScriptHostTest {
 protected:
  void SetUp() override {
    GameScriptHostTest::SetUp();
    BuildPixelTables();
    ASSERT_EQ(image_.Create(100, 40, 32, CImage::kOwnDirtyRegion), 0U);
    ASSERT_EQ(font_.SetFont(16, 0, 0, "face"), 0U);
  }
  void TearDown() override {
    g_ChoiceList = nullptr;
    GameScriptHostTest::TearDown();
  }
  NativeArgs Words(std::initializer_list<std::uint32_t> words) {
    const std::uint32_t address = host_.Memory().Allocate(static_cast<std::uint32_t>(words.size() + 1) * 4, true);
    std::uint32_t at = address;
    for (const std::uint32_t word : words) {
      host_.Memory().SetWord(at, word);
      at += 4;
    }
    return NativeArgs(host_.Memory(), handles_, address);
  }
  std::uint32_t Put(const std::string& bytes) {
    const std::uint32_t address = host_.Memory().Allocate(static_cast<std::uint32_t>(bytes.size()) + 1, true);
    host_.Memory().Write(address, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return address;
  }
  std::uint32_t Message(const std::string& line) { return Put(std::string{'\0', '\0', '\0'} + line); }
  std::uint32_t Handle(CImageInterface& object) { return object.ScriptHandle(handles_); }
  std::uint32_t FontHandle(CFontBase& font) { return font.ScriptHandle(handles_); }
  std::uint32_t Target(std::uint32_t object, std::uint32_t font) {
    return NativeSetPrinterTarget(Words({object, 0, 0, 0, font, 0, 0, 0}));
  }

  CImage image_;
  CFont font_{FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>())};
  CTextPrinter& printer_ = host_.TextPrinter();
};

TEST_F(TextPrinterBuiltinsTest, TargetRefusesObjectsAndFontsThatCannotPrint) {
  CLockedImageBuffer buffer;
  CGdiFont gdi_font(FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>()));
  EXPECT_EQ(Target(Handle(image_), 0), 2U);
  EXPECT_EQ(Target(Handle(image_), FontHandle(gdi_font)), 2U);
  EXPECT_EQ(Target(Handle(buffer), FontHandle(font_)), 1U);
  EXPECT_EQ(Target(0, FontHandle(font_)), 1U);
  EXPECT_EQ(printer_.TargetImage(), nullptr);
  EXPECT_EQ(Target(Handle(image_), FontHandle(font_)), 0U);
  EXPECT_EQ(printer_.TargetImage(), &image_);

  // Names and choices refuse the same objects and fonts with -1 and -2.
  ASSERT_EQ(NativeSetMessage(Words({Message("#Al$hello")})), 0U);
  EXPECT_EQ(NativePrintName(Words({0, 0, 0, Handle(buffer), 0, 0})), static_cast<std::uint32_t>(-1));
  EXPECT_EQ(NativePrintName(Words({0, 0, 0, 0, 0, FontHandle(gdi_font)})), static_cast<std::uint32_t>(-2));
  EXPECT_EQ(NativePrintName(Words({0, 0, 0, 0, 255, FontHandle(gdi_font)})), 0U) << "255: the printer's own";
  EXPECT_EQ(NativePrintChoice(Words({0, 0, 0, 0, 255, 0})), 2U);
}

TEST_F(TextPrinterBuiltinsTest, PrintAllReturnsOneEvenForAnEmptyMessage) {
  ASSERT_EQ(Target(Handle(image_), FontHandle(font_)), 0U);
  ASSERT_EQ(NativeSetMessage(Words({Message("")})), 0U);
  EXPECT_EQ(NativePrintAll(Words({})), 1U);
  ASSERT_EQ(NativeSetMessage(Words({Message("<\"\">")})), 0U);
  EXPECT_EQ(NativePrintAll(Words({})), 0U) << "bad markup";
}

TEST_F(TextPrinterBuiltinsTest, HistoryQueriesAndTags) {
  NativeSetHistorySize(Words({3}));
  NativeSetHistoryEnabled(Words({1}));
  ASSERT_EQ(NativeSetMessage(Words({Message("one")})), 0U);
  EXPECT_EQ(NativeGetHistoryCount(Words({})), 1U);
  EXPECT_EQ(NativeHasNextHistory(Words({})), 0U);
  EXPECT_EQ(NativeHasPreviousHistory(Words({})), 0U);
  ASSERT_EQ(NativeSetMessage(Words({Message("two<\"t\">")})), 0U);
  EXPECT_EQ(NativeHasPreviousHistory(Words({})), 1U);
  EXPECT_EQ(NativeHistoryPrevious(Words({})), 0U);
  EXPECT_EQ(NativeGetHistoryCursor(Words({})), 0U);
  EXPECT_EQ(NativeHasNextHistory(Words({})), 1U);
  EXPECT_EQ(NativeHistoryPrevious(Words({})), static_cast<std::uint32_t>(-1));

  const std::uint32_t destination = Put("keep");
  EXPECT_EQ(NativeCopyTag(Words({destination})), 0U);
  EXPECT_STREQ(host_.Memory().String(destination), "keep");
  ASSERT_EQ(NativeHistoryNext(Words({})), 0U);
  EXPECT_EQ(printer_.RunToStop(), 6);
  EXPECT_EQ(NativeCopyTag(Words({destination})), 1U);
  EXPECT_STREQ(host_.Memory().String(destination), "t");

  const std::uint32_t pen = host_.Memory().Allocate(8, true);
  EXPECT_EQ(NativeGetPenPosition(Words({pen, 0})), 0U);
  const std::uint32_t plain = host_.Memory().Allocate(16, true);
  EXPECT_EQ(NativeCopyPlainText(Words({plain})), 4U);
  EXPECT_STREQ(host_.Memory().String(plain), "two");
  NativeResetMessage(Words({}));
  EXPECT_EQ(NativeGetHistoryCount(Words({})), 0U);
}

TEST_F(TextPrinterBuiltinsTest, ChoicesAndTheChoiceListBinding) {
  CListMenu list;
  g_ChoiceList = &list;
  CBitArray other;
  const auto bind_elsewhere = [&] { list.SetChoiceRecord(&other, 9, {}); };
  // Kind 1 (the common record) without a read-text table binds no bits, but binds.
  const std::uint32_t choices = Put(std::string{1, 4, 0, 2, 0, 5, 0, 'n', 'o', 0, 6, 0, 'y', 'e', 's', 0});
  bind_elsewhere();
  EXPECT_EQ(NativeSetChoices(Words({choices})), 0U);
  EXPECT_EQ(list.choice_record(), nullptr);
  EXPECT_EQ(list.choice_base(), 4);
  EXPECT_EQ(NativeGetChoiceCount(Words({})), 2U);
  const std::uint32_t copy = NativeGetChoice(Words({1}));
  ASSERT_NE(copy, 0U);
  EXPECT_STREQ(host_.Memory().String(copy), "yes");
  const std::uint32_t small = host_.Memory().Allocate(4, true);
  EXPECT_EQ(NativeCopyChoice(Words({1, small, 3})), 3U);
  EXPECT_EQ(NativeCopyChoice(Words({0, small, 3})), 0U);
  EXPECT_STREQ(host_.Memory().String(small), "no");
  EXPECT_EQ(NativeCopyChoice(Words({2, small, 3})), 1U);
  EXPECT_EQ(NativeSelectChoice(Words({1})), 1U);
  EXPECT_EQ(NativeGetSelectedChoice(Words({})), 1U);
  EXPECT_EQ(NativeWasChoiceChosen(Words({1})), 0U) << "no record to keep the bit";

  // Each of these unbinds the list, even when it fails.
  bind_elsewhere();
  EXPECT_EQ(NativeAddChoice(Words({0})), 1U);
  EXPECT_EQ(list.choice_record(), nullptr);
  bind_elsewhere();
  EXPECT_EQ(NativeSetChoiceCapacity(Words({0})), 0U);
  EXPECT_EQ(list.choice_record(), nullptr);
  EXPECT_EQ(NativeAddChoice(Words({Put("full")})), 2U);
  // A capacity beyond the limit is refused and leaves the one before.
  EXPECT_EQ(NativeSetChoiceCapacity(Words({1})), 1U);
  bind_elsewhere();
  EXPECT_EQ(NativeSetChoiceCapacity(Words({CMessageText::kMaxChoiceCapacity + 1})), 0U);
  EXPECT_EQ(list.choice_record(), nullptr);
  EXPECT_EQ(NativeAddChoice(Words({Put("one")})), 0U);
  EXPECT_EQ(NativeAddChoice(Words({Put("two")})), 2U);
  bind_elsewhere();
  EXPECT_EQ(NativeResetChoiceBits(Words({})), 0U);
  EXPECT_EQ(list.choice_record(), nullptr);
  bind_elsewhere();
  EXPECT_EQ(NativeClearChoices(Words({})), 0U);
  EXPECT_EQ(list.choice_record(), nullptr);
  bind_elsewhere();
  NativeResetMessage(Words({}));
  EXPECT_EQ(list.choice_record(), nullptr);
}

TEST_F(TextPrinterBuiltinsTest, SwitchesAndABadAddressFaults) {
  NativeSetMessageSwitch(Words({0x100}));
  EXPECT_EQ(NativeSetMessage(Words({Message("x")})), static_cast<std::uint32_t>(-1));
  NativeSetMessageSwitch(Words({1}));
  NativeSetChoiceSwitch(Words({0}));
  EXPECT_EQ(NativeAddChoice(Words({Put("a")})), static_cast<std::uint32_t>(-1));
  EXPECT_THROW(NativeSetMessage(Words({0x10})), ScriptFault);
  EXPECT_EQ(NativeIsMessageRead(Words({})), 0U);
}

TEST_F(TextPrinterBuiltinsTest, AListMenuThatEndsLetsGoOfTheChoiceList) {
  {
    CListMenu list;
    g_ChoiceList = &list;
  }
  EXPECT_EQ(g_ChoiceList, nullptr);
}

}  // namespace
