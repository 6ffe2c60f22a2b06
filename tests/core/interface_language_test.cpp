// Taking a translation's texts into a settings file that holds the user's choices, and checking
// settings files against the default one.
#include "core/interface_language.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/ini_check.h"
#include "core/ini_layout.h"
#include "core/text_encoding.h"
#include "test_support.h"

namespace korv {
namespace {

std::string Shipped(const std::string& code) {
  return test::ReadFileBytes(test::DataPath("../../translations/Korvenia." + code + ".ini"));
}

std::string DefaultFile() { return test::ReadFileBytes(test::DataPath("Korvenia.ini")); }

// Whether line `i` of `layout` is an interface text (a text key, a text list entry, a message).
std::vector<bool> TextLines(const IniLayout& layout) {
  std::vector<bool> text(layout.LineCount(), false);
  for (const IniSection& section : layout.sections()) {
    for (const IniEntry& e : layout.Entries(section)) {
      text[e.line] = IsTextList(section.name) || IsInterfaceText(section.name, e.key);
    }
  }
  return text;
}

// A settings file in which the user chose something else for every value that is no text: a
// path, a port, sizes and fonts of the controls, the converters' settings.
std::string WithUserChoices(const std::string& file) {
  IniLayout layout = IniLayout::Parse(file);
  const std::vector<bool> text = TextLines(layout);
  for (const IniSection& section : layout.sections()) {
    for (const IniEntry& e : layout.Entries(section)) {
      if (text[e.line] || e.key.empty()) continue;
      const std::string k = e.key;
      if (k == "FontBold" || k == "FontItalic") {
        layout.SetValue(e, "True");
      } else if (k == "FontName") {
        layout.SetValue(e, "DejaVu Sans");
      } else if (section.name == "Default") {
        layout.SetValue(e, e.value.empty() ? "/home/kari/jobb/Øvre Ålesund" : "1");
      } else if (section.name != "Default" && section.name != "Journal") {
        layout.SetValue(e, e.value + (e.value.empty() ? "x" : "1"));
      }
    }
  }
  return layout.ToBytes();
}

TEST(InterfaceLanguage, TranslationTakesEveryTextAndKeepsEveryChoiceByteForByte) {
  const std::string user = WithUserChoices(DefaultFile());
  for (const std::string code : {"nb", "de"}) {
    SCOPED_TRACE(code);
    const std::string translation = Shipped(code);
    const CarryResult carried = CarryTexts(translation, user);
    ASSERT_TRUE(carried.ok) << carried.fault;
    EXPECT_TRUE(carried.notes.empty());
    EXPECT_GT(carried.carried, 400);

    const IniLayout before = IniLayout::Parse(user), after = IniLayout::Parse(carried.bytes),
                    translated = IniLayout::Parse(translation);
    ASSERT_EQ(after.LineCount(), before.LineCount());
    const std::vector<bool> text = TextLines(before);
    for (size_t i = 0; i < before.LineCount(); ++i) {
      SCOPED_TRACE("line " + std::to_string(i + 1));
      EXPECT_EQ(after.Raw(i), text[i] ? translated.Raw(i) : before.Raw(i));
    }
    // The user's file was all ASCII but for the path: it stays in its encoding's bytes.
    EXPECT_NE(carried.bytes.find("\r\nJobPath=/home/kari/jobb/\xC3\x98vre"), std::string::npos);
  }
}

TEST(InterfaceLanguage, EncodingOfTheUsersFileIsKeptUnlessATextNeedsMore) {
  // A Windows-1252 file stays Windows-1252 for Norwegian texts.
  const std::string user = Utf8ToWindows1252(DefaultFile());
  CarryResult nb = CarryTexts(Shipped("nb"), user + "[Serial Devices]\r\n1=/dev/ttyS\xE5\r\n");
  ASSERT_TRUE(nb.ok) << nb.fault;
  EXPECT_FALSE(IsValidUtf8(nb.bytes));
  EXPECT_NE(nb.bytes.find("Caption=Kilde:\r\n"), std::string::npos);
  EXPECT_NE(nb.bytes.find("1=/dev/ttyS\xE5\r\n"), std::string::npos);

  // A text Windows-1252 cannot hold makes the whole file UTF-8, the user's line included.
  std::string polish = Shipped("nb");
  polish.replace(polish.find("Caption=Kilde:"), 14,
                 "Caption=\xC5\xB9r\xC3\xB3"
                 "d\xC5\x82o:");
  CarryResult pl = CarryTexts(polish, user + "[Serial Devices]\r\n1=/dev/ttyS\xE5\r\n");
  ASSERT_TRUE(pl.ok) << pl.fault;
  EXPECT_TRUE(IsValidUtf8(pl.bytes));
  EXPECT_NE(pl.bytes.find("1=/dev/ttyS\xC3\xA5\r\n"), std::string::npos);
}

TEST(InterfaceLanguage, NothingIsMadeFromAFileWithoutTextsOrFromOneThatWouldNotLoad) {
  EXPECT_FALSE(CarryTexts(std::string("\x7F"
                                      "ELF\0\0\1",
                                      7),
                          DefaultFile())
                   .ok);
  EXPECT_FALSE(CarryTexts("[Other]\r\nKey=1\r\n", DefaultFile()).ok);
  // An empty caption would make the program replace the file: it is not taken.
  std::string empty = Shipped("de");
  empty.replace(empty.find("Caption=Quelle:"), 15, "Caption=");
  const CarryResult carried = CarryTexts(empty, DefaultFile());
  ASSERT_TRUE(carried.ok) << carried.fault;
  EXPECT_NE(carried.bytes.find("Caption=Source:"), std::string::npos);
  ASSERT_EQ(carried.notes.size(), 1u);
  EXPECT_EQ(carried.notes[0], "[Fr1] Caption: empty in the translation, kept");
}

TEST(IniCheck, ShippedTranslationsAreCompleteAndLoad) {
  for (const std::string code : {"nb", "de"}) {
    SCOPED_TRACE(code);
    const IniReport report = CheckSettingsFile(Shipped(code));
    EXPECT_TRUE(report.loads);
    EXPECT_EQ(report.encoding, "UTF-8");
    EXPECT_EQ(report.lineEnds, "CR LF");
    EXPECT_NE(report.language, "English");
    for (const IniFinding& f : report.missing) ADD_FAILURE() << f.where << ": " << f.detail;
    for (const IniFinding& f : report.refused) ADD_FAILURE() << f.where << ": " << f.detail;
    for (const IniFinding& f : report.wrong) ADD_FAILURE() << f.where << ": " << f.detail;
    // Names of products, addresses, "OK" and units may stay English; most texts may not.
    EXPECT_LT(report.untranslated.size(), 40u);
  }
}

TEST(IniCheck, FindsWhatIsMissingAndWhatTheProgramWouldRefuseWithLineNumbers) {
  std::string file = DefaultFile();
  file.replace(file.find("Height= 1650 "), 13, "Height= 200000");  // [Fr1], line 16
  file.replace(file.find("FontBold=False\r\nFontItalic=False\r\nFontSize= 8.25 \r\nHeight= 1935"),
               14, "FontBold=Maybe");                        // [Fr3], line 33
  file.erase(file.find("MaxMegabytes=500\r\n"), 18);         // [Journal]
  file.replace(file.find("Speed= 4 "), 9, "Speed= 99999 ");  // [Default]
  const IniReport report = CheckSettingsFile(file);
  EXPECT_FALSE(report.loads);
  ASSERT_EQ(report.missing.size(), 1u);
  EXPECT_EQ(report.missing[0].where, "[Journal] MaxMegabytes");
  std::vector<std::string> refused;
  for (const IniFinding& f : report.refused) {
    refused.push_back(std::to_string(f.line) + " " + f.where + " " + f.detail);
  }
  EXPECT_EQ(refused, (std::vector<std::string>{
                         "16 [Fr1] Height \"200000\": a size from 0 to 144000 twips is taken",
                         "33 [Fr3] FontBold \"Maybe\": neither True nor False",
                         "1643 [Default] Speed \"99999\": out of the range -32768 to 32767"}));

  // A stored choice its list does not have is found by trying the first entry instead.
  std::string choice = DefaultFile();
  choice.replace(choice.find("DataBits= 1 "), 12, "DataBits= -7 ");
  const IniReport chosen = CheckSettingsFile(choice);
  EXPECT_FALSE(chosen.loads);
  ASSERT_EQ(chosen.refused.size(), 1u);
  EXPECT_EQ(chosen.refused[0].where, "[Default] DataBits");
}

TEST(IniCheck, FindsTextsTheProgramWouldShowWronglyWithLineNumbers) {
  std::string file = Shipped("de");
  auto change = [&file](const std::string& from, const std::string& to) {
    ASSERT_NE(file.find(from), std::string::npos) << from;
    file.replace(file.find(from), from.size(), to);
  };
  // The place of the received data left out; a number the window does not fill.
  change(" Sie liegen bis zur nächsten Übertragung oder bis Beenden in %3.", "");
  change("SetupOr=%1 oder %2", "SetupOr=%1 oder %3");
  change("SvgFilter=SVG-Zeichnung (*.svg)|*.svg", "SvgFilter=SVG-Zeichnung (*.svg)");
  change("Alle Dateien (*.*)\r\n", "Alle Dateien | *.*\r\n");
  change("[Coortinate data options]\r\n", "[Coortinate data options]\r\n; DXF neu\r\n");
  const IniReport report = CheckSettingsFile(file);
  EXPECT_TRUE(report.loads);  // it loads, and shows these wrongly
  std::vector<std::string> wrong;
  for (const IniFinding& f : report.wrong) wrong.push_back(std::to_string(f.line) + " " + f.where);
  // "<line of `text` in the changed file> <where>".
  auto at = [&file](const std::string& text, const std::string& where) {
    const size_t lines = std::count(file.begin(), file.begin() + file.find(text), '\n');
    return std::to_string(lines + 1) + " " + where;
  };
  EXPECT_EQ(wrong, (std::vector<std::string>{
                       at("; DXF neu", "[Coortinate data options]"),
                       at("[Coortinate data options]", "[Coortinate data options]"),
                       at("Alle Dateien | *.*", "[Messages for file types] entry 5"),
                       at("SvgFilter=", "[Survey Texts] SvgFilter"),
                       at("NotKept=", "[Program Texts] NotKept"),
                       at("SetupOr=", "[Program Texts] SetupOr")}));
  ASSERT_EQ(report.wrong.size(), 6u);
  EXPECT_NE(report.wrong[4].detail.find("the program fills %1 %2 %3, this text has %1 %2"),
            std::string::npos);

  // Lines ended by a CR alone are one line to the program: said, not only "missing".
  std::string cr = Shipped("nb");
  for (size_t at = cr.find("\r\n"); at != std::string::npos; at = cr.find("\r\n", at + 1))
    cr.erase(at + 1, 1);
  const IniReport old = CheckSettingsFile(cr);
  EXPECT_EQ(old.lineEnds, "CR");
  EXPECT_FALSE(old.loads);
  ASSERT_FALSE(old.refused.empty());
  EXPECT_NE(old.refused[0].detail.find("end in a CR alone"), std::string::npos);
}

}  // namespace
}  // namespace korv
