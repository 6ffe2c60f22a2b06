// korvenia-cli plot: a PNG of the size asked with the points at their pixels and north up, an
// SVG drawing Qt's reader takes, a PDF; a wrong extension is a usage error and a failed write
// leaves the old file as it was.
#include <QGuiApplication>
#include <QImage>
#include <QSvgRenderer>
#include <filesystem>

#include "cli_fixture.h"

namespace korv::test {
namespace {

class PlotCli : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    // Qt's readers of the outputs want an application object.
    if (!QGuiApplication::instance()) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      static int argc = 1;
      static char name[] = "test_cli";
      static char* argv[] = {name, nullptr};
      new QGuiApplication(argc, argv);
    }
    // The font library leaks a little when it sets itself up under a fresh home folder; that
    // is no fault of the program, so the leak checker of a sanitizer build is told to skip it.
    WriteFileBytes(Path("home/leaks.supp"), "leak:libfontconfig\n");
    // A is the south-west corner, B 100 m north of it, C 100 m east (NEZ order).
    WriteFileBytes(Path("pts.asc"),
                   "A,6543200.000,567800.000,10.000,TREE\r\n"
                   "B,6543300.000,567800.000,11.000,MH\r\n"
                   "C,6543200.000,567900.000,12.000,KERB\r\n");
  }

  // Runs `korvenia-cli plot ARGS` after the shell commands `before`.
  int Plot(const std::string& args, const std::string& before = "") {
    return Shell(before + "LSAN_OPTIONS=suppressions='" + Path("home/leaks.supp") +
                 "' \"$KCLI\" plot --from coord " + args);
  }
};

bool Dark(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 100; }

TEST_F(PlotCli, WritesPngSvgAndPdfOfThePlan) {
  ASSERT_EQ(Plot("--size 300x200 --no-names --no-codes pts.asc plan.png"), 0) << err_;
  const QImage png(QString::fromStdString(Path("plan.png")));
  ASSERT_FALSE(png.isNull());
  EXPECT_EQ(png.size(), QSize(300, 200));
  // 100 m by 100 m into 300 x 200 less 24 on every side: 1.52 pixels a metre, centred; A at
  // (74, 176), B 152 pixels above it, C 152 to its right. Each is a dot of 3 x 3 pixels.
  EXPECT_TRUE(Dark(png, 73, 175));
  EXPECT_TRUE(Dark(png, 73, 23));
  EXPECT_TRUE(Dark(png, 225, 175));
  EXPECT_FALSE(Dark(png, 225, 23));  // nothing north-east
  EXPECT_FALSE(Dark(png, 150, 100));

  ASSERT_EQ(Plot("--size 640x480 pts.asc plan.svg"), 0) << err_;
  QSvgRenderer svg(QString::fromStdString(Path("plan.svg")));
  ASSERT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBox(), QRect(0, 0, 640, 480));
  // The names and codes are text of the drawing.
  const std::string drawing = ReadFileBytes(Path("plan.svg"));
  EXPECT_NE(drawing.find("A TREE"), std::string::npos);

  ASSERT_EQ(Plot("pts.asc plan.pdf"), 0) << err_;
  EXPECT_EQ(ReadFileBytes(Path("plan.pdf")).substr(0, 5), "%PDF-");
}

TEST_F(PlotCli, RefusesOtherExtensionsAndKeepsTheOldFileWhenWritingFails) {
  EXPECT_EQ(Plot("pts.asc plan.jpg"), 2);
  EXPECT_NE(err_.find(".svg, .pdf or .png"), std::string::npos) << err_;
  EXPECT_FALSE(std::filesystem::exists(Path("plan.jpg")));
  EXPECT_EQ(Plot("--size 10x10 pts.asc plan.png"), 2);
  EXPECT_EQ(Plot("missing.asc plan.png"), 1);
  EXPECT_FALSE(std::filesystem::exists(Path("plan.png")));

  // A file-size limit of 512 bytes stops the PNG half-way: the old file stays, nothing else is
  // left behind. (A first run lets the font library write its cache under the fresh home
  // folder, which the limit would otherwise stop too.)
  ASSERT_EQ(Plot("pts.asc plan.png"), 0) << err_;
  WriteFileBytes(Path("plan.png"), "old plan");
  EXPECT_EQ(Plot("pts.asc plan.png", "ulimit -f 1; "), 1) << err_;
  EXPECT_EQ(ReadFileBytes(Path("plan.png")), "old plan");
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_))
    files += entry.is_regular_file();
  EXPECT_EQ(files, 2u);  // pts.asc and plan.png
}

}  // namespace
}  // namespace korv::test
