// The comma splitter of raw data and coordinate lines, and the line reader every converter uses.
#include "core/text.h"

#include <gtest/gtest.h>

#include <sstream>

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

TEST(SplitFieldViews, AgreesWithSplitFields) {
  for (std::string line : {" ST , 1 , , 2 ", "a,,b", "a,b,", "a", "   ", "", "P1,1,2,3,C",
                           "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p", ",,,,,,,,,,,,,,,", "x , y ,z,  ",
                           "\tT,1", "P, 1.5 ,2, 3 , code with blanks "}) {
    FieldViews views;
    FieldArray fields;
    std::string copy = line;
    int expected = SplitFields(copy, fields);
    ASSERT_EQ(SplitFieldViews(line, views), expected) << line;
    for (int i = 1; i <= expected; ++i) {
      EXPECT_EQ(views[static_cast<size_t>(i)], fields[static_cast<size_t>(i)]) << line << " " << i;
    }
  }
}

}  // namespace
}  // namespace korv
