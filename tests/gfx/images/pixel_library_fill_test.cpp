// The pixel-routine library's fills, colour blend, softening and whole-image routines: bound,
// the engine's fills paint what they paint unbound; the library-only operations paint what the
// matching engine operation paints and give their statuses.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gfx/images/image.h"
#include "gfx/images/pixel_library.h"
#include "pixel/kernels/pixel_tables.h"

namespace {

using plat::Rect;
using InPlace = std::function<uint32_t(CImage&)>;

constexpr uint32_t kKey = 0x80402010;
const Rect kPart{-3, 2, 6, 5};
const Rect kOutside{20, 0, 30, 4};

uint32_t Status(bool done) { return done ? 0 : 9; }

struct Painted {
  uint32_t status;
  std::vector<uint8_t> bytes;
  std::string box = "none";
};

// An 11×8 image of varied bytes (with a key pixel at (3, 2) when keyed) after op.
Painted Paint(const InPlace& op, uint8_t bpp = 32, uint32_t key = kNoColorKey) {
  CImage image;
  EXPECT_EQ(image.Create(11, 8, bpp, CImage::kOwnDirtyRegion), 0u);
  const int32_t row_bytes = 11 * bpp / 8;
  for (int32_t i = 0; i < 8 * row_bytes; ++i) {
    image.GetRowPointer(i / row_bytes)[i % row_bytes] = static_cast<uint8_t>(i * 2654435761u >> 24);
  }
  if (key != kNoColorKey) {
    std::memcpy(image.GetRowPointer(2) + 12, &key, 4);
    image.SetColorKeyFromPixel(3, 2);
  }
  image.GetOwnedDirtyRegion()->Clear();
  image.ClearModified();
  Painted painted{op(image), {}};
  for (int32_t y = 0; y < 8; ++y) {
    painted.bytes.insert(painted.bytes.end(), image.GetRowPointer(y), image.GetRowPointer(y) + row_bytes);
  }
  if (image.IsModified()) {
    const Rect& b = image.GetDirtyRegion()->BoundingBox();
    painted.box = std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.right) + "," +
                  std::to_string(b.bottom);
  }
  return painted;
}

void ExpectSame(const Painted& actual, const Painted& expected) {
  EXPECT_EQ(actual.status, expected.status);
  EXPECT_EQ(actual.bytes, expected.bytes);
  EXPECT_EQ(actual.box, expected.box);
}

class PixelLibraryFillTest : public ::testing::Test {
 protected:
  void SetUp() override { BuildPixelTables(); }
  void TearDown() override { SetPixelLib(nullptr); }
  Painted Bound(const InPlace& op, uint8_t bpp = 32, uint32_t key = kNoColorKey) {
    SetPixelLib(&library_);
    Painted painted = Paint(op, bpp, key);
    SetPixelLib(nullptr);
    return painted;
  }
  CPixelLibrary library_;
};

TEST_F(PixelLibraryFillTest, BoundFillsPaintWhatTheirOwnKernelsPaint) {
  const std::vector<std::tuple<const char*, uint8_t, uint32_t, InPlace>> cases = {
      {"FillRect 32", 32, kNoColorKey, [](CImage& i) { return Status(i.FillRect(1, 2, 3, &kPart)); }},
      {"FillRect 8", 8, kNoColorKey, [](CImage& i) { return Status(i.FillRect(0x1C7, 2, 3, &kPart)); }},
      {"FillRect outside", 32, kNoColorKey, [](CImage& i) { return Status(i.FillRect(1, 2, 3, &kOutside)); }},
      {"FillRectArgb", 32, kNoColorKey, [](CImage& i) { return Status(i.FillRectArgb(0x7F102030, nullptr)); }},
      {"SetRgbKeepAlpha", 32, kNoColorKey, [](CImage& i) { return Status(i.SetRgbKeepAlpha(9, 8, 7, &kPart)); }},
      {"SetRgbKeepAlpha keyed", 32, kKey, [](CImage& i) { return Status(i.SetRgbKeepAlpha(9, 8, 7, &kPart)); }},
      {"FillColor 128", 32, kNoColorKey, [](CImage& i) { return i.FillColor(200, 30, 90, 128, &kPart); }},
      {"FillColor 255 keyed", 32, kKey, [](CImage& i) { return i.FillColor(200, 30, 90, 255, nullptr); }},
  };
  for (const auto& [name, bpp, key, op] : cases) {
    SCOPED_TRACE(name);
    ExpectSame(Bound(op, bpp, key), Paint(op, bpp, key));
  }
  // What {-3, 2, 6, 5} leaves of the image: columns 0..5 of rows 2..4.
  EXPECT_EQ(Bound(std::get<3>(cases[0])).box, "0,2,6,5");
}

TEST_F(PixelLibraryFillTest, LibraryOnlyOperationsPaintTheMatchingEngineOperation) {
  const std::vector<std::tuple<const char*, InPlace, InPlace>> cases = {
      {"FillValue", [](CImage& i) { return i.PixelLibFillValue(0x5A, &kPart); },
       [](CImage& i) { return Status(i.FillRectArgb(0x5A5A5A5A, &kPart)); }},
      {"BlendColor", [](CImage& i) { return i.PixelLibBlendColor(0xFF123456, 128, &kPart, 1); },
       [](CImage& i) { return i.FillColor(0x12, 0x34, 0x56, 128, &kPart); }},
      {"SwitchOp clear", [](CImage& i) { return Status(i.PixelLibSwitchOp(false)); },
       [](CImage& i) { return i.Invert(0, nullptr); }},
      {"SwitchOp set", [](CImage& i) { return Status(i.PixelLibSwitchOp(true)); },
       [](CImage& i) { return i.Invert(2, nullptr); }},
      {"ValueOpA", [](CImage& i) { return Status(i.PixelLibValueOpA(400)); },
       [](CImage& i) { return Status(i.AdjustBrightness(400, nullptr)); }},
      {"Soften along rows", [](CImage& i) { return i.PixelLibSoften(2, 0, nullptr, 0); },
       [](CImage& i) {
         CImage copy;
         copy.Duplicate(&i, 0);
         return i.BlurBlendLevel(&copy, 2, 255, 0, 0, nullptr);
       }},
  };
  for (const auto& [name, library, engine] : cases) {
    SCOPED_TRACE(name);
    const Painted painted = Bound(library);
    ExpectSame(painted, Paint(engine));
    EXPECT_NE(painted.box, "none");
  }
  // AdjustAlpha marks nothing itself; the library's alpha level reports the whole image.
  const Painted alpha = Bound([](CImage& i) { return Status(i.PixelLibValueOpB(300)); });
  EXPECT_EQ(alpha.bytes, Paint([](CImage& i) { return Status(i.AdjustAlpha(300, nullptr)); }).bytes);
  EXPECT_EQ(alpha.box, "0,0,11,8");
}

TEST_F(PixelLibraryFillTest, SoftenSpreadsAPixelOverItsBoxAlongRowsThenColumns) {
  const Painted soft = Bound([](CImage& i) {
    const Rect pixel{5, 4, 6, 5};
    i.FillRectArgb(0, nullptr);
    i.FillRectArgb(0xFFFFFFFF, &pixel);
    i.GetDirtyRegion()->Clear();
    const Rect area{1, 1, 10, 8};
    return i.PixelLibSoften(1, 2, &area, 0);
  });
  EXPECT_EQ(soft.status, 0u);
  EXPECT_EQ(soft.box, "1,1,10,8");
  // 255 over 3 pixels of a row gives 85, 85 over 5 of a column 17, in every channel.
  for (size_t i = 0; i < soft.bytes.size(); ++i) {
    const size_t x = i % 44 / 4;
    const size_t y = i / 44;
    EXPECT_EQ(soft.bytes[i], (x >= 4 && x <= 6 && y >= 2 && y <= 6) ? 17 : 0) << x << "," << y;
  }
}

TEST_F(PixelLibraryFillTest, LibraryOnlyOperationsGiveTheirStatuses) {
  struct Case {
    const char* name;
    InPlace op;
    uint32_t unbound, eight_bits, no_pixels, bound;
  };
  const std::vector<Case> cases = {
      {"FillValue", [](CImage& i) { return i.PixelLibFillValue(1, nullptr); }, 2, 1, 1, 0},
      {"BlendColor level 0", [](CImage& i) { return i.PixelLibBlendColor(1, 0, nullptr, 0); }, 0, 0, 0, 0},
      {"Soften outside", [](CImage& i) { return i.PixelLibSoften(1, 1, &kOutside, 0); }, 2, 2, 1, 3},
      {"SwitchOp", [](CImage& i) { return Status(i.PixelLibSwitchOp(true)); }, 9, 9, 9, 0},
      {"ValueOpB 512", [](CImage& i) { return Status(i.PixelLibValueOpB(512)); }, 9, 9, 9, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Paint(c.op).status, c.unbound);
    EXPECT_EQ(Bound(c.op, 8).status, c.eight_bits);
    SetPixelLib(&library_);
    CImage empty;
    EXPECT_EQ(c.op(empty), c.no_pixels);
    const Painted bound = Bound(c.op);
    EXPECT_EQ(bound.status, c.bound);
    EXPECT_TRUE(c.bound == 0 || bound.box == "none") << bound.box;
  }
}

}  // namespace
