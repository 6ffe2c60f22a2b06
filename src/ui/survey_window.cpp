#include "ui/survey_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <fstream>

#include "core/file_procs.h"
#include "core/line_reader.h"
#include "core/survey_texts.h"
#include "core/text_encoding.h"
#include "ui/qt_text.h"

namespace korv {

namespace {

constexpr double kWheelStep = 1.25;  // the zoom of one notch of the wheel

// Line `number` of the file at `path` as UTF-8; false when the file or the line is not there.
bool ReadLineOf(const std::string& path, uint32_t number, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  LineReader reader(in);
  std::string_view line;
  while (reader.Next(line)) {
    if (reader.lineNumber() == number) {
      text = IsValidUtf8(line) ? std::string(line) : Windows1252ToUtf8(line);
      return true;
    }
  }
  return false;
}

QString Number(double value) { return QString::number(value, 'f', 3); }

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// ---- PlanView ----

PlanView::PlanView(const Plan& plan, const std::vector<uint32_t>& marked, QWidget* parent)
    : QWidget(parent), plan_(plan), marked_(marked) {
  setObjectName("Survey_Plan");
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(200, 150);
  style_.palette = palette();
  style_.font = font();
}

void PlanView::Fit() {
  view_.Fit(plan_.Extent(), QSizeF(size()), kPlanMargin);
  moved_ = false;
  Changed();
}

void PlanView::Restyle() { Changed(); }

void PlanView::Moved() {
  moved_ = true;
  Changed();
}

void PlanView::Changed() {
  stale_ = true;
  update();
}

void PlanView::paintEvent(QPaintEvent*) {
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = (QSizeF(size()) * ratio).toSize();
  if (stale_ || frame_.size() != pixels) {
    if (frame_.size() != pixels) frame_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    frame_.setDevicePixelRatio(ratio);
    QPainter painter(&frame_);
    DrawPlan(painter, QRectF(rect()), plan_, view_, style_, marked_);
    stale_ = false;
  }
  QPainter painter(this);
  painter.drawImage(0, 0, frame_);
  if (current_ < plan_.Positions().size()) {
    // The current point, ringed in the colour of a selection.
    const QPointF at = plan_.Positions()[current_];
    QPen ring(palette().color(QPalette::Highlight), 2);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(ring);
    painter.drawEllipse(view_.ToDevice(at.x(), at.y()), 2 * kPickRadius, 2 * kPickRadius);
  }
}

void PlanView::resizeEvent(QResizeEvent*) {
  // Until the user zooms or pans, the plan stays fitted to the widget.
  if (!moved_) Fit();
}

void PlanView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches == 0) return;
  view_.ZoomAbout(event->position(), std::pow(kWheelStep, notches));
  Moved();
  event->accept();
}

void PlanView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  dragging_ = false;
  pressAt_ = lastAt_ = event->position();
}

void PlanView::mouseMoveEvent(QMouseEvent* event) {
  const QPointF at = event->position();
  if (pressed_) {
    if (!dragging_ && (at - pressAt_).manhattanLength() >= QApplication::startDragDistance())
      dragging_ = true;
    if (dragging_) {
      view_.Pan(at - lastAt_);
      lastAt_ = at;
      Moved();
    }
  }
  emit pointerMoved(view_.ToWorld(at));
}

void PlanView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  if (dragging_) {
    view_.Pan(event->position() - lastAt_);
    Moved();
  } else {
    current_ = NearestPoint(plan_, view_, event->position(), kPickRadius);
    update();
    emit pointClicked(current_);
  }
  dragging_ = false;
}

void PlanView::Step(uint32_t index) {
  current_ = index;
  const QPointF at = plan_.Positions()[index];
  const QPointF device = view_.ToDevice(at.x(), at.y());
  if (!QRectF(rect()).contains(device)) {
    view_.Pan(QRectF(rect()).center() - device);
    Moved();
  }
  update();
  emit pointClicked(index);
}

// The keyboard's way: + and - zoom about the middle, the arrows pan by an eighth; Page Down
// and Page Up step to the next and the previous point in the file's order, Home and End to the
// first and the last.
void PlanView::keyPressEvent(QKeyEvent* event) {
  const QPointF middle = QRectF(rect()).center();
  const double stepX = width() / 8.0, stepY = height() / 8.0;
  const auto count = static_cast<uint32_t>(plan_.Positions().size());
  const bool picked = current_ < count;
  switch (event->key()) {
    case Qt::Key_PageDown:
      if (count > 0) Step(picked ? std::min(current_ + 1, count - 1) : 0);
      return;
    case Qt::Key_PageUp:
      if (count > 0) Step(picked && current_ > 0 ? current_ - 1 : 0);
      return;
    case Qt::Key_Home:
      if (count > 0) Step(0);
      return;
    case Qt::Key_End:
      if (count > 0) Step(count - 1);
      return;
    case Qt::Key_Plus:
    case Qt::Key_Equal: view_.ZoomAbout(middle, kWheelStep); break;
    case Qt::Key_Minus: view_.ZoomAbout(middle, 1 / kWheelStep); break;
    case Qt::Key_Left: view_.Pan(QPointF(stepX, 0)); break;
    case Qt::Key_Right: view_.Pan(QPointF(-stepX, 0)); break;
    case Qt::Key_Up: view_.Pan(QPointF(0, stepY)); break;
    case Qt::Key_Down: view_.Pan(QPointF(0, -stepY)); break;
    default: QWidget::keyPressEvent(event); return;
  }
  Moved();
}

void PlanView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
    style_.palette = palette();
    style_.font = font();
    Changed();
  }
  QWidget::changeEvent(event);
}

// ---- SurveyWindow ----

SurveyWindow::SurveyWindow(UiContext& ctx, Survey survey, const std::string& reportText,
                           std::vector<uint32_t> marked, QWidget* owner)
    : QDialog(owner),
      ctx_(ctx),
      survey_(std::move(survey)),
      marked_(std::move(marked)),
      plan_(survey_),
      texts_(IniFile::Load(ctx.state.IniFilePath)) {
  setObjectName("Survey_Form");
  setWindowTitle(Text("PlanTitle"));
  setSizeGripEnabled(true);

  Report = new QPlainTextEdit(this);
  Report->setObjectName("Survey_Report");
  Report->setReadOnly(true);
  // Read-only, yet a caret the arrow keys move: the keyboard selects and copies the report, and
  // a screen reader reads it line by line.
  Report->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  Report->setLineWrapMode(QPlainTextEdit::NoWrap);
  Report->setPlainText(Q(reportText));
  Report->setAccessibleName(Text("Report"));

  PlanArea = new PlanView(plan_, marked_, this);
  PlanArea->setAccessibleName(Text("PlanView"));
  PlanArea->style().north = Text("North");
  PlanArea->style().metres = Text("Metres");

  auto button = [this](const char* name, const char* key) {
    auto* b = new QPushButton(Text(key), this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
  };
  auto check = [this](const char* name, const char* key) {
    auto* c = new QCheckBox(Text(key), this);
    c->setObjectName(name);
    c->setChecked(true);
    return c;
  };
  ComFit = button("Survey_ComFit", "Fit");
  ChkNames = check("Survey_ChkNames", "Names");
  ChkCodes = check("Survey_ChkCodes", "Codes");
  ComExportSvg = button("Survey_ComExportSvg", "ExportSvg");
  ComExportPdf = button("Survey_ComExportPdf", "ExportPdf");
  LbPosition = new QLabel(this);
  LbPosition->setObjectName("Survey_LbPosition");
  LbPoint = new QLabel(Text("NoPoint"), this);
  LbPoint->setObjectName("Survey_LbPoint");
  LbPoint->setWordWrap(true);
  // Tab reaches the point's line and Shift with the arrows selects it; Qt gives a label that
  // the keyboard selects only the focus of a click.
  LbPoint->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  LbPoint->setFocusPolicy(Qt::StrongFocus);

  auto* tools = new QHBoxLayout;
  for (QWidget* w : {static_cast<QWidget*>(ComFit), static_cast<QWidget*>(ChkNames),
                     static_cast<QWidget*>(ChkCodes)})
    tools->addWidget(w);
  tools->addStretch();
  tools->addWidget(ComExportSvg);
  tools->addWidget(ComExportPdf);
  auto* planSide = new QWidget(this);
  auto* column = new QVBoxLayout(planSide);
  column->setContentsMargins(0, 0, 0, 0);
  column->addWidget(PlanArea, 1);
  column->addLayout(tools);
  column->addWidget(LbPosition);
  column->addWidget(LbPoint);
  auto* split = new QSplitter(this);
  split->addWidget(Report);
  split->addWidget(planSide);
  split->setStretchFactor(1, 2);
  (new QVBoxLayout(this))->addWidget(split);
  resize(1000, 640);

  connect(ComFit, &QPushButton::clicked, PlanArea, &PlanView::Fit);
  auto labels = [this] {
    PlanArea->style().names = ChkNames->isChecked();
    PlanArea->style().codes = ChkCodes->isChecked();
    PlanArea->Restyle();
  };
  connect(ChkNames, &QCheckBox::toggled, this, labels);
  connect(ChkCodes, &QCheckBox::toggled, this, labels);
  connect(ComExportSvg, &QPushButton::clicked, this, [this] { ExportPlot(PlotFormat::Svg); });
  connect(ComExportPdf, &QPushButton::clicked, this, [this] { ExportPlot(PlotFormat::Pdf); });
  connect(PlanArea, &PlanView::pointerMoved, this, &SurveyWindow::ShowPosition);
  connect(PlanArea, &PlanView::pointClicked, this, [this](uint32_t index) {
    ShowPoint(index);
    // Said where the focus is: a screen reader speaks the point the keys stepped to.
    PlanArea->setAccessibleDescription(LbPoint->text());
  });
}

QString SurveyWindow::Text(const char* key) const { return Q(SurveyText(texts_, key)); }

void SurveyWindow::ShowPosition(QPointF world) {
  LbPosition->setText(Text("Position").arg(Number(world.x()), Number(world.y())));
}

void SurveyWindow::ShowPoint(uint32_t index) {
  if (index >= survey_.points.size()) {
    LbPoint->setText(Text("NoPoint"));
    return;
  }
  const Point& p = survey_.points[index];
  std::string line;
  const QString lineText =
      ReadLineOf(survey_.source, p.line, line) ? Q(line) : Text("LineUnreadable");
  QStringList parts;
  parts << Text("PointLine").arg(QString::number(p.line), lineText);
  parts << Text("PointName").arg(FromView(survey_.Text(p.name)), FromView(survey_.Text(p.code)),
                                 QString::fromLatin1(RecordKindWord(p.kind)));
  parts << Text("PointCoordinates")
               .arg(Number(p.east), Number(p.north),
                    p.hasElevation ? Number(p.elevation) : Text("NoElevation"));
  if (p.setUp < survey_.setUps.size()) {
    const SetUp& s = survey_.setUps[p.setUp];
    parts << Text("FromSetUp").arg(QString::number(s.line), FromView(survey_.Text(s.station)));
  }
  LbPoint->setText(parts.join(QLatin1Char('\n')));
}

void SurveyWindow::ExportPlot(PlotFormat format) {
  const bool svg = format == PlotFormat::Svg;
  FileDialogRequest request;
  request.title = SurveyText(texts_, "ExportTitle");
  request.filter = SurveyText(texts_, svg ? "SvgFilter" : "PdfFilter");
  std::string name = survey_.source;
  if (const size_t dot = name.find_last_of('.');
      dot != std::string::npos && dot > name.find_last_of('/') + 1)
    name.erase(dot);
  request.fileName = name + (svg ? ".svg" : ".pdf");
  const std::optional<std::string> path = ctx_.prompts.SaveFile(request);
  if (!path) return;
  if (FileExists(*path) &&
      ctx_.prompts.Message(Text("Replace").arg(Q(*path)).toStdString(), ctx_.Msg(6),
                           MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
    return;
  // What the plan view shows, at its size.
  const ConvertResult result =
      WritePlot(*path, format, PlanArea->size(), plan_, PlanArea->style(), marked_,
                &PlanArea->view());
  if (!result.ok())
    ctx_.prompts.Message(result.fault, ctx_.Msg(11), MessageIcon::Critical, MessageButtons::Ok);
}

SurveyWindow* ShowSurvey(UiContext& ctx, Survey survey, const std::string& reportText,
                         std::vector<uint32_t> marked) {
  auto* window =
      new SurveyWindow(ctx, std::move(survey), reportText, std::move(marked), ctx.mainWindow);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  return window;
}

}  // namespace korv
