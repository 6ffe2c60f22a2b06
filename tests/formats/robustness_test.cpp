// Random and binary input through every converter of the formats library: each run must end,
// succeed (bad input is never an error) and write whole CR LF lines. Seeded, so a failure
// repeats; bounded in size, so the test stays quick under the sanitizers.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>

#include "formats/kof_writer.h"
#include "formats/mapa_writer.h"
#include "formats/sdr_writer.h"

namespace korv {
namespace {

class Garbage {
 public:
  explicit Garbage(unsigned seed) : rng_(seed) {}

  // A document of up to `maxLines` lines mixing plausible records and noise.
  std::string Document(int maxLines) {
    std::string doc;
    int lines = Pick(maxLines + 1);
    for (int i = 0; i < lines; ++i) {
      doc += Line();
      static const char* const kEnds[] = {"\r\n", "\n", "\r", ""};
      doc += kEnds[Pick(10) == 0 ? 1 + Pick(3) : 0];
    }
    return doc;
  }

 private:
  int Pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

  std::string Field() {
    static const char* const kPieces[] = {"",
                                          " ",
                                          "-",
                                          ".",
                                          "1.5m",
                                          "1e308",
                                          "-1e308",
                                          "1e-320",
                                          "9999999999",
                                          "1234567.891",
                                          "-0.00005",
                                          "359.99995",
                                          "12",
                                          "7A",
                                          "AB-12-3",
                                          "-",
                                          "Temp:",
                                          "Press:",
                                          "Coord Order: NEZ",
                                          "Coord Order: ENZ",
                                          "Created",
                                          "<JOB> Created",
                                          "NEZ",
                                          "E",
                                          "D+400",
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789",
                                          "\xff\xfe",
                                          "\xc3\xa6",
                                          "\t"};
    switch (Pick(4)) {
      case 0: {
        std::string bytes;
        for (int n = Pick(20); n > 0; --n) bytes += static_cast<char>(Pick(256));
        return bytes;
      }
      case 1:
        return std::to_string(static_cast<int>(rng_())) + "." + std::to_string(Pick(100000));
      default:
        return kPieces[Pick(sizeof kPieces / sizeof *kPieces)];
    }
  }

  std::string Line() {
    static const char* const kTypes[] = {"CO", "ST", "SS", "SO", "CP", "UP", "MP",  "CC",
                                         "RE", "UC", "MC", "F1", "ss", "",   " CO", "CO,"};
    if (Pick(20) == 0) {  // a long line of random bytes, commas included
      std::string bytes;
      for (int n = Pick(3000); n > 0; --n) bytes += static_cast<char>(Pick(256));
      return bytes;
    }
    std::string line = kTypes[Pick(sizeof kTypes / sizeof *kTypes)];
    for (int n = Pick(18); n > 0; --n) line += (Pick(12) == 0 ? "" : ",") + Field();
    if (Pick(8) == 0) line = std::string(static_cast<size_t>(Pick(5)), ' ') + line + "  ";
    return line;
  }

  std::mt19937 rng_;
};

void ExpectWholeLines(const std::string& out, const std::string& input, const char* which) {
  ASSERT_GE(out.size(), 2u) << which;
  EXPECT_EQ(out.substr(out.size() - 2), "\r\n") << which;
  // Every input line gives a bounded number of output lines and characters.
  EXPECT_LT(out.size(), 400 + 3 * input.size() + 200 * (input.size() / 2 + 1)) << which;
}

TEST(Robustness, RandomAndBinaryLinesThroughEveryConverter) {
  Garbage g(20261207);
  std::tm now{};
  now.tm_year = 126;
  now.tm_mday = 1;
  PointConversion table;
  table.entries[12] = "N";
  table.entries[0] = "Z";
  KofOptions kof;
  kof.project = "\xff\x01project-longer-than-twelve";
  kof.usePointNumberConversion = kof.useCodeConversion = true;
  SdrRun sdr;
  sdr.now = now;
  for (int doc = 0; doc < 300; ++doc) {
    std::string input = g.Document(60);
    SCOPED_TRACE("document " + std::to_string(doc));
    for (int order : {0, 1, 7}) {
      auto run = [&](const char* which, auto convert) {
        std::istringstream in(input);
        std::ostringstream out;
        ConvertResult r = convert(in, out);
        EXPECT_TRUE(r.ok()) << which << ": " << r.fault;
        ExpectWholeLines(out.str(), input, which);
      };
      run("RawToKOF", [&](auto& in, auto& out) { return RawToKOF(in, out, kof, order, table); });
      run("CoorToKOF", [&](auto& in, auto& out) { return CoorToKOF(in, out, kof, order, table); });
      sdr.coordOrderIndex = order;
      run("RawToSDR", [&](auto& in, auto& out) { return RawToSDR(in, out, "JOB", sdr); });
      run("CoorToSDR", [&](auto& in, auto& out) { return CoorToSDR(in, out, "JOB", sdr); });
      if (order == 0)
        run("RawToMAPA", [&](auto& in, auto& out) { return RawToMAPA(in, out, now); });
    }
  }
}

TEST(Robustness, RandomPointNamesAndCodes) {
  PointConversion table;
  for (size_t i = 0; i < table.entries.size(); i += 3) table.entries[i] = "P" + std::to_string(i);
  std::mt19937 rng(11);
  for (int i = 0; i < 20000; ++i) {
    std::string name;
    for (int n = static_cast<int>(rng() % 6); n > 0; --n) name += static_cast<char>(rng() % 256);
    std::string code = name, suffix;
    ConvertPointNumber(name, table);
    SplitCodeSuffix(code, suffix);
    EXPECT_LE(code.size() + suffix.size(), 6u);
  }
}

}  // namespace
}  // namespace korv
