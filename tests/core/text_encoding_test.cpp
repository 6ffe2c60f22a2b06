// The output encoding chosen from a whole input, read block by block: characters split across
// two blocks, stray bytes and a sequence cut by the end must give the same answer as a check of
// the whole text at once.
#include "core/text_encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace korv {
namespace {

TEST(OutputEncodingOf, AgreesWithTheWholeTextOnGeneratedFiles) {
  std::mt19937 random(7);
  const std::string pieces[] = {"a", "\r\n", "\xC3\xA6", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
  for (int round = 0; round < 60; ++round) {
    std::string text;
    const size_t size = 65536 * (1 + random() % 3) + random() % 9 - 4;
    while (text.size() < size) text += pieces[round % 3 == 0 ? 0 : random() % 5];
    if (round % 4 == 1) text[random() % text.size()] = '\xE6';  // one Windows-1252 byte
    if (round % 4 == 2) text.pop_back();                          // a sequence cut at the end
    std::istringstream in("skip" + text);
    in.seekg(4);
    const bool utf8 = IsValidUtf8(text) && HasNonAscii(text);
    EXPECT_EQ(OutputEncodingOf(in) == TextEncoding::Utf8, utf8) << "round " << round;
    EXPECT_EQ(in.tellg(), 4);  // put back where it stood
  }
}

TEST(CharCuts, NeverSplitACharacter) {
  const std::string name = "\xC3\x98stre-\xC3\x85lg\xC3\xA5rd";  // 12 characters
  EXPECT_EQ(CharPrefix(name, 10, TextEncoding::Utf8), "\xC3\x98stre-\xC3\x85lg\xC3\xA5");
  EXPECT_EQ(CharSuffix(name, 3, TextEncoding::Utf8), "\xC3\xA5rd");
  EXPECT_EQ(CharSuffix(name, 2, TextEncoding::Utf8), "rd");
  EXPECT_EQ(CharCount(name, TextEncoding::Utf8), 12u);
  EXPECT_EQ(CharPrefix(name, 2, TextEncoding::Windows1252), "\xC3\x98");
  std::size_t lost = 0;
  EXPECT_EQ(Utf8ToWindows1252("\xC5\x81\xC3\xB3" "d\xC5\xBA \xE2\x82\xAC", &lost), "?\xF3" "d? \x80");
  EXPECT_EQ(lost, 2u);
}

}  // namespace
}  // namespace korv
