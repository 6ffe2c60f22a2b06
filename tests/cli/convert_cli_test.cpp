// korvenia-cli convert through its real executable: every pair against the golden files,
// options from the command line and from a settings file, --append, a missing input, usage.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

namespace fs = std::filesystem;
const fs::path kData = KORVENIA_TEST_DATA;

struct Outcome {
  int exit = -1;
  std::string out, err;
};

class ConvertCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("korvenia_cli_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "home");
    korv::test::WriteFileBytes(dir_ / "empty.ini", "");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Runs "korvenia-cli convert ARGS" with HOME and XDG_CONFIG_HOME inside the scratch
  // folder, so that no settings file of the user takes part.
  Outcome Convert(std::vector<std::string> args) {
    args.insert(args.begin(), {KORVENIA_CLI, "convert"});
    fs::path outFile = dir_ / "stdout.txt", errFile = dir_ / "stderr.txt";
    pid_t pid = ::fork();
    if (pid == 0) {
      int o = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      int e = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(o, 1);
      ::dup2(e, 2);
      ::setenv("HOME", (dir_ / "home").c_str(), 1);
      ::setenv("XDG_CONFIG_HOME", (dir_ / "home" / ".config").c_str(), 1);
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv(argv[0], argv.data());
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    Outcome r;
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = korv::test::ReadFileBytes(outFile);
    r.err = korv::test::ReadFileBytes(errFile);
    return r;
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  static std::string Data(const std::string& name) { return (kData / name).string(); }

  fs::path dir_;
};

const std::vector<std::string> kSurveyHeader = {
    "--project",    "SURVEY", "--date",          "07.12.26",   "--road",
    "E6 Nordveien", "--city", "Trondheimsfjord", "--surveyor", "K. Nordmann"};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(ConvertCli, RawToKofWithHeaderOptions) {
  Outcome r = Convert(Join({"--from", "raw", "--to", "kof", "--ini", Path("empty.ini"), "--order",
                            "nez", Data("kof/survey.raw"), Path("out.kof")},
                           kSurveyHeader));
  ASSERT_EQ(r.exit, 0) << r.err;
  EXPECT_EQ(r.err, "");
  korv::test::ExpectSameFile(korv::test::ReadFileBytes(Path("out.kof")),
                             kData / "kof/survey~kof.kof");
}

// The conversion file is named in the settings file and found beside it; the switches and
// the order come from the settings file too.
TEST_F(ConvertCli, RawToKofSettingsFromIniFile) {
  fs::copy_file(kData / "kof/convert.pts", dir_ / "points.pts");
  korv::test::WriteFileBytes(
      dir_ / "my.ini",
      "[Default]\r\nStCombCoord0=1\r\n[KOF Settings]\r\nRoad= \r\n"
      "UsePointNumberConversion = 1\r\nUseCodeConversion = 1\r\nKofpointFile=points.pts\r\n");
  Outcome r = Convert({"--from=raw", "--to=kof", "--ini", Path("my.ini"), "--now",
                       "2027-01-31 23:59:59", Data("kof/convert.raw"), Path("CONVERT.kof")});
  ASSERT_EQ(r.exit, 0) << r.err;
  korv::test::ExpectSameFile(korv::test::ReadFileBytes(Path("CONVERT.kof")),
                             kData / "kof/convert~kof.kof");

  // Switched off on the command line: names and codes pass unchanged.
  r = Convert({"--from", "raw", "--to", "kof", "--ini", Path("my.ini"), "--point-conversion", "off",
               "--code-conversion", "off", Data("kof/convert.raw"), Path("plain.kof")});
  ASSERT_EQ(r.exit, 0) << r.err;
  std::string kof = korv::test::ReadFileBytes(Path("plain.kof"));
  EXPECT_NE(kof.find(" 03 7A         FENCE-2 "), std::string::npos);
  EXPECT_EQ(kof.find(" 09 "), std::string::npos);
}

// A conversion file named with folders is found from the settings file's folder, not from
// the working folder; a full path is used as it is.
TEST_F(ConvertCli, ConversionFileByRelativeOrFullPath) {
  fs::create_directories(dir_ / "settings/lists");
  fs::copy_file(kData / "kof/convert.pts", dir_ / "settings/lists/points.pts");
  const std::string golden = korv::test::ReadFileBytes(kData / "kof/convert~kof.kof");
  for (const std::string& named : {std::string("lists/points.pts"), Data("kof/convert.pts")}) {
    korv::test::WriteFileBytes(dir_ / "settings/my.ini",
                               "[Default]\r\nStCombCoord0=1\r\n[KOF Settings]\r\n"
                               "UsePointNumberConversion = 1\r\nUseCodeConversion = 1\r\n"
                               "KofpointFile=" +
                                   named + "\r\n");
    Outcome r = Convert({"--from", "raw", "--to", "kof", "--ini", Path("settings/my.ini"), "--now",
                         "2027-01-31 23:59:59", Data("kof/convert.raw"), Path("CONVERT.kof")});
    ASSERT_EQ(r.exit, 0) << named << r.err;
    EXPECT_EQ(r.err, "") << named;
    EXPECT_EQ(korv::test::ReadFileBytes(Path("CONVERT.kof")), golden) << named;
  }
}

TEST_F(ConvertCli, MissingConversionFileWarnsAndConverts) {
  korv::test::WriteFileBytes(dir_ / "my.ini", "[KOF Settings]\r\nKofpointFile=absent.pts\r\n");
  Outcome r = Convert({"--from", "raw", "--to", "kof", "--ini", Path("my.ini"),
                       "--point-conversion", "on", Data("kof/convert.raw"), Path("o.kof")});
  EXPECT_EQ(r.exit, 0);
  EXPECT_EQ(r.err, "korvenia-cli: warning: " + Path("absent.pts") + " not found\n");
  EXPECT_TRUE(fs::exists(dir_ / "o.kof"));
}

TEST_F(ConvertCli, KofDefaultsProjectFromOutputAndDateFromNow) {
  Outcome r = Convert({"--from", "coord", "--to", "kof", "--ini", Path("empty.ini"), "--now",
                       "2026-03-09 08:00:00", Data("kof/coords.asc"), Path("JOB.01.kof")});
  ASSERT_EQ(r.exit, 0) << r.err;
  std::string third = korv::test::ReadFileBytes(Path("JOB.01.kof")).substr(2 * 70, 70);
  EXPECT_EQ(third, " 01 JOB.01       09.03.26" + std::string(68 - 25, ' ') + "\r\n");
}

TEST_F(ConvertCli, CoordToKof) {
  Outcome r = Convert({"--from",
                       "coord",
                       "--to",
                       "kof",
                       "--ini",
                       Path("empty.ini"),
                       "--order",
                       "enz",
                       "--project",
                       "COORDS",
                       "--date",
                       "07.12.26",
                       "--road",
                       "Road 1",
                       "--city",
                       "City",
                       "--surveyor",
                       "Me",
                       Data("kof/coords.asc"),
                       Path("c.kof")});
  ASSERT_EQ(r.exit, 0) << r.err;
  korv::test::ExpectSameFile(korv::test::ReadFileBytes(Path("c.kof")),
                             kData / "kof/coords~kof.kof");
}

TEST_F(ConvertCli, RawToMapaAndAppend) {
  // --ini goes with every conversion, even one that reads no settings.
  std::vector<std::string> args =
      Join({"--from", "raw", "--to", "mapa", "--ini", Path("empty.ini")},
           {"--now", "2026-12-07 09:00:00", Data("mapa/job.raw"), Path("job.map")});
  ASSERT_EQ(Convert(args).exit, 0);
  std::string golden = korv::test::ReadFileBytes(kData / "mapa/job~mapa.map");
  EXPECT_EQ(korv::test::ReadFileBytes(Path("job.map")), golden);
  args.push_back("--append");
  ASSERT_EQ(Convert(args).exit, 0);
  EXPECT_EQ(korv::test::ReadFileBytes(Path("job.map")), golden + golden);
  args.pop_back();  // overwrite again
  ASSERT_EQ(Convert(args).exit, 0);
  EXPECT_EQ(korv::test::ReadFileBytes(Path("job.map")), golden);
}

// The SDR writers' own golden files; the job name is the output's file name.
TEST_F(ConvertCli, RawAndCoordToSdr) {
  fs::create_directories(dir_ / "sdr");
  Outcome r =
      Convert({"--from", "raw", "--to", "sdr", "--ini", Path("empty.ini"), "--now",
               "2024-03-05 09:07:04", Data("sdr/stations.raw"), Path("sdr/stations~sdr.sdr")});
  ASSERT_EQ(r.exit, 0) << r.err;
  korv::test::ExpectSameFile(korv::test::ReadFileBytes(dir_ / "sdr/stations~sdr.sdr"),
                             kData / "sdr/stations~sdr.sdr");
  r = Convert({"--from", "coord", "--to", "sdr", "--ini", Path("empty.ini"), "--order", "enz",
               "--now", "2024-03-05 09:07:04", Data("sdr/coords_enz.asc"),
               Path("sdr/coords_enz~sdr.sdr")});
  ASSERT_EQ(r.exit, 0) << r.err;
  korv::test::ExpectSameFile(korv::test::ReadFileBytes(dir_ / "sdr/coords_enz~sdr.sdr"),
                             kData / "sdr/coords_enz~sdr.sdr");
}

TEST_F(ConvertCli, MissingInputLeavesAnExistingOutputUntouched) {
  korv::test::WriteFileBytes(dir_ / "keep.kof", "yesterday's work\r\n");
  for (const char* to : {"kof", "mapa", "sdr"}) {
    Outcome r = Convert({"--from", "raw", "--to", to, Path("missing.raw"), Path("keep.kof")});
    EXPECT_EQ(r.exit, 1) << to;
    EXPECT_EQ(r.err, "korvenia-cli: Cannot read " + Path("missing.raw") + ": File not found\n");
    EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "keep.kof"), "yesterday's work\r\n");
  }
  Outcome r = Convert(
      {"--from", "coord", "--to", "kof", "--append", Path("missing.asc"), Path("keep.kof")});
  EXPECT_EQ(r.exit, 1);
  EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "keep.kof"), "yesterday's work\r\n");
  // An output in a folder that does not exist: the folder is what was not found.
  korv::test::WriteFileBytes(dir_ / "p.asc", "P1,1,2,3,A\r\n");
  for (const char* to : {"kof", "dxf"}) {
    const std::string out = Path("nofolder/o.") + to;
    r = Convert({"--from", "coord", "--to", to, Path("p.asc"), out});
    EXPECT_EQ(r.exit, 1);
    EXPECT_EQ(r.err, "korvenia-cli: Cannot write " + out + ": Path not found\n");
  }
}

// Raw data chosen as a coordinate list (or a coordinate list as raw data) would give points
// from the wrong fields, or none: refused by name before the output is touched, for every
// target of the kind. A title line before a coordinate list does not make it raw data.
TEST_F(ConvertCli, TheOtherKindOfSurveyDataIsRefused) {
  korv::test::WriteFileBytes(dir_ / "keep.kof", "yesterday's work\r\n");
  korv::test::WriteFileBytes(dir_ / "list.asc", "Job 12\r\nP1,1,2,3,A\r\n");
  const std::string raw = (kData / "kof/survey.raw").string();
  for (const char* to : {"kof", "sdr", "dxf"}) {
    Outcome r = Convert({"--from", "coord", "--to", to, raw, Path("keep.kof")});
    EXPECT_EQ(r.exit, 1) << to;
    EXPECT_EQ(r.err, "korvenia-cli: Cannot convert " + raw +
                         ": it holds raw data, not a coordinate list (choose raw data as its "
                         "format)\n");
  }
  for (const char* to : {"kof", "mapa", "sdr", "coord"}) {
    Outcome r = Convert({"--from", "raw", "--to", to, Path("list.asc"), Path("keep.kof")});
    EXPECT_EQ(r.exit, 1) << to;
    EXPECT_EQ(r.err, "korvenia-cli: Cannot convert " + Path("list.asc") +
                         ": none of its lines is raw data (is it a coordinate list?)\n");
  }
  EXPECT_EQ(korv::test::ReadFileBytes(dir_ / "keep.kof"), "yesterday's work\r\n");
  EXPECT_EQ(Convert({"--from", "coord", "--to", "kof", Path("list.asc"), Path("out.kof")}).exit, 0);
}

TEST_F(ConvertCli, UsageErrors) {
  const std::string in = Data("kof/survey.raw"), out = Path("u.kof");
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"--from", "raw", in, out},                                   // no --to
      {"--from", "coord", "--to", "mapa", in, out},                 // no such pair
      {"--from", "raw", "--to", "kof", in},                         // no OUTPUT
      {"--from", "raw", "--to", "kof", in, out, "extra"},           // three files
      {"--from", "raw", "--to", "kof", "--order", "xyz", in, out},  // bad order
      {"--from", "raw", "--to", "kof", "--now", "2026-02-30 10:00:00", in, out},
      {"--from", "raw", "--to", "kof", "--point-conversion", "yes", in, out},
      {"--from", "raw", "--to", "kof", "--colour", "red", in, out},
      {"--from", "raw", "--to", "kof", in, out, "--project"},  // value missing
  };
  for (const auto& args : bad) {
    Outcome r = Convert(args);
    std::string shown;
    for (const auto& a : args) shown += a + " ";
    EXPECT_EQ(r.exit, 2) << shown;
    EXPECT_EQ(r.out, "") << shown;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << shown << r.err;
  }
  EXPECT_FALSE(fs::exists(out));

  // An option the chosen conversion does not read is refused by name, before any file is
  // touched; --ini and --now go with every conversion.
  const std::vector<std::vector<std::string>> unused = {
      {"--from", "raw", "--to", "mapa", "--project", "P"},
      {"--from", "raw", "--to", "mapa", "--order", "nez"},
      {"--from", "raw", "--to", "sdr", "--point-conversion", "on"},
      {"--from", "coord", "--to", "kof", "--separator", "comma"},
      {"--from", "coord", "--to", "dxf", "--surveyor", "Me"},
      {"--from", "coord", "--to", "asc", "--code-conversion", "off"},
  };
  for (auto args : unused) {
    const std::string option = args[4], shown = args[1] + " " + args[3] + " " + option;
    args.insert(args.end(), {"--ini", Path("empty.ini"), "--now", "2026-01-01 00:00:00", in, out});
    Outcome r = Convert(args);
    EXPECT_EQ(r.exit, 2) << shown;
    EXPECT_EQ(r.err.rfind("korvenia-cli convert: " + option + " is not an option of --from " +
                              args[1] + " --to " + args[3],
                          0),
              0u)
        << shown << r.err;
  }
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(ConvertCli, HelpAndVersion) {
  Outcome r = Convert({"--help"});
  EXPECT_EQ(r.exit, 0);
  EXPECT_NE(r.out.find("--from raw --to mapa"), std::string::npos);
  r = Convert({"--version"});
  EXPECT_EQ(r.exit, 0);
  EXPECT_EQ(r.out.rfind("korvenia-cli ", 0), 0u);
}

// Without --ini the per-user settings file is used when there is one.
TEST_F(ConvertCli, OwnSettingsFileInThePerUserFolder) {
  if (fs::exists(fs::path(KORVENIA_CLI).parent_path() / "Korvenia.ini"))
    GTEST_SKIP() << "a settings file stands beside korvenia-cli";
  fs::create_directories(dir_ / "home/.config/Korvenia");
  korv::test::WriteFileBytes(
      dir_ / "home/.config/Korvenia/Korvenia.ini",
      "[Default]\r\nStCombCoord0=1\r\n[KOF Settings]\r\nSurveyor=From INI\r\n");
  Outcome r = Convert({"--from", "coord", "--to", "kof", "--now", "2026-03-09 08:00:00",
                       Data("kof/coords.asc"), Path("own.kof")});
  ASSERT_EQ(r.exit, 0) << r.err;
  std::string kof = korv::test::ReadFileBytes(Path("own.kof"));
  EXPECT_EQ(kof.substr(2 * 70 + 56, 8), "From INI");
  // ENZ from the settings file: P1's easting 500.1 comes first.
  EXPECT_NE(kof.find(" 05 P1         TREE          500.100     600.200"), std::string::npos);
}

}  // namespace
