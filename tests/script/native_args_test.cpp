#include "script/native_args.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Picture : ScriptVisible<Picture> {};
struct Sound : ScriptVisible<Sound> {};

class NativeArgsTest : public ::testing::Test {
 protected:
  NativeArgsTest() : words_(memory_.Allocate(64 * 4, true)) {}

  void SetArgs(std::initializer_list<std::uint32_t> values) {
    std::uint32_t address = words_;
    for (std::uint32_t value : values) {
      memory_.SetWord(address, value);
      address += 4;
    }
  }
  NativeArgs Args() { return NativeArgs(memory_, handles_, words_); }
  std::uint32_t Text(const char* text) {
    const auto size = static_cast<std::uint32_t>(std::strlen(text) + 1);
    const std::uint32_t address = memory_.Allocate(size);
    memory_.Write(address, text, size);
    return address;
  }

  ScriptMemory memory_;
  HandleTable handles_;
  std::uint32_t words_;
};

TEST_F(NativeArgsTest, NumbersFlagsAndPartsOfWords) {
  SetArgs({0xFFFFFFFE, 0x12345678, 0, 0x100});
  const NativeArgs args = Args();
  EXPECT_EQ(args.I32(0), -2);
  EXPECT_EQ(args.U32(0), 0xFFFFFFFEu);
  EXPECT_EQ(args.U8(1), 0x78);
  EXPECT_EQ(args.U16(1), 0x5678);
  EXPECT_FALSE(args.Flag(2));
  EXPECT_TRUE(args.Flag(3));  // any non-zero word
  EXPECT_EQ(args.From(1).U32(0), 0x12345678u);
  EXPECT_EQ(args.From(2).From(1).U32(0), 0x100u);
  EXPECT_EQ(args.From(3).Address(), words_ + 12);
}

TEST_F(NativeArgsTest, StringsAreNullForZero) {
  SetArgs({Text("\x83\x65\x83\x58\x83\x67"), 0});
  EXPECT_STREQ(Args().Str(0), "\x83\x65\x83\x58\x83\x67");
  EXPECT_EQ(Args().Str(1), nullptr);
}

TEST_F(NativeArgsTest, StringsThatRunOffTheUsableMemoryFaultCleanly) {
  const auto end = static_cast<std::uint32_t>(memory_.UsableEnd());
  const std::string run(100, 'z');
  memory_.Write(end - 100, run.data(), 100);
  SetArgs({end - 100, 0x8000});
  EXPECT_THROW(Args().Str(0), ScriptFault);
  EXPECT_THROW(Args().Str(1), ScriptFault);  // below the lowest address
}

TEST_F(NativeArgsTest, ReadingPastTheArgumentWordsFaults) {
  const NativeArgs far(memory_, handles_, static_cast<std::uint32_t>(memory_.UsableEnd()) - 4);
  EXPECT_NO_THROW(far.U32(0));
  EXPECT_THROW(far.U32(1), ScriptFault);
  EXPECT_THROW(NativeArgs(memory_, handles_, 0).I32(0), ScriptFault);
  EXPECT_THROW(NativeArgs(memory_, handles_, 0xFFFFFFF0).From(8).U32(0), ScriptFault);
}

TEST_F(NativeArgsTest, OutParametersWriteWordsAndIgnoreTheNullAddress) {
  const std::uint32_t target = memory_.Allocate(16, true);
  SetArgs({target, 0});
  Args().Out(0).Set(0xCAFE);
  EXPECT_EQ(memory_.Word(target), 0xCAFEu);
  Args().Out(0).SetWords({1, 2, 3});
  EXPECT_EQ(memory_.Word(target + 8), 3u);
  Args().Out(0).SetBytes("ab", 3);
  EXPECT_STREQ(memory_.String(target), "ab");
  const ScriptOut none = Args().Out(1);
  EXPECT_TRUE(none.IsNull());
  EXPECT_NO_THROW(none.Set(5));
  EXPECT_NO_THROW(none.SetWords({1, 2}));
  SetArgs({0x20});
  EXPECT_THROW(Args().Out(0).Set(1), ScriptFault);
}

TEST_F(NativeArgsTest, HandlesResolveByKindAndHandleRefClearsOnlyOnSuccess) {
  Picture picture;
  Sound sound;
  const std::uint32_t cell = memory_.Allocate(8, true);
  memory_.SetWord(cell, picture.ScriptHandle(handles_));
  memory_.SetWord(cell + 4, sound.ScriptHandle(handles_));
  SetArgs({picture.ScriptHandle(handles_), 0, cell, cell + 4, 0});
  EXPECT_EQ(Args().Handle<Picture>(0), &picture);
  EXPECT_EQ(Args().Handle<Sound>(0), nullptr);
  EXPECT_EQ(Args().Handle<Picture>(1), nullptr);

  EXPECT_EQ(Args().HandleRef<Picture>(3).object, nullptr);  // a sound handle: left in place
  EXPECT_EQ(memory_.Word(cell + 4), sound.ScriptHandle(handles_));
  EXPECT_EQ(Args().HandleRef<Picture>(2).object, &picture);
  EXPECT_EQ(memory_.Word(cell), 0u);
  EXPECT_EQ(Args().HandleRef<Picture>(2).object, nullptr);
  EXPECT_EQ(Args().HandleRef<Picture>(4).object, nullptr);  // no cell
}

TEST_F(NativeArgsTest, RectanglesAndSizesAreAbsentOnlyFor65535) {
  SetArgs({10, 20, 110, 220, 65535, 1, 2, 3, 0xFFFFFFFF, 5});
  const std::optional<ScriptRect> rect = Args().Rect(0);
  ASSERT_TRUE(rect.has_value());
  EXPECT_EQ(rect->left, 10);
  EXPECT_EQ(rect->top, 20);
  EXPECT_EQ(rect->right, 110);
  EXPECT_EQ(rect->bottom, 220);
  EXPECT_FALSE(Args().Rect(4).has_value());
  EXPECT_FALSE(Args().Size(4).has_value());
  const std::optional<ScriptSize> size = Args().Size(8);  // -1 is no marker
  ASSERT_TRUE(size.has_value());
  EXPECT_EQ(size->width, -1);
  EXPECT_EQ(size->height, 5);
}

TEST_F(NativeArgsTest, AnAbsentGroupDoesNotReadItsOtherWords) {
  const NativeArgs last(memory_, handles_, static_cast<std::uint32_t>(memory_.UsableEnd()) - 4);
  memory_.SetWord(last.Address(), 65535);
  EXPECT_FALSE(last.Rect(0).has_value());
  memory_.SetWord(last.Address(), 1);
  EXPECT_THROW(last.Rect(0), ScriptFault);
}

}  // namespace
