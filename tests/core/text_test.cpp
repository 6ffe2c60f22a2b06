// The comma splitter of raw data and coordinate lines, and the line reader every converter uses.
#include "core/text.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace korv {
namespace {

TEST(SplitFields, TrimsTheLineInPlaceAndKeepsTheLastFieldUntrimmed) {
  std::string line = " ST , 1 , , 2 ";
  FieldArray f;
  ASSERT_EQ(SplitFields(line, f), 4);
  EXPECT_EQ(line, "ST , 1 , , 2");
  EXPECT_EQ(f[1], "ST");
  EXPECT_EQ(f[2], "1");
  EXPECT_EQ(f[3], "");
  EXPECT_EQ(f[4], " 2");
}

TEST(SplitFields, EmptyFieldsAndTrailingComma) {
  FieldArray f;
  std::string a = "a,,b";
  EXPECT_EQ(SplitFields(a, f), 3);
  EXPECT_EQ(f[1], "a");
  EXPECT_EQ(f[2], "");
  EXPECT_EQ(f[3], "b");
  std::string b = "a,b,";
  EXPECT_EQ(SplitFields(b, f), 2);
  EXPECT_EQ(f[3], "");  // cleared from the previous line
  std::string c = "a";
  EXPECT_EQ(SplitFields(c, f), 1);
  EXPECT_EQ(f[1], "a");
  std::string d = "a,b,   ";
  EXPECT_EQ(SplitFields(d, f), 2);
}

TEST(SplitFields, BlankLineGivesNoFieldsAndLeavesTheArrayAlone) {
  FieldArray f;
  std::string first = "x,y";
  SplitFields(first, f);
  std::string blank = "    ";
  EXPECT_EQ(SplitFields(blank, f), 0);
  EXPECT_EQ(blank, "");
  EXPECT_EQ(f[1], "x");
  EXPECT_EQ(f[2], "y");
}

TEST(SplitFields, TwelveCommasSplitTheRestIsField13) {
  FieldArray f;
  std::string line = "1,2,3,4,5,6,7,8,9,10,11,12, a,b ,c,d";  // 15 commas
  ASSERT_EQ(SplitFields(line, f), 13);
  EXPECT_EQ(f[12], "12");
  EXPECT_EQ(f[13], " a,b ,c,d");
  EXPECT_EQ(f[14], "");
}

TEST(SplitFields, TabsAreDataNotBlanks) {
  FieldArray f;
  std::string line = "\tSS ,P1\t";
  ASSERT_EQ(SplitFields(line, f), 2);
  EXPECT_EQ(f[1], "\tSS");
  EXPECT_EQ(f[2], "P1\t");
}

TEST(SplitFields, BytesOutsideAsciiPassThrough) {
  FieldArray f;
  std::string line = "CO,\xC3\xB8st \xE9";
  ASSERT_EQ(SplitFields(line, f), 2);
  EXPECT_EQ(f[2], "\xC3\xB8st \xE9");
}

TEST(TrimInPlace, RemovesBlanksOnlyAtBothEnds) {
  std::string s = "  a b  ";
  TrimInPlace(s);
  EXPECT_EQ(s, "a b");
  std::string blanks = "   ";
  TrimInPlace(blanks);
  EXPECT_EQ(blanks, "");
}

// The splitting rule spelt out one character at a time, as a reference for the splitters.
std::string TrimBlanks(std::string t) {
  while (!t.empty() && t.front() == ' ') t.erase(0, 1);
  while (!t.empty() && t.back() == ' ') t.pop_back();
  return t;
}

std::vector<std::string> ReferenceFields(std::string line) {
  auto trim = TrimBlanks;
  line = trim(line);
  std::vector<std::string> fields;
  if (line.empty()) return fields;
  std::string field;
  size_t i = 0;
  for (; i < line.size() && fields.size() < 12; ++i) {
    if (line[i] == ',') {
      fields.push_back(trim(field));
      field.clear();
    } else {
      field += line[i];
    }
  }
  field += line.substr(i);  // after the twelfth comma the rest, commas included
  if (!trim(field).empty()) fields.push_back(field);
  return fields;
}

// Both splitters against the reference, on listed lines and on generated lines of every length
// up to several 16-byte blocks, with commas and blanks anywhere (block edges included).
TEST(SplitFieldViews, SameFieldsAsTheRuleForAnyLine) {
  std::vector<std::string> lines = {" ST , 1 , , 2 ",
                                    "a,,b",
                                    "a,b,",
                                    "a",
                                    "   ",
                                    "",
                                    "P1,1,2,3,C",
                                    "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p",
                                    ",,,,,,,,,,,,,,,",
                                    "x , y ,z,  ",
                                    "\tT,1",
                                    "P, 1.5 ,2, 3 , code with blanks "};
  std::mt19937 rng(23);
  const char alphabet[] = {',', ',', ' ', 'a', '7', '.', '\t'};
  for (int n = 0; n < 20000; ++n) {
    std::string line;
    for (size_t k = rng() % 70; k > 0; --k) line += alphabet[rng() % sizeof alphabet];
    lines.push_back(line);
  }
  for (const std::string& line : lines) {
    const std::vector<std::string> expected = ReferenceFields(line);
    FieldViews views;
    views[16] = "stale";
    const int count = SplitFieldViews(line, views);
    ASSERT_EQ(count, static_cast<int>(expected.size())) << '"' << line << '"';
    FieldArray fields;
    std::string copy = line;
    ASSERT_EQ(SplitFields(copy, fields), count) << line;
    for (size_t i = 1; i <= 16; ++i) {
      const std::string want = i <= expected.size() ? expected[i - 1] : "";
      if (count == 0) break;  // a blank line leaves the fields as they were
      ASSERT_EQ(views[i], want) << '"' << line << "\" " << i;
      ASSERT_EQ(fields[i], want) << '"' << line << "\" " << i;
    }
    if (count > 0) {
      ASSERT_EQ(copy, TrimBlanks(line));  // SplitFields trims the line in place
    }
  }
}

// Placeholders are filled in one pass: a path holding "%2" keeps it, and a translation that
// leaves a placeholder out or adds one the program does not fill loses nothing.
TEST(FillNumbered, FillsEachPlaceholderOnceByItsNumber) {
  EXPECT_EQ(FillNumbered("The texts could not be taken from %1: %2", {"/home/k/100%2/nb.ini", "%1"}),
            "The texts could not be taken from /home/k/100%2/nb.ini: %1");
  EXPECT_EQ(FillNumbered("%2 (%1)", {"a", "b"}), "b (a)");
  EXPECT_EQ(FillNumbered("%2 only, %3 and 100%", {"a", "b"}), "b only, %3 and 100%");
  EXPECT_EQ(FillNumbered("%%1%", {"x"}), "%x%");
}

}  // namespace
}  // namespace korv
