#include "ui/fonts/font_list.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::vector<plat::InstalledFace> kFaces = {
    {"Gothic", 128, true, true}, {"@Gothic", 128, true, true}, {"$Hidden", 128, true, true},
    {"Bitmap", 0, false, false},
};

std::vector<std::string> Names(const CFontList& list) {
  std::vector<std::string> names;
  for (const LogicalFont& face : list.faces) names.push_back(face.face_name);
  return names;
}

TEST(FontListTest, FiltersFacesAndNeverListsDollarFaces) {
  struct Case {
    uint8_t flags;
    uint8_t char_set;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {0, 0, {"Gothic", "@Gothic", "Bitmap"}},
      {CFontList::kNoVerticalFaces, 0, {"Gothic", "Bitmap"}},
      {CFontList::kTrueTypeOnly, 0, {"Gothic", "@Gothic"}},
      {CFontList::kFixedPitchOnly, 0, {"Gothic", "@Gothic"}},
      {CFontList::kCharSetOnly, 128, {"Gothic", "@Gothic"}},
      {CFontList::kCharSetOnly, 0, {"Bitmap"}},
  };
  for (const Case& c : cases) {
    CFontList list;
    EXPECT_EQ(EnumerateFonts(list, c.flags, c.char_set, kFaces), c.names.size());
    EXPECT_EQ(Names(list), c.names) << int{c.flags};
    EXPECT_EQ(list.flags, c.flags);
  }
}

// The Japanese faces installed for the engine appear under the names the games use for them.
TEST(FontListTest, InstalledJapaneseFacesCarryTheirWindowsNames) {
  CFontList list;
  EXPECT_GT(EnumerateFonts(list, CFontList::kCharSetOnly, 128), 0U);
  const std::vector<std::string> names = Names(list);
  const std::string gothic = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック
  EXPECT_NE(std::find(names.begin(), names.end(), gothic), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "@" + gothic), names.end());
  EXPECT_TRUE(std::all_of(list.faces.begin(), list.faces.end(), [](const LogicalFont& f) { return f.char_set == 128; }));
}

}  // namespace
