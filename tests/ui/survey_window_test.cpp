// The survey window on the offscreen platform: the report beside the plan, a wheel zoom about
// the mouse, a click on a point showing its line read from the file, panning by a drag, the
// position under the mouse, and the SVG export through the scripted file dialog.
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTest>
#include <QWheelEvent>
#include <cmath>

#include "ui/survey_window.h"
#include "ui_fixture.h"

namespace korv {
namespace {

TextSpan Add(Survey& s, const std::string& text) {
  TextSpan span{static_cast<uint32_t>(s.pool.size()), static_cast<uint32_t>(text.size())};
  s.pool += text;
  return span;
}

class SurveyWindowTest : public UiTest {
 protected:
  // A coordinate list of three points; B and C are 0.4 m apart, 100 m from A.
  Survey ListSurvey() {
    const std::string path = Path("points.asc");
    WriteFileBytes(path,
                   "A,6543200.000,567800.000,10.000,TREE\r\n"
                   "B,6543300.000,567900.000,11.000,MH\r\n"
                   "C,6543300.000,567900.400,,KERB\r\n");
    Survey s;
    s.source = path;
    s.raw = false;
    const struct {
      const char* name;
      const char* code;
      double east, north, elevation;
      bool hasElevation;
    } rows[] = {{"A", "TREE", 567800, 6543200, 10, true},
                {"B", "MH", 567900, 6543300, 11, true},
                {"C", "KERB", 567900.4, 6543300, 0, false}};
    for (const auto& r : rows) {
      Point p;
      p.line = static_cast<uint32_t>(s.points.size() + 1);
      p.kind = RecordKind::CoordinateLine;
      p.name = Add(s, r.name);
      p.code = Add(s, r.code);
      p.east = r.east;
      p.north = r.north;
      p.elevation = r.elevation;
      p.hasElevation = r.hasElevation;
      s.points.push_back(p);
    }
    s.lines = s.recordPoints = 3;
    return s;
  }

  static QPointF At(const PlanView& plan, double east, double north) {
    return plan.view().ToDevice(east, north);
  }
};

TEST_F(SurveyWindowTest, WheelZoomsAboutTheMouseAndAClickShowsThePointsLine) {
  ctx->mainWindow = window.get();
  SurveyWindow* survey = ShowSurvey(*ctx, ListSurvey(), "3 points, no problems", {2});
  survey->resize(900, 600);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(survey));
  PlanView* plan = survey->PlanArea;

  EXPECT_EQ(survey->Report->toPlainText(), "3 points, no problems");
  EXPECT_TRUE(survey->Report->isReadOnly());
  EXPECT_EQ(plan->accessibleName(), "Plan of the survey");
  for (QPushButton* b : {survey->ComFit, survey->ComExportSvg, survey->ComExportPdf})
    EXPECT_TRUE(b->text().contains('&')) << b->text().toStdString();
  for (QCheckBox* c : {survey->ChkNames, survey->ChkCodes}) EXPECT_TRUE(c->text().contains('&'));

  // Fitted, B and C are closer than a click can tell apart.
  const QPointF b = At(*plan, 567900, 6543300);
  EXPECT_LT(std::hypot(At(*plan, 567900.4, 6543300).x() - b.x(), 0), PlanView::kPickRadius);
  const double fitted = plan->view().Scale();

  // Eight notches up with the mouse on B: B stays under the mouse, C moves away from it.
  QWheelEvent wheel(b, plan->mapToGlobal(b), QPoint(), QPoint(0, 8 * 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(plan, &wheel);
  EXPECT_NEAR(plan->view().Scale(), fitted * std::pow(1.25, 8), 1e-9 * fitted);
  EXPECT_NEAR(At(*plan, 567900, 6543300).x(), b.x(), 1e-6);
  EXPECT_NEAR(At(*plan, 567900, 6543300).y(), b.y(), 1e-6);
  const QPointF c = At(*plan, 567900.4, 6543300);
  ASSERT_GT(c.x() - b.x(), 2 * PlanView::kPickRadius);

  // A click beside C (2 pixels off) picks C and shows its line as the file has it.
  QTest::mouseClick(plan, Qt::LeftButton, {}, (c + QPointF(0, 2)).toPoint());
  const std::string shown = survey->LbPoint->text().toStdString();
  EXPECT_NE(shown.find("Line 3: C,6543300.000,567900.400,,KERB"), std::string::npos) << shown;
  EXPECT_NE(shown.find("Point C, code KERB, record coordinate line"), std::string::npos) << shown;
  EXPECT_NE(shown.find("E 567900.400   N 6543300.000   Z none"), std::string::npos) << shown;
  QTest::mouseClick(plan, Qt::LeftButton, {}, b.toPoint() + QPoint(0, 1));
  EXPECT_NE(survey->LbPoint->text().toStdString().find("Line 2: B,6543300.000,567900.000,11.000,MH"),
            std::string::npos);
  // Far from every point, the click clears it.
  QTest::mouseClick(plan, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(survey->LbPoint->text(), "Click a point to see its line.");

  // The position under the mouse, in the status line.
  QTest::mouseMove(plan, QPoint(100, 80));
  const QPointF world = plan->view().ToWorld(QPointF(100, 80));
  EXPECT_EQ(survey->LbPosition->text(), QString("E %1   N %2")
                                            .arg(world.x(), 0, 'f', 3)
                                            .arg(world.y(), 0, 'f', 3));

  // A drag moves the plan with the mouse and picks nothing.
  const QString before = survey->LbPoint->text();
  QTest::mousePress(plan, Qt::LeftButton, {}, QPoint(300, 300));
  QTest::mouseMove(plan, QPoint(320, 310));
  QTest::mouseMove(plan, QPoint(340, 330));
  QTest::mouseRelease(plan, Qt::LeftButton, {}, QPoint(340, 330));
  EXPECT_NEAR(At(*plan, 567900, 6543300).x(), b.x() + 40, 1e-6);
  EXPECT_NEAR(At(*plan, 567900, 6543300).y(), b.y() + 30, 1e-6);
  EXPECT_EQ(survey->LbPoint->text(), before);

  // Fit brings the whole plan back.
  survey->ComFit->click();
  EXPECT_DOUBLE_EQ(plan->view().Scale(), fitted);

  // From the keyboard, zoomed in on B: Home steps to A and brings it into view, Page Down and
  // Page Up go through the file's order and stop at its ends; the point is said at the focus.
  QApplication::sendEvent(plan, &wheel);
  ASSERT_FALSE(QRectF(plan->rect()).contains(At(*plan, 567800, 6543200)));
  plan->setFocus();
  auto line = [&](Qt::Key key) {
    QTest::keyClick(plan, key);
    EXPECT_EQ(plan->accessibleDescription(), survey->LbPoint->text());
    return survey->LbPoint->text().section('\n', 0, 0).toStdString();
  };
  EXPECT_EQ(line(Qt::Key_Home), "Line 1: A,6543200.000,567800.000,10.000,TREE");
  EXPECT_TRUE(QRectF(plan->rect()).contains(At(*plan, 567800, 6543200)));
  EXPECT_EQ(line(Qt::Key_PageUp), "Line 1: A,6543200.000,567800.000,10.000,TREE");
  EXPECT_EQ(line(Qt::Key_PageDown), "Line 2: B,6543300.000,567900.000,11.000,MH");
  EXPECT_EQ(line(Qt::Key_End), "Line 3: C,6543300.000,567900.400,,KERB");
  EXPECT_EQ(line(Qt::Key_PageDown), "Line 3: C,6543300.000,567900.400,,KERB");
  EXPECT_EQ(line(Qt::Key_PageUp), "Line 2: B,6543300.000,567900.000,11.000,MH");
  survey->close();
}

TEST_F(SurveyWindowTest, ExportsTheViewAsAnSvgDrawingQtReads) {
  ctx->mainWindow = window.get();
  SurveyWindow* survey = ShowSurvey(*ctx, ListSurvey(), "", {});
  survey->resize(800, 500);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(survey));
  const std::string svg = Path("plan.svg");
  prompts.fileAnswers.push_back(svg);
  survey->ComExportSvg->click();
  ASSERT_EQ(prompts.fileDialogs.size(), 1u);
  EXPECT_TRUE(prompts.fileDialogs[0].save);
  EXPECT_EQ(prompts.fileDialogs[0].request.filter, "SVG drawing (*.svg)|*.svg");
  EXPECT_EQ(prompts.fileDialogs[0].request.fileName, Path("points.svg"));
  QSvgRenderer reader(QString::fromStdString(svg));
  ASSERT_TRUE(reader.isValid());
  EXPECT_EQ(reader.viewBox(), QRect(QPoint(0, 0), survey->PlanArea->size()));

  // An existing file is replaced only when the user says yes.
  const std::string before = ReadFileBytes(svg);
  WriteFileBytes(svg, "keep me");
  prompts.fileAnswers.push_back(svg);
  prompts.messageAnswers.push_back(MessageAnswer::No);
  survey->ComExportSvg->click();
  EXPECT_EQ(ReadFileBytes(svg), "keep me");
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_EQ(prompts.messages[0].text, svg + " exists. Replace it?");
  survey->close();
}

// The Receive tab's Check button on a raw data file from disk: the report names the line not
// understood, the plan holds the station's record and the point reduced from it. A file that
// has gone is refused with a message and no window.
TEST_F(SurveyWindowTest, CheckButtonShowsTheChosenFilesReportAndPlan) {
  ctx->mainWindow = window.get();
  WriteFileBytes(Path("job.raw"),
                 "CO,Coord Order: NEZ\r\n"
                 "UP,S1,,1000.000,2000.000,50.000,STN\r\n"
                 "ST,S1,,,,1.500,0.0000\r\n"
                 "SS,P1,1.500,100.000,100.0000,100.0000,,TREE\r\n"
                 "XX,what is this\r\n");
  state.JobPath = folder;
  window->OpSourse_Click(1);
  ASSERT_FALSE(window->ComCheck->isHidden());
  EXPECT_EQ(window->ComCheck->text().toStdString(), "Chec&k");
  window->ComFileName->setText("job.raw");
  window->ComCheck->click();
  SurveyWindow* shown = window->findChild<SurveyWindow*>();
  ASSERT_NE(shown, nullptr);
  const std::string report = shown->Report->toPlainText().toStdString();
  EXPECT_NE(report.find("XX,what is this"), std::string::npos) << report;
  // P1: 100 m due east of S1 (azimuth 100 gon, circle taken as oriented), level.
  shown->ShowPoint(1);
  EXPECT_NE(shown->LbPoint->text().toStdString().find("SS,P1"), std::string::npos);
  shown->close();
  delete shown;

  window->ComFileName->setText("gone.raw");
  window->ComCheck->click();
  EXPECT_EQ(window->findChild<SurveyWindow*>(), nullptr);
  ASSERT_EQ(prompts.messages.size(), 1u);
  EXPECT_NE(prompts.messages[0].text.find("gone.raw"), std::string::npos);
}

}  // namespace
}  // namespace korv
