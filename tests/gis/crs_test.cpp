// Coordinate reference systems as the user types them, and the search of PROJ's database.
#include <gtest/gtest.h>

#include <algorithm>

#include "gis/crs.h"

namespace korv {
namespace {

TEST(CrsTest, WhatProjTakesReadsAndAnythingElseIsNamedInTheFault) {
  std::string fault;
  EXPECT_TRUE(CheckCrs("EPSG:25832", fault));
  EXPECT_TRUE(CheckCrs("+proj=utm +zone=32 +ellps=GRS80 +units=m +no_defs", fault));
  EXPECT_EQ(CrsDisplayName("EPSG:25832"), "ETRS89 / UTM zone 32N (EPSG:25832)");
  EXPECT_FALSE(CheckCrs("EPSG:99999999", fault));
  EXPECT_NE(fault.find("'EPSG:99999999'"), std::string::npos) << fault;
  EXPECT_FALSE(CheckCrs("", fault));
  // Longitude and latitude are no grid: degrees would be taken for metres.
  EXPECT_FALSE(CheckCrs("EPSG:4326", fault));
  EXPECT_EQ(fault,
            "WGS 84 is in longitude and latitude, not a grid: choose the projected system the "
            "survey is in (such as a UTM zone)");
}

TEST(CrsTest, SearchFindsByCodeAndByEveryWordOfTheName) {
  auto codes = [](const std::vector<const CrsEntry*>& found) {
    std::vector<std::string> out;
    for (const CrsEntry* e : found) out.push_back(e->code);
    return out;
  };
  EXPECT_EQ(codes(FindCrs("epsg:25832", 5)), std::vector<std::string>{"EPSG:25832"});
  const std::vector<std::string> utm = codes(FindCrs("etrs89 utm 32n", 50));
  EXPECT_NE(std::find(utm.begin(), utm.end(), "EPSG:25832"), utm.end());
  EXPECT_EQ(FindCrs("utm", 3).size(), 3u);
  EXPECT_TRUE(FindCrs("no such system anywhere", 10).empty());
  EXPECT_TRUE(FindCrs("epsg:4326", 10).empty());
}

}  // namespace
}  // namespace korv
