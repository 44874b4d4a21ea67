#include "base/text/string_list.h"

#include <gtest/gtest.h>

namespace {

TEST(StringList, KeepsOwnedCopiesInOrder) {
  CStringList list;
  char text[] = "first";
  EXPECT_EQ(list.Add(text), 0u);
  text[0] = 'F';
  EXPECT_EQ(list.Add(nullptr), 0u);
  EXPECT_EQ(list.Add("\x82\xa0second"), 0u);
  ASSERT_EQ(list.Strings().size(), 2u);
  EXPECT_EQ(list.Strings()[0], "first");
  EXPECT_EQ(list.Strings()[1], "\x82\xa0second");
  list.Clear();
  EXPECT_TRUE(list.Strings().empty());
}

}  // namespace
