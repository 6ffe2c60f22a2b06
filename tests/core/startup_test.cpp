// Start-up's command-line words. Start-up itself runs with the program's own windows in the
// window tests (tests/ui/startup_test.cpp).
#include "core/startup.h"

#include <gtest/gtest.h>

namespace korv {
namespace {

TEST(CommandLine, WholeTrimmedCaseSensitiveWords) {
  EXPECT_EQ(ParseCommandLine("  Special Setup  "), CommandLineMode::SpecialSetup);
  EXPECT_EQ(ParseCommandLine(" CreateIniFile "), CommandLineMode::CreateIniFile);
  EXPECT_EQ(ParseCommandLine("special setup"), CommandLineMode::Normal);
  EXPECT_EQ(ParseCommandLine("Special  Setup"), CommandLineMode::Normal);
  EXPECT_EQ(ParseCommandLine("CreateIniFile now"), CommandLineMode::Normal);
  EXPECT_EQ(ParseCommandLine(""), CommandLineMode::Normal);
  EXPECT_EQ(JoinArguments({"Special", "Setup"}), "Special Setup");
  EXPECT_EQ(JoinArguments({}), "");
}

}  // namespace
}  // namespace korv
