// The coordinate list readers: the view splitter agrees with SplitFields.
#include "coords/coord_list.h"

#include <gtest/gtest.h>

#include "core/text.h"

namespace korv {
namespace {

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

TEST(SplitCoordinateLine, EnzOrderExchangesThePlaneCoordinates) {
  FieldViews f;
  ASSERT_EQ(SplitCoordinateLine("P4,300.0,600.0,12.5,WALL", f, CoordOrder::kENZ), 5);
  EXPECT_EQ(f[CoordListField::kNorthing], "600.0");
  EXPECT_EQ(f[CoordListField::kEasting], "300.0");
  ASSERT_EQ(SplitCoordinateLine("P4,600.0,300.0", f, CoordOrder::kNEZ), 3);
  EXPECT_EQ(f[CoordListField::kNorthing], "600.0");
  EXPECT_EQ(f[CoordListField::kElevation], "");
}

}  // namespace
}  // namespace korv
