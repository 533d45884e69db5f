#include <gtest/gtest.h>

#include "text/utf8.h"
#include "text/white_space.h"

namespace zelto {
namespace {

TEST(Utf8, WellFormedSequences) {
  for (const char* text : {"", "ascii only, longer than eight bytes", "é", "—", "\xf0\x9f\x98\x80", "\xef\xbf\xbf",
                           "\xf4\x8f\xbf\xbf", "\xed\x9f\xbf", "\xee\x80\x80", "\x7f", "abcdefgh\xc3\xa9" "abcdefgh"}) {
    EXPECT_TRUE(is_valid_utf8(text)) << text;
  }
  EXPECT_TRUE(is_valid_utf8(std::string_view("\0", 1)));
}

TEST(Utf8, MalformedSequences) {
  for (const char* text : {"\x80", "\xbf", "\xc0\x80", "\xc1\xbf", "\xc3", "\xc3(", "\xe0\x9f\xbf", "\xed\xa0\x80",
                           "\xed\xbf\xbf", "\xe2\x80", "\xf0\x8f\xbf\xbf", "\xf4\x90\x80\x80", "\xf5\x80\x80\x80",
                           "\xff", "\xfe", "abcdefgh\xe2\x80", "\xf0\x9f\x98"}) {
    EXPECT_FALSE(is_valid_utf8(text)) << ::testing::PrintToString(std::string(text));
  }
}

TEST(WhiteSpace, TrimsEveryWhiteSpaceCharacterAtBothEnds) {
  const char* white_space[] = {"\t", "\n", "\x0b", "\x0c", "\r", " ", "\xc2\x85", "\xc2\xa0", "\xe1\x9a\x80",
                               "\xe2\x80\x80", "\xe2\x80\x85", "\xe2\x80\x8a", "\xe2\x80\xa8", "\xe2\x80\xa9",
                               "\xe2\x80\xaf", "\xe2\x81\x9f", "\xe3\x80\x80"};
  for (const char* space : white_space) {
    const std::string text = std::string(space) + space + "{x}" + space;
    EXPECT_EQ(trim_white_space(text), "{x}") << ::testing::PrintToString(std::string(space));
  }
}

TEST(WhiteSpace, KeepsEverythingElse) {
  const char* not_white_space[] = {"\xe2\x80\x8b", "\xef\xbb\xbf", "\xe2\x81\xa0", "\xc2\xa1", "\xe3\x80\x81",
                                   "\xe2\x80\x8c", "\x1c", "\xe1\xa0\x8e"};
  for (const char* other : not_white_space) {
    const std::string text = std::string(other) + " x " + other;
    EXPECT_EQ(trim_white_space(text), text) << ::testing::PrintToString(std::string(other));
  }
  EXPECT_EQ(trim_white_space(" \xc2\xa0 "), "");
  EXPECT_EQ(trim_white_space("a b"), "a b");
  // The last bytes of "é\xa0" could look like a two-byte space only if read from the middle.
  EXPECT_EQ(trim_white_space("\xe3\x80\xa0"), "\xe3\x80\xa0");
}

}  // namespace
}  // namespace zelto
