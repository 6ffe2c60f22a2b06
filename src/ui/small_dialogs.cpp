// The question, progress and splash windows.
#include "ui/small_dialogs.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/key_store.h"
#include "core/program_texts.h"
#include "ui/dialog_parts.h"
#include "ui/qt_text.h"

namespace korv {

F_Msg::F_Msg(UiContext& ctx, QWidget* owner) : QDialog(owner), ctx_(ctx) {
  setObjectName("F_Msg");
  setModal(true);
  auto* im = new QLabel(this);
  im->setObjectName("Im");
  const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  im->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSize, iconSize));
  LbMsg = new QLabel(this);
  LbMsg->setObjectName("LbMsg");
  LbMsg->setWordWrap(true);
  ComAppend = new QPushButton(Q(ctx.Msg(8)), this);
  ComAppend->setObjectName("ComAppend");
  ComOverwite = new QPushButton(Q(ctx.Msg(9)), this);
  ComOverwite->setObjectName("ComOverwite");
  ComCancel = new QPushButton(Q(ctx.Msg(10)), this);
  ComCancel->setObjectName("ComCancel");
  // Enter appends, which never loses what the file holds.
  ComAppend->setDefault(true);

  auto* top = new QHBoxLayout;
  top->addWidget(im, 0, Qt::AlignTop);
  top->addWidget(LbMsg, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(CentredButtonRow({ComAppend, ComOverwite, ComCancel}));

  connect(ComAppend, &QPushButton::clicked, this, [this] { Answer("Append", 1); });
  connect(ComOverwite, &QPushButton::clicked, this, [this] { Answer("Overwite", 2); });
  connect(ComCancel, &QPushButton::clicked, this, [this] { Answer("Cancel", 0); });
}

void F_Msg::showEvent(QShowEvent* event) {
  LbMsg->setText(Q(ctx_.state.ActionWord));
  ctx_.state.ActionWord.clear();
  QDialog::showEvent(event);
}

void F_Msg::keyPressEvent(QKeyEvent* event) {
  // Escape answers Cancel; only the close box leaves the question unanswered.
  if (event->key() == Qt::Key_Escape) {
    ComCancel->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

void F_Msg::Answer(const char* word, int mode) {
  ctx_.state.ActionWord = word;
  ctx_.state.FileWriteMode = mode;
  accept();
}

std::string AskOverwriteOrAppend(UiContext& ctx, QWidget* owner, const std::string& file,
                                 bool appendOffered) {
  F_Msg dialog(ctx, owner);
  dialog.setWindowTitle(Q(ctx.Msg(6)));
  // The file comes first: the same question may follow for another name a moment later.
  std::string question = file + "\n";
  if (appendOffered) {
    question += ctx.Msg(7);
  } else {
    question += ProgramText(IniFile::Load(ctx.state.IniFilePath), "DrawingOverwrite");
    dialog.ComAppend->setVisible(false);
    // Enter never loses what the file holds.
    dialog.ComAppend->setDefault(false);
    dialog.ComCancel->setDefault(true);
  }
  ctx.state.ActionWord = question;
  ctx.dialogs.Run(dialog);
  return ctx.state.ActionWord;
}

F_MsgCon::F_MsgCon(UiContext& ctx, QWidget* owner) : QDialog(owner) {
  setObjectName("F_MsgCon");
  setWindowTitle(Q(ctx.Msg(44)));
  Lb1 = new QLabel(this);
  Lb1->setObjectName("Lb1");
  Lb2 = new QLabel(this);
  Lb2->setObjectName("Lb2");
  ComOK = new QPushButton(Q(ProgramText(IniFile::Load(ctx.state.IniFilePath), "OK")), this);
  ComOK->setObjectName("ComOK");
  ComOK->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Lb1);
  layout->addWidget(Lb2);
  layout->addWidget(ComOK, 0, Qt::AlignHCenter);
  setMinimumWidth(280);
  connect(ComOK, &QPushButton::clicked, this, &QDialog::accept);
}

F_Start::F_Start(const std::string& tagline)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName("F_Start");
  Im = new QLabel(this);
  Im->setObjectName("Im");
  // Drawn at the screen's pixel density, so it stays sharp at any scaling.
  const QSize size(420, 220);
  const qreal density = devicePixelRatioF();
  QPixmap picture(size * density);
  picture.setDevicePixelRatio(density);
  QPainter painter(&picture);
  // The desktop's highlight colour, darkening downwards, under its highlighted text: the
  // splash matches a light or dark desktop and its text always reads.
  const QColor highlight = palette().color(QPalette::Highlight);
  QLinearGradient gradient(0, 0, 0, size.height());
  gradient.setColorAt(0, highlight);
  gradient.setColorAt(1, highlight.darker(250));
  const QRect area(QPoint(0, 0), size);
  painter.fillRect(area, gradient);
  painter.setPen(palette().color(QPalette::HighlightedText));
  QFont title = painter.font();
  title.setPointSize(28);
  title.setBold(true);
  painter.setFont(title);
  painter.drawText(area.adjusted(0, 0, 0, -40), Qt::AlignCenter,
                   QStringLiteral("Korvenia"));
  QFont line = painter.font();
  line.setPointSize(10);
  line.setBold(false);
  painter.setFont(line);
  painter.drawText(area.adjusted(0, 90, 0, 0), Qt::AlignCenter, Q(tagline));
  painter.end();
  Im->setPixmap(picture);
  Im->move(0, 0);
  Im->resize(size);
  setFixedSize(size);
}

void F_Start::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  close();
}

}  // namespace korv
