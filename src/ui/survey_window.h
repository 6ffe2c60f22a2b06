// The survey window: the check report beside the plan of the survey. The plan zooms with the
// wheel about the mouse, pans by dragging and fits on "Fit"; names and codes can be switched
// off; a click on a point, or a step to it with Page Down and Page Up, shows its line of the
// file (read from the file then) and what the model holds for it; the plan exports as an SVG drawing or a PDF page. Every text comes from
// "[Survey Texts]" of the settings file.
#pragma once

#include <QDialog>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <cstdint>
#include <string>
#include <vector>

#include "core/key_store.h"
#include "plot/plan_renderer.h"
#include "plot/plot_file.h"
#include "plot/view_transform.h"
#include "survey/survey.h"
#include "ui/ui_context.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace korv {

// The plan as a widget: drawn into an image of its size when the view changes, and copied to
// the screen from there otherwise.
class PlanView : public QWidget {
  Q_OBJECT
 public:
  PlanView(const Plan& plan, const std::vector<uint32_t>& marked, QWidget* parent);

  void Fit();
  const ViewTransform& view() const { return view_; }
  PlanStyle& style() { return style_; }
  // Draws again after the style changed.
  void Restyle();

  // A click lands on a point within this many pixels.
  static constexpr double kPickRadius = 5;

 signals:
  // The world position under the mouse (x easting, y northing).
  void pointerMoved(QPointF world);
  // A click without dragging: the nearest point, or kNoIndex; or a step to a point from the
  // keyboard.
  void pointClicked(uint32_t index);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Changed();
  // The user zoomed or panned: a resize keeps the view.
  void Moved();
  // Makes point `index` the current one, ringed, brought into view when outside it.
  void Step(uint32_t index);

  const Plan& plan_;
  const std::vector<uint32_t>& marked_;
  ViewTransform view_;
  PlanStyle style_;
  QImage frame_;
  bool stale_ = true;
  bool moved_ = false;
  bool pressed_ = false, dragging_ = false;
  QPointF pressAt_, lastAt_;
  uint32_t current_ = kNoIndex;  // the point last picked, by a click or a key
};

class SurveyWindow : public QDialog {
  Q_OBJECT
 public:
  // Takes the survey, the report's text and the indices of the points to ring.
  SurveyWindow(UiContext& ctx, Survey survey, const std::string& reportText,
               std::vector<uint32_t> marked, QWidget* owner);

  // Shows what the file and the model hold for point `index`; kNoIndex clears it.
  void ShowPoint(uint32_t index);
  void ExportPlot(PlotFormat format);

  QPlainTextEdit* Report;
  PlanView* PlanArea;
  QPushButton* ComFit;
  QCheckBox* ChkNames;
  QCheckBox* ChkCodes;
  QPushButton* ComExportSvg;
  QPushButton* ComExportPdf;
  QLabel* LbPosition;
  QLabel* LbPoint;

 private:
  QString Text(const char* key) const;
  void ShowPosition(QPointF world);

  UiContext& ctx_;
  const Survey survey_;
  const std::vector<uint32_t> marked_;
  const Plan plan_;
  IniFile texts_;  // the settings file as it was when the window was made
};

// Opens the survey window over the main window, not modal, and returns it (it deletes itself
// when closed). For the Check button and the end of a download.
SurveyWindow* ShowSurvey(UiContext& ctx, Survey survey, const std::string& reportText,
                         std::vector<uint32_t> marked);

}  // namespace korv
