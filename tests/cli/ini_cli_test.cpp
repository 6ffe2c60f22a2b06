// korvenia-cli ini: checking settings files and carrying a translation into a newer file.
#include <gtest/gtest.h>

#include <string>

#include "cli_fixture.h"

namespace korv::test {
namespace {

class IniCli : public CliTest {};

std::string Translation(const std::string& code) {
  return DataPath("../../translations/Korvenia." + code + ".ini").string();
}

TEST_F(IniCli, CheckPassesTheShippedTranslationsAndFailsAFileTheProgramWouldReplace) {
  ASSERT_EQ(Shell("\"$KCLI\" ini check '" + Translation("de") + "'"), 0) << out_ << err_;
  EXPECT_NE(out_.find(": UTF-8, CR LF line ends, "), std::string::npos) << out_;
  EXPECT_NE(out_.find("language Deutsch\n"), std::string::npos) << out_;
  EXPECT_EQ(out_.find("Missing"), std::string::npos) << out_;
  EXPECT_EQ(out_.find("Refused"), std::string::npos) << out_;
  EXPECT_NE(out_.find("The program loads this file.\n"), std::string::npos) << out_;

  std::string broken = ReadFileBytes(DataPath("Korvenia.ini"));
  broken.replace(broken.find("FontSize= 8.25 "), 15, "FontSize= 400");
  WriteFileBytes(Path("broken.ini"), broken);
  EXPECT_EQ(Shell("\"$KCLI\" ini check broken.ini"), 1);
  EXPECT_NE(out_.find("  line 6: [Main Form] FontSize: \"400\": a font size from 0 to 100 "
                      "points is taken\n"),
            std::string::npos)
      << out_;
  EXPECT_NE(out_.find("would replace it with a new file of defaults"), std::string::npos);

  EXPECT_EQ(Shell("\"$KCLI\" ini check gone.ini"), 1);
  EXPECT_NE(err_.find("gone.ini"), std::string::npos) << err_;
}

TEST_F(IniCli, MergeWritesTheNewFileWithTheOldTextsOrNothing) {
  // An older translation lacks the last section; the newer file keeps its English texts there.
  std::string old = ReadFileBytes(Translation("nb"));
  old.erase(old.find("\r\n[Interface Language]") + 2);
  WriteFileBytes(Path("old.ini"), old);
  const std::string fresh = ReadFileBytes(DataPath("Korvenia.ini"));
  WriteFileBytes(Path("new.ini"), fresh);
  ASSERT_EQ(Shell("\"$KCLI\" ini merge old.ini new.ini new.ini"), 0) << err_;
  const std::string merged = ReadFileBytes(Path("new.ini"));
  EXPECT_NE(merged.find("[Fr1]\r\nCaption=Kilde:\r\n"), std::string::npos);
  EXPECT_NE(merged.find("\r\nLanguage=English\r\nButton=&Interface language...\r\n"),
            std::string::npos);
  EXPECT_EQ(Shell("\"$KCLI\" ini check new.ini"), 0) << out_;

  WriteFileBytes(Path("binary.ini"), std::string("\0\1\2garbage", 10));
  WriteFileBytes(Path("out.ini"), "kept");
  EXPECT_EQ(Shell("\"$KCLI\" ini merge binary.ini new.ini out.ini"), 1);
  EXPECT_NE(err_.find("binary data"), std::string::npos) << err_;
  EXPECT_EQ(ReadFileBytes(Path("out.ini")), "kept");
}

}  // namespace
}  // namespace korv::test
