// What korvenia-cli convert does with ordinary files and ordinary mistakes, for every pair:
// a file is never converted onto itself, a run that cannot finish leaves the output as it was,
// an input read from a pipe works, every kind of line end gives the same output, texts are
// written in one encoding and cut in characters, and numbers that do not fit are reported.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_fixture.h"

namespace {

namespace fs = std::filesystem;
using korv::test::ReadFileBytes;
using korv::test::WriteFileBytes;

struct Pair {
  std::string from, to, input;  // input: a golden input file below tests/data
};

const std::vector<Pair> kPairs = {
    {"raw", "kof", "kof/survey.raw"},       {"raw", "mapa", "mapa/job.raw"},
    {"raw", "sdr", "sdr/stations.raw"},     {"coord", "kof", "kof/coords.asc"},
    {"coord", "sdr", "sdr/coords_nez.asc"}, {"coord", "dxf", "dxf/all_on.asc"},
    {"coord", "asc", "asc/mixed.asc"}};

const std::string kNow = " --now \"2026-12-07 10:00:00\" ";

class FileSafety : public korv::test::CliTest {
 protected:
  int Convert(const Pair& p, const std::string& args) {
    return Shell("\"$KCLI\" convert --from " + p.from + " --to " + p.to + kNow + args);
  }
  // The files in the scratch folder besides the test's own.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) {
      if (e.path().filename() != "home") names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(FileSafety, NoPairConvertsAFileOntoItselfUnderAnyName) {
  fs::create_directories(dir_ / "sub");
  for (const Pair& p : kPairs) {
    const std::string original = ReadFileBytes(Data(p.input));
    WriteFileBytes(Path("in"), original);
    fs::create_symlink("in", dir_ / "link");
    fs::create_hard_link(dir_ / "in", dir_ / "hard");
    for (const char* output : {"in", "sub/../in", "link", "hard"}) {
      for (const std::string mode : {"", "--append "}) {
        SCOPED_TRACE(p.from + " -> " + p.to + " " + mode + output);
        EXPECT_EQ(Convert(p, mode + "in " + output), 1);
        EXPECT_NE(err_.find("it is the input file"), std::string::npos) << err_;
        EXPECT_EQ(ReadFileBytes(Path("in")), original);
      }
    }
    fs::remove(dir_ / "link");
    fs::remove(dir_ / "hard");
  }
}

TEST_F(FileSafety, AnInputReadFromAPipeConvertsLikeTheFile) {
  for (const Pair& p : kPairs) {
    SCOPED_TRACE(p.from + " -> " + p.to);
    ASSERT_EQ(Convert(p, Data(p.input) + " out"), 0) << err_;
    const std::string expected = ReadFileBytes(Path("out"));
    WriteFileBytes(Path("out"), "OLD\r\n");
    // The two-pass writers need to read the input twice; a pipe can be read once.
    ASSERT_EQ(Shell("cat '" + Data(p.input) + "' | \"$KCLI\" convert --from " + p.from +
                    " --to " + p.to + kNow + "/dev/stdin out"),
              0)
        << err_;
    EXPECT_EQ(ReadFileBytes(Path("out")), expected);
  }
  EXPECT_EQ(Files(), std::vector<std::string>{"out"});
}

TEST_F(FileSafety, AWriteThatFailsLeavesTheOutputAsItWas) {
  // Inputs whose outputs are far larger than the size limit below.
  std::string raw, coords;
  for (int i = 0; i < 20000; ++i) {
    const std::string n = std::to_string(i);
    raw += "ST,S" + n + ",,B" + n + ",,1.5,0\r\nSS,P" + n + ",1.6,25.0,90.0,91.0,,C\r\n";
    raw += "UP,P" + n + ",," + n + ".5,200.25,10.0,CODE\r\n";
    coords += "P" + n + ",6543210.123,543210.456,12.5,C\r\n";
  }
  WriteFileBytes(Path("big.raw"), raw);
  WriteFileBytes(Path("big.asc"), coords);
  const std::string old = "OLD LINE\r\n";
  for (const Pair& p : kPairs) {
    const std::string input = p.from == "raw" ? "big.raw" : "big.asc";
    for (const std::string mode : {"", "--append "}) {
      SCOPED_TRACE(p.from + " -> " + p.to + " " + mode);
      WriteFileBytes(Path("out"), old);
      // A file-size limit stands in for a full disk; it must not end the program either.
      EXPECT_EQ(Shell("ulimit -f 64; \"$KCLI\" convert --from " + p.from + " --to " + p.to +
                      kNow + mode + input + " out"),
                1);
      EXPECT_NE(err_.find("Cannot write out"), std::string::npos) << err_;
      EXPECT_EQ(ReadFileBytes(Path("out")), old);
      EXPECT_EQ(Files(), (std::vector<std::string>{"big.asc", "big.raw", "out"}));
    }
  }
  // A full device says so.
  EXPECT_EQ(Convert(kPairs[0], "big.raw /dev/full"), 1);
  EXPECT_NE(err_.find("Cannot write /dev/full: Disk full"), std::string::npos) << err_;
}

// `text` with every CR LF replaced by `end`.
std::string WithLineEnds(const std::string& text, const std::string& end) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) {
      out += end;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

TEST_F(FileSafety, EveryKindOfLineEndGivesTheSameOutput) {
  for (const Pair& p : kPairs) {
    SCOPED_TRACE(p.from + " -> " + p.to);
    // The golden input with every line ended by CR LF.
    std::string crlf;
    for (char c : ReadFileBytes(Data(p.input))) {
      if (c == '\n') {
        if (crlf.empty() || crlf.back() != '\r') crlf += '\r';
      }
      crlf += c;
    }
    ASSERT_EQ(WithLineEnds(crlf, "").find_first_of("\r\n"), std::string::npos);
    // CR CR LF is a line end and an empty line: the same as CR LF CR LF.
    const std::vector<std::pair<std::string, std::string>> variants = {
        {WithLineEnds(crlf, "\n"), crlf},
        {WithLineEnds(crlf, "\r"), crlf},
        {"\xEF\xBB\xBF" + crlf, crlf},
        {WithLineEnds(crlf, "\r\r\n"), WithLineEnds(crlf, "\r\n\r\n")}};
    for (size_t v = 0; v < variants.size(); ++v) {
      WriteFileBytes(Path("in"), variants[v].second);
      ASSERT_EQ(Convert(p, "in out"), 0) << err_;
      const std::string expected = ReadFileBytes(Path("out"));
      WriteFileBytes(Path("in"), variants[v].first);
      ASSERT_EQ(Convert(p, "in out"), 0) << err_;
      EXPECT_EQ(ReadFileBytes(Path("out")), expected) << "variant " << v;
    }
  }
}

TEST_F(FileSafety, OneEncodingPerOutputAndCutsInCharacters) {
  const Pair rawToKof{"raw", "kof", ""};
  // ASCII data: the output is Windows-1252, and so is the header text given in UTF-8.
  WriteFileBytes(Path("in.raw"), "SS,P1,1.600,25.000,90.0000,91.0000,,C\r\n");
  ASSERT_EQ(Convert(rawToKof, "--road abcdefghijk\xC3\xA6 in.raw out.kof"), 0) << err_;
  const std::string ascii = ReadFileBytes(Path("out.kof"));
  EXPECT_NE(ascii.find("abcdefghijk\xE6 "), std::string::npos) << ascii;
  EXPECT_EQ(ascii.find('\xC3'), std::string::npos);

  // UTF-8 data: names and codes cut at their widths in characters, the header in UTF-8.
  WriteFileBytes(Path("in.raw"),
                 "SS,\xC3\x98stre-\xC3\x85lg\xC3\xA5rd-punkt,1.600,25.000,90.0000,91.0000,,"
                 "\xC3\x86\xC3\x98\xC3\x85\xC3\xA6\xC3\xB8\xC3\xA5\xC3\x86\xC3\x98\xC3\x85-1\r\n");
  ASSERT_EQ(Convert(rawToKof, "--road abcdefghijk\xC3\xA6xyz in.raw out.kof"), 0) << err_;
  const std::string utf8 = ReadFileBytes(Path("out.kof"));
  // " 03 ", the point in 10 characters and a blank, the code in 8 and a blank, then
  // "##0.0000", "##0.0000", "###0.000" and "#0.000" each after a blank.
  EXPECT_NE(utf8.find(" 03 \xC3\x98stre-\xC3\x85lg\xC3\xA5 "
                      "\xC3\x86\xC3\x98\xC3\x85\xC3\xA6\xC3\xB8\xC3\xA5\xC3\x86\xC3\x98 "
                      " 90.0000  91.0000   25.000  1.600\r\n"),
            std::string::npos)
      << utf8;
  EXPECT_NE(utf8.find(" abcdefghijk\xC3\xA6 "), std::string::npos) << utf8;

  // SDR-33 columns count characters too: the name keeps 16 of its 20 characters and the next
  // field starts at column 21.
  WriteFileBytes(Path("in.asc"), "\xC3\x86\xC3\x86\xC3\x86\xC3\x86" "ABCDEFGHIJKLMNOP,1,2,3,K\r\n");
  ASSERT_EQ(Convert({"coord", "sdr", ""}, "in.asc out.sdr"), 0) << err_;
  EXPECT_NE(ReadFileBytes(Path("out.sdr"))
                .find("08KI\xC3\x86\xC3\x86\xC3\x86\xC3\x86" "ABCDEFGHIJKL2               1"),
            std::string::npos);

  // A character the code page cannot hold becomes "?" and is reported.
  WriteFileBytes(Path("in.raw"), "SS,P1,1.600,25.000,90.0000,91.0000,,C\r\n");
  ASSERT_EQ(Convert(rawToKof, "--city \xC5\x81\xC3\xB3" "d\xC5\xBA in.raw out.kof"), 0) << err_;
  EXPECT_NE(ReadFileBytes(Path("out.kof")).find("?\xF3" "d? "), std::string::npos);
  EXPECT_NE(err_.find("2 characters"), std::string::npos) << err_;
}

TEST_F(FileSafety, NumbersThatDoNotFitAreWrittenAsZeroAndReported) {
  WriteFileBytes(Path("in.asc"),
                 "P1,100.0,200.0,3.5e38,A\r\nP2,1e400,200.0,10.0,B\r\nP3,100.0,200.0,10.0,C\r\n");
  ASSERT_EQ(Convert({"coord", "kof", ""}, "in.asc out.kof"), 0) << err_;
  EXPECT_NE(err_.find("2 numbers were too large for the output format and written as 0 "
                      "(lines 1, 2)"),
            std::string::npos)
      << err_;
  EXPECT_NE(ReadFileBytes(Path("out.kof")).find(" 05 P1         A             200.000     100.000    0.000\r\n"),
            std::string::npos);
  ASSERT_EQ(Convert({"coord", "dxf", ""}, "in.asc out.dxf"), 0) << err_;
  EXPECT_NE(err_.find("(lines 1, 2)"), std::string::npos) << err_;
  ASSERT_EQ(Convert({"coord", "asc", ""}, "in.asc out.asc"), 0) << err_;
  EXPECT_EQ(err_, "");  // the values are copied as text
}

}  // namespace
