// The text printer on the fake face: every character is a fully inked 8 × 10 box 1 right of and
// 2 below the pen and advances 20.
#include "novel/text/text_printer.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gfx/display/image_canvas.h"
#include "gfx/images/image.h"
#include "pixel/kernels/pixel_tables.h"
#include "script/script_vm.h"
#include "support/fake_font_face.h"
#include "support/region_rects.h"
#include "ui/fonts/font.h"

namespace {

constexpr std::uint32_t kPaper = 0xFF000000;

class TextPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BuildPixelTables();
    ASSERT_EQ(image_.Create(200, 60, 32, CImage::kOwnDirtyRegion), 0U);
    image_.FillRectArgb(kPaper, nullptr);
    font_ = MakeFont(16);
  }
  static std::unique_ptr<CFont> MakeFont(int32_t size) {
    auto font = std::make_unique<CFont>(FakeFontFace::Factory(std::make_shared<FakeFontFaceLog>()));
    EXPECT_EQ(font->SetFont(size, 0, 0, "face"), 0U);
    font->text_color = Rgb{255, 255, 255};
    return font;
  }
  std::uint32_t Record(const std::string& line) {
    const std::string bytes = std::string{'\0', '\0', '\0'} + line;
    const std::uint32_t address = vm_.Memory().Allocate(static_cast<std::uint32_t>(bytes.size()) + 1, true);
    vm_.Memory().Write(address, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    return address;
  }
  bool Ink(int32_t x, int32_t y) const { return image_.GetPixel(x, y) != kPaper; }
  // Ink in the glyph box of a character drawn with its pen at (x, 0).
  bool GlyphAt(int32_t x) const { return Ink(x + 1, 2) && Ink(x + 8, 11); }

  CScriptVm vm_;
  CTextPrinter printer_{vm_};
  CImage image_;
  std::unique_ptr<CFont> font_;
};

TEST_F(TextPrinterTest, PrintNextDrawsCharacterByCharacterAndRestartsAtWaitMarks) {
  ASSERT_EQ(printer_.SetTarget(vm_.Handles(), &image_, nullptr, 0, 0, font_.get(), 0, 0, 0), 0U);
  ASSERT_EQ(printer_.SetMessage(Record("ab&c")), 0);
  EXPECT_EQ(printer_.PrintNext(false), 0);
  EXPECT_TRUE(GlyphAt(0));
  EXPECT_EQ(printer_.GetPenX(), 20);
  EXPECT_EQ(printer_.PrintNext(false), 0);
  EXPECT_TRUE(GlyphAt(20));
  EXPECT_EQ(printer_.GetPenX(), 40);
  EXPECT_EQ(printer_.PrintNext(false), 4);
  EXPECT_EQ(printer_.GetPenX(), 0);
  EXPECT_EQ(printer_.PrintNext(false), 0);
  EXPECT_EQ(printer_.GetPenX(), 20);
  EXPECT_EQ(printer_.PrintNext(false), 5);
  EXPECT_EQ(printer_.GetPenX(), 0);
  EXPECT_FALSE(Ink(41, 2));
}

TEST_F(TextPrinterTest, PrintNextRunsToTheNextStop) {
  ASSERT_EQ(printer_.SetTarget(vm_.Handles(), &image_, nullptr, 0, 0, font_.get(), 0, 0, 0), 0U);
  ASSERT_EQ(printer_.SetMessage(Record("ab$cd")), 0);
  EXPECT_EQ(printer_.PrintNext(true), 1);
  EXPECT_TRUE(GlyphAt(0));
  EXPECT_TRUE(GlyphAt(20));
  EXPECT_FALSE(Ink(41, 2));
  EXPECT_EQ(printer_.GetPenX(), 40);
}

TEST_F(TextPrinterTest, FixedPitchCentresTwoByteCharactersInTheirCell) {
  const auto font = MakeFont(24);
  ASSERT_EQ(printer_.SetTarget(vm_.Handles(), &image_, nullptr, 10, 0, font.get(), 0, 1, 3), 0U);
  ASSERT_EQ(printer_.SetMessage(Record("\x82\xA0")), 0);
  EXPECT_EQ(printer_.PrintNext(false), 0);
  EXPECT_TRUE(GlyphAt(12)) << "20 wide in a cell of 24: 2 right of the pen";
  EXPECT_FALSE(Ink(12, 2));
  EXPECT_EQ(printer_.GetPenX(), 10 + 24 + 3);
}

TEST_F(TextPrinterTest, EscapesPrintTheirCharacterAndRecordsNothing) {
  ASSERT_EQ(printer_.SetTarget(vm_.Handles(), &image_, nullptr, 0, 0, font_.get(), 0, 0, 0), 0U);
  std::string line = "[$[";
  line += std::string{'\0', 1, 2, 3, 4, 1, 0, 'x'} + "<1>a\\b";
  ASSERT_EQ(printer_.SetMessage(Record(line)), 0);
  EXPECT_EQ(printer_.PrintUpTo(-1, true), 2);
  EXPECT_TRUE(GlyphAt(0)) << "the $";
  EXPECT_TRUE(GlyphAt(20)) << "the a: the record and the tag drew nothing";
  EXPECT_FALSE(Ink(41, 2));
  EXPECT_EQ(printer_.GetPenY(), 16) << "the new line moved the pen down by the character height";
  EXPECT_TRUE(Ink(1, 18));
  ASSERT_NE(image_.GetDirtyRegion(), nullptr);
  EXPECT_FALSE(RegionRects(*image_.GetDirtyRegion()).empty());
}

TEST_F(TextPrinterTest, ADoubledAtSignIsOneCharacterAndTheDigitsBehindItAreTheirOwn) {
  // With a letter spacing of 3, each unit moves the pen by 23.
  ASSERT_EQ(printer_.SetTarget(vm_.Handles(), &image_, nullptr, 0, 0, font_.get(), 0, 0, 3), 0U);
  ASSERT_EQ(printer_.SetMessage(Record("@@12")), 0);
  EXPECT_EQ(printer_.PrintUpTo(-1, true), 2);
  EXPECT_EQ(printer_.GetPenX(), 3 * 23);
}

TEST_F(TextPrinterTest, ALongNamePartIsCutBeforeATwoByteCharacterItCannotHoldWhole) {
  CImage wide;
  ASSERT_EQ(wide.Create(5200, 20, 32, 0), 0U);
  wide.FillRectArgb(kPaper, nullptr);
  ASSERT_EQ(printer_.SetMessage(Record("#" + std::string(253, 'a') + "\x82\xA0\\b$text")), 0);
  ASSERT_EQ(printer_.PrintName(0, 0, 1, &wide, font_.get(), 0), 0U);
  EXPECT_NE(wide.GetPixel(252 * 20 + 1, 2), kPaper) << "the last whole character";
  EXPECT_EQ(wide.GetPixel(253 * 20 + 1, 2), kPaper) << "no half of the two-byte character";
}

TEST_F(TextPrinterTest, DoubledOpeningBracketPrintsOneBracket) {
  ASSERT_EQ(printer_.SetTarget(vm_.Handles(), &image_, nullptr, 0, 0, font_.get(), 0, 0, 0), 0U);
  ASSERT_EQ(printer_.SetMessage(Record("<<b>")), 0);
  EXPECT_EQ(printer_.PrintNext(false), 0);
  EXPECT_TRUE(GlyphAt(0));
  EXPECT_EQ(printer_.GetPenX(), 20) << "the `b>` behind it is not taken for the rest of a tag";
  EXPECT_EQ(printer_.PrintNext(false), 0);
  EXPECT_TRUE(GlyphAt(20));
}

TEST_F(TextPrinterTest, CompanionGetsEveryGlyphRectangle) {
  CImageCanvasEx companion;
  ASSERT_EQ(companion.Create(200, 60, 32, 0), 0U);
  CDirtyRegion* region = companion.GetImage()->GetDirtyRegion();
  ASSERT_NE(region, nullptr);
  region->Clear();
  ASSERT_EQ(printer_.SetTarget(vm_.Handles(), &image_, &companion, 0, 0, font_.get(), 0, 0, 0), 0U);
  ASSERT_EQ(printer_.SetMessage(Record("ab")), 0);
  EXPECT_EQ(printer_.PrintUpTo(-1, true), 2);
  std::vector<RectArray> rects = RegionRects(*region);
  ASSERT_FALSE(rects.empty());
  int32_t left = 1000;
  int32_t right = 0;
  for (const RectArray& r : rects) {
    left = std::min(left, r[0]);
    right = std::max(right, r[2]);
  }
  EXPECT_LE(left, 1);
  EXPECT_GE(right, 29);
}

TEST_F(TextPrinterTest, MissingTargetFontOrChoice) {
  EXPECT_EQ(printer_.SetTarget(vm_.Handles(), nullptr, nullptr, 0, 0, font_.get(), 0, 0, 0), 1U);
  EXPECT_EQ(printer_.SetTarget(vm_.Handles(), &image_, nullptr, 0, 0, nullptr, 0, 0, 0), 1U);
  ASSERT_EQ(printer_.SetMessage(Record("#Name$ab")), 0);
  EXPECT_EQ(printer_.PrintNext(false), 1);
  EXPECT_EQ(printer_.PrintUpTo(-1, true), -1);
  EXPECT_EQ(printer_.PrintUpTo(-1, false), 2);
  EXPECT_FALSE(printer_.Redraw());
  EXPECT_EQ(printer_.PrintName(0, 0, 0, nullptr, nullptr, 255), 1U);
  EXPECT_EQ(printer_.PrintName(0, 0, 3, &image_, font_.get(), 0), 2U);
  EXPECT_EQ(printer_.PrintChoice(0, 0, 0, &image_, font_.get(), 0), 2U);
  EXPECT_EQ(printer_.PrintName(0, 30, 1, &image_, font_.get(), 0), 0U);
  EXPECT_TRUE(Ink(1, 32));
  EXPECT_EQ(printer_.GetSelectedChoice(), 255);
  EXPECT_FALSE(printer_.WasChoiceChosen(0));
}

TEST_F(TextPrinterTest, TargetObjectThatDiesIsMissing) {
  auto doomed = std::make_unique<CImage>();
  ASSERT_EQ(doomed->Create(40, 40, 32, 0), 0U);
  ASSERT_EQ(printer_.SetTarget(vm_.Handles(), doomed.get(), nullptr, 0, 0, font_.get(), 0, 0, 0), 0U);
  ASSERT_EQ(printer_.SetMessage(Record("a")), 0);
  doomed.reset();
  EXPECT_EQ(printer_.TargetImage(), nullptr);
  EXPECT_EQ(printer_.PrintNext(false), 1);
}

TEST_F(TextPrinterTest, PlainTextMarksAndCaption) {
  ASSERT_EQ(printer_.SetMessage(Record("x\\y&z")), 0);
  EXPECT_EQ(printer_.PlainText(true), std::string("x\r\ny"));
  EXPECT_EQ(printer_.PlainText(true).size() + 1, 5U);
  EXPECT_EQ(printer_.GetCaption(), "xy");
  ASSERT_EQ(printer_.SetMessage(Record("<\"t\">\\a@12b@@c[&d<<e$f")), 0);
  EXPECT_EQ(printer_.PlainText(false), "ab@c&d<e");

  EXPECT_EQ(printer_.StepUnit(), 6);
  ASSERT_TRUE(printer_.SaveMark());
  const std::uint32_t marked = printer_.cursor();
  printer_.StepUnit();
  EXPECT_TRUE(printer_.RestoreMark());
  EXPECT_EQ(printer_.cursor(), marked);
  printer_.StepUnit();
  const std::uint32_t before = printer_.cursor();
  ASSERT_EQ(printer_.SetMessage(Record("new")), 0);
  printer_.StepUnit();
  EXPECT_FALSE(printer_.RestoreMark());
  EXPECT_EQ(printer_.cursor(), 1U);
  EXPECT_NE(before, 1U);
}

TEST_F(TextPrinterTest, AMarkHoldsWhenTheHistoryComesBackToItsEntry) {
  printer_.history_on = 1;
  printer_.SetHistorySize(5);
  for (const char* line : {"one", "twotwo"}) ASSERT_EQ(printer_.SetMessage(Record(line)), 0);
  printer_.StepUnit();
  printer_.StepUnit();
  ASSERT_TRUE(printer_.SaveMark());
  const std::uint32_t marked = printer_.cursor();
  ASSERT_EQ(printer_.HistoryPrevious(), 0);
  EXPECT_FALSE(printer_.RestoreMark()) << "another entry";
  ASSERT_EQ(printer_.HistoryNext(), 0);
  EXPECT_TRUE(printer_.RestoreMark()) << "the marked entry again";
  EXPECT_EQ(printer_.cursor(), marked);
  ASSERT_EQ(printer_.SetMessage(Record("twotwo")), 0);
  EXPECT_FALSE(printer_.RestoreMark()) << "a new message, even with the same text";
}

TEST_F(TextPrinterTest, SavedStateGivesANewPrinterTheSameHistory) {
  printer_.history_on = 1;
  printer_.SetHistorySize(5);
  for (const char* line : {"#A$one", "two", "three"}) ASSERT_EQ(printer_.SetMessage(Record(line)), 0);
  ByteWriter out;
  printer_.Save(out);
  CScriptVm other_vm;
  CTextPrinter other(other_vm);
  other.SetHistorySize(5);
  ByteReader in(out.Data());
  ASSERT_EQ(other.Load(in, true), 0U);
  ByteWriter again;
  other.Save(again);
  EXPECT_EQ(again.Data(), out.Data());
  ASSERT_EQ(other.HistoryNewest(), 0);
  EXPECT_EQ(other.GetCaption(), "three");
}

}  // namespace
