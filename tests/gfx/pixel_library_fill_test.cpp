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

#include "gfx/image.h"
#include "gfx/pixel_library.h"
#include "pixel/pixel_tables.h"

namespace {

using plat::Rect;
using InPlace = std::function<uint32_t(CImage&)>;

std::unique_ptr<CImage> Make(uint8_t bpp, uint32_t key) {
  auto image = std::make_unique<CImage>();
  EXPECT_EQ(image->Create(11, 8, bpp, CImage::kOwnDirtyRegion), 0u);
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 11 * bpp / 8; ++x) {
      image->GetRowPointer(y)[x] = static_cast<uint8_t>((x * 37 + y * 101) * 2654435761u >> 24);
    }
  }
  if (key != kNoColorKey) {
    std::memcpy(image->GetRowPointer(2) + 12, &key, 4);
    image->SetColorKeyFromPixel(3, 2);
  }
  image->GetOwnedDirtyRegion()->Clear();
  image->ClearModified();
  return image;
}

struct Painted {
  uint32_t status;
  std::vector<uint8_t> bytes;
  std::string box;
};

void ExpectSame(const Painted& actual, const Painted& expected) {
  EXPECT_EQ(actual.status, expected.status);
  EXPECT_EQ(actual.bytes, expected.bytes);
  EXPECT_EQ(actual.box, expected.box);
}

Painted Paint(const InPlace& op, uint8_t bpp = 32, uint32_t key = kNoColorKey) {
  auto image = Make(bpp, key);
  const uint32_t status = op(*image);
  std::vector<uint8_t> bytes;
  const int32_t row_bytes = 11 * bpp / 8;
  for (int32_t y = 0; y < 8; ++y) bytes.insert(bytes.end(), image->GetRowPointer(y), image->GetRowPointer(y) + row_bytes);
  std::string box = "none";
  if (image->IsModified()) {
    const Rect& b = image->GetDirtyRegion()->BoundingBox();
    box = std::to_string(b.left) + "," + std::to_string(b.top) + "," + std::to_string(b.right) + "," +
          std::to_string(b.bottom);
  }
  return {status, bytes, box};
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

const Rect kPart{-3, 2, 6, 5};
const Rect kOutside{20, 0, 30, 4};
constexpr uint32_t kKey = 0x80402010;

TEST_F(PixelLibraryFillTest, BoundFillsPaintWhatTheirOwnKernelsPaint) {
  struct Case {
    const char* name;
    uint8_t bpp;
    uint32_t key;
    InPlace op;
  };
  const auto filled = [](bool done) { return done ? 1u : 0u; };
  const std::vector<Case> cases = {
      {"FillRect 32", 32, kNoColorKey, [&](CImage& i) { return filled(i.FillRect(1, 2, 3, &kPart)); }},
      {"FillRect 8", 8, kNoColorKey, [&](CImage& i) { return filled(i.FillRect(0x1C7, 2, 3, &kPart)); }},
      {"FillRect outside", 32, kNoColorKey, [&](CImage& i) { return filled(i.FillRect(1, 2, 3, &kOutside)); }},
      {"FillRectArgb", 32, kNoColorKey, [&](CImage& i) { return filled(i.FillRectArgb(0x7F102030, nullptr)); }},
      {"FillRectArgb 8", 8, kNoColorKey, [&](CImage& i) { return filled(i.FillRectArgb(0x7F102030, nullptr)); }},
      {"SetRgbKeepAlpha", 32, kNoColorKey, [&](CImage& i) { return filled(i.SetRgbKeepAlpha(9, 8, 7, &kPart)); }},
      {"SetRgbKeepAlpha keyed", 32, kKey, [&](CImage& i) { return filled(i.SetRgbKeepAlpha(9, 8, 7, &kPart)); }},
      {"FillColor 128", 32, kNoColorKey, [](CImage& i) { return i.FillColor(200, 30, 90, 128, &kPart); }},
      {"FillColor 255 keyed", 32, kKey, [](CImage& i) { return i.FillColor(200, 30, 90, 255, nullptr); }},
      {"FillColor 1 keyed", 32, kKey, [](CImage& i) { return i.FillColor(200, 30, 90, 1, &kPart); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Painted engine = Paint(c.op, c.bpp, c.key);
    ExpectSame(Bound(c.op, c.bpp, c.key), engine);
  }
  // What the rectangle {-3, 2, 6, 5} leaves: columns 0..5 of rows 2..4.
  EXPECT_EQ(Bound(cases[0].op).box, "0,2,6,5");
}

TEST_F(PixelLibraryFillTest, LibraryOnlyOperationsPaintTheMatchingEngineOperation) {
  struct Case {
    const char* name;
    InPlace library;
    InPlace engine;
  };
  const auto done = [](bool ok) { return ok ? 0u : 1u; };
  const std::vector<Case> cases = {
      {"FillValue", [](CImage& i) { return i.PixelLibFillValue(0x5A, &kPart); },
       [&](CImage& i) { return done(i.FillRectArgb(0x5A5A5A5A, &kPart)); }},
      {"BlendColor", [](CImage& i) { return i.PixelLibBlendColor(0xFF123456, 128, &kPart, 1); },
       [](CImage& i) { return i.FillColor(0x12, 0x34, 0x56, 128, &kPart); }},
      {"SwitchOp clear", [&](CImage& i) { return done(i.PixelLibSwitchOp(false)); },
       [](CImage& i) { return i.Invert(0, nullptr); }},
      {"SwitchOp set", [&](CImage& i) { return done(i.PixelLibSwitchOp(true)); },
       [](CImage& i) { return i.Invert(2, nullptr); }},
      {"ValueOpA", [&](CImage& i) { return done(i.PixelLibValueOpA(100)); },
       [&](CImage& i) { return done(i.AdjustBrightness(100, nullptr)); }},
      {"ValueOpA lighter", [&](CImage& i) { return done(i.PixelLibValueOpA(400)); },
       [&](CImage& i) { return done(i.AdjustBrightness(400, nullptr)); }},
      {"Soften along rows", [](CImage& i) { return i.PixelLibSoften(2, 0, nullptr, 0); },
       [](CImage& i) {
         CImage copy;
         copy.Duplicate(&i, 0);
         return i.BlurBlendLevel(&copy, 2, 255, 0, 0, nullptr);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Painted engine = Paint(c.engine);
    const Painted library = Bound(c.library);
    ExpectSame(library, engine);
    EXPECT_NE(library.box, "none");
  }
  // AdjustAlpha marks nothing itself; the library's alpha level reports the whole image.
  const Painted alpha = Bound([&](CImage& i) { return done(i.PixelLibValueOpB(300)); });
  const Painted engine = Paint([&](CImage& i) { return done(i.AdjustAlpha(300, nullptr)); });
  EXPECT_EQ(alpha.bytes, engine.bytes);
  EXPECT_EQ(alpha.box, "0,0,11,8");
}

TEST_F(PixelLibraryFillTest, SoftenSpreadsAPixelOverItsBoxAlongRowsThenColumns) {
  const Painted soft = Bound([](CImage& i) {
    i.FillRectArgb(0, nullptr);
    const Rect pixel{5, 4, 6, 5};
    i.FillRectArgb(0xFFFFFFFF, &pixel);
    i.GetDirtyRegion()->Clear();
    const Rect area{1, 1, 10, 8};
    return i.PixelLibSoften(1, 2, &area, 0);
  });
  EXPECT_EQ(soft.status, 0u);
  EXPECT_EQ(soft.box, "1,1,10,8");
  // 255 over 3 pixels gives 85, 85 over 5 gives 17, in every channel.
  for (int32_t y = 0; y < 8; ++y) {
    for (int32_t x = 0; x < 11; ++x) {
      const uint8_t expected = (x >= 4 && x <= 6 && y >= 2 && y <= 6) ? 17 : 0;
      EXPECT_EQ(soft.bytes[static_cast<size_t>(y) * 44 + x * 4], expected) << x << "," << y;
    }
  }
}

TEST_F(PixelLibraryFillTest, LibraryOnlyOperationsGiveTheirStatuses) {
  struct Case {
    const char* name;
    std::function<uint32_t(CImage&)> op;
    uint32_t unbound, eight_bits, empty, bound;
  };
  const auto as = [](bool ok) { return ok ? 0u : 9u; };
  const std::vector<Case> cases = {
      {"FillValue", [](CImage& i) { return i.PixelLibFillValue(1, nullptr); }, 2, 1, 1, 0},
      {"FillValue outside", [](CImage& i) { return i.PixelLibFillValue(1, &kOutside); }, 2, 1, 1, 3},
      {"BlendColor", [](CImage& i) { return i.PixelLibBlendColor(1, 5, nullptr, 0); }, 2, 1, 1, 0},
      {"BlendColor level 0", [](CImage& i) { return i.PixelLibBlendColor(1, 0, nullptr, 0); }, 0, 0, 0, 0},
      {"Soften", [](CImage& i) { return i.PixelLibSoften(1, 1, nullptr, 0); }, 2, 2, 1, 0},
      {"Soften outside", [](CImage& i) { return i.PixelLibSoften(1, 1, &kOutside, 0); }, 2, 2, 1, 3},
      {"SwitchOp", [&](CImage& i) { return as(i.PixelLibSwitchOp(true)); }, 9, 9, 9, 0},
      {"ValueOpA", [&](CImage& i) { return as(i.PixelLibValueOpA(510)); }, 9, 9, 9, 0},
      {"ValueOpA 511", [&](CImage& i) { return as(i.PixelLibValueOpA(511)); }, 9, 9, 9, 9},
      {"ValueOpB 512", [&](CImage& i) { return as(i.PixelLibValueOpB(512)); }, 9, 9, 9, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Paint(c.op).status, c.unbound);
    EXPECT_EQ(Bound(c.op, 8).status, c.eight_bits);
    SetPixelLib(&library_);
    CImage empty;
    EXPECT_EQ(c.op(empty), c.empty);
    SetPixelLib(nullptr);
    const Painted bound = Bound(c.op);
    EXPECT_EQ(bound.status, c.bound);
    if (c.bound != 0) {
      EXPECT_EQ(bound.box, "none");
    }
  }
}

}  // namespace
