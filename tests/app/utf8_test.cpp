// UTF-16 messages as UTF-8: ASCII, the game's Japanese texts, and a character beyond the BMP.
#include <gtest/gtest.h>

#include "app/utf8.h"

using namespace halvane;

TEST(Utf8, FromUtf16) {
  const struct {
    std::u16string_view text;
    std::string_view expected;   // the bytes, written out so they do not come from the compiler's own UTF-8
  } rows[] = {
      {u"", ""},
      {u"c=3", "c=3"},
      {u"\u00e9", "\xc3\xa9"},
      {u"\u5148\u624b", "\xe5\x85\x88\xe6\x89\x8b"},          // 先手
      {u"\U0001F642 ok", "\xf0\x9f\x99\x82 ok"},              // a surrogate pair
  };
  for (const auto& row : rows) EXPECT_EQ(utf8_from_utf16(row.text), row.expected) << row.expected;
}
