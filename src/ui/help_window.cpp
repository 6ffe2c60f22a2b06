// The help window: its texts, its layout in twips, the manual and web links, and showing it
// for the main window's Help button.
#include "ui/help_window.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <initializer_list>

#include "core/file_procs.h"
#include "core/key_store.h"
#include "core/settings.h"
#include "core/text.h"
#include "ui/control_binder.h"
#include "ui/setup_mode.h"

namespace korv {

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::string HelpDocumentPath(const AppState& state) {
  const std::string& named = state.HelpFileName;
  const std::string& exe = state.ExecutableFolder;
  if (named.empty() || FileExists(named) || exe.empty()) return named;
  // An installed program keeps its manual in the shared data folder beside bin/.
  namespace fs = std::filesystem;
  const fs::path up = fs::path(exe).parent_path().parent_path();
  for (const char* shared : {"share/korvenia", "share/doc/korvenia"}) {
    const std::string candidate = (up / shared / FileNameOnly(named)).string();
    if (FileExists(candidate)) return candidate;
  }
  return named;
}

// ---- LinkLabel ----

LinkLabel::LinkLabel(QWidget* parent) : QLabel(parent) {
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  QFont f = font();
  f.setUnderline(true);
  setFont(f);
  // The palette's link colour, whichever palette the desktop has now or changes to.
  setForegroundRole(QPalette::Link);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
  }
  QLabel::mouseReleaseEvent(event);
}

void LinkLabel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
      event->key() == Qt::Key_Space) {
    emit clicked();
    return;
  }
  QLabel::keyPressEvent(event);
}

// ---- F_Help ----

F_Help::F_Help(UiContext& ctx, QWidget* owner) : QDialog(owner), ctx_(ctx) {
  setObjectName("Help_Form");
  setModal(true);
  Fr1 = new QGroupBox(this);
  Fr1->setObjectName("Help_Fr1");
  for (size_t i = 0; i < LbCI.size(); ++i) {
    LbCI[i] = new QLabel(Fr1);
    LbCI[i]->setObjectName(QStringLiteral("Help_LbCI%1").arg(i));
    LbCI[i]->setWordWrap(true);
    // Contact details can be selected and copied (an address, a telephone number), with the
    // mouse or, reached by Tab, from the keyboard.
    LbCI[i]->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    LbCI[i]->setFocusPolicy(Qt::StrongFocus);
  }
  Fr2 = new QGroupBox(this);
  Fr2->setObjectName("Help_Fr2");
  for (size_t i = 0; i < LbNet.size(); ++i) {
    LbNet[i] = new LinkLabel(Fr2);
    LbNet[i]->setObjectName(QStringLiteral("Help_Net%1").arg(i));
    connect(LbNet[i], &LinkLabel::clicked, this, [this, i] { LbNet_Click(static_cast<int>(i)); });
  }
  Fr3 = new QGroupBox(this);
  Fr3->setObjectName("Help_Fr3");
  ComOpenHelpFile = new QPushButton(Fr3);
  ComOpenHelpFile->setObjectName("Help_ComOpenHelpFile");
  ComOK = new QPushButton(this);
  ComOK->setObjectName("Help_ComOK");
  ComOK->setDefault(true);
  connect(ComOpenHelpFile, &QPushButton::clicked, this, [this] { ComOpenHelpFile_Click(); });
  connect(ComOK, &QPushButton::clicked, this, [this] { ComOK_Click(); });
  setTabOrder(LbNet[0], LbNet[1]);
  setTabOrder(LbNet[1], ComOpenHelpFile);
  setTabOrder(ComOpenHelpFile, ComOK);

  Form_Load();
  InstallSetupHooks(this, RecordWindow::Help, ctx_);
  // The first link keeps its design text, so it cannot be edited either.
  LbNet[0]->setProperty(kNoSetupProperty, true);
  Form_Activate();
}

void F_Help::Form_Load() {
  AppState& s = ctx_.state;
  // Loading a window's texts is no verdict on the settings file as a whole.
  const bool readOK = s.SettingsReadOK;
  UnloadWindowTexts(s, RecordWindow::Help);
  const IniFile ini = IniFile::Load(s.IniFilePath);
  for (const ControlRecordDef* def : ControlRecordsOf(RecordWindow::Help)) {
    // The first link keeps its design text: it is never read from the file.
    if (def->name == "Help_Net0") continue;
    // A value the window refuses leaves that property as it was.
    ApplyControlRecord(ini, def->name, def->kind, TextsOf(s, def->name), s);
  }
  s.SettingsReadOK = readOK;
  ApplyWindowTexts(this, RecordWindow::Help, s);
  loaded_ = true;
}

void F_Help::Form_Activate() {
  auto px = [this](double twips) { return TwipsToPixels(twips, this); };
  const int margin = px(90);
  const int frameLeft = px(96);
  // The frames are 3000 twips wide, or wider when a title, a word, a link or a button needs it;
  // the window grows with them.
  int frameWidth = px(3000);
  for (const QWidget* frame : {Fr1, Fr2, Fr3}) {
    frameWidth = std::max(frameWidth, TextRoom(frame).width());
  }
  for (const QWidget* w :
       std::initializer_list<const QWidget*>{LbCI[0], LbCI[1], LbCI[2], LbCI[3], LbCI[4], LbCI[5],
                                             LbNet[0], LbNet[1], ComOpenHelpFile}) {
    frameWidth = std::max(frameWidth, TextRoom(w).width() + 2 * margin);
  }
  frameWidth = std::max(frameWidth, TextRoom(ComOK).width() + 2 * margin - 2 * frameLeft);
  const int inner = frameWidth - 2 * margin;
  // The first line sits below the frame's title, also when the title's font is large.
  auto firstLine = [&](const QGroupBox* frame) {
    return std::max(px(336), frame->fontMetrics().height() + px(60));
  };
  // A label wraps at the frame's inner width and is as tall as its text (at least one line).
  auto wrapped = [&](QLabel* label) {
    const int h = std::max(label->heightForWidth(inner), label->fontMetrics().height());
    label->resize(inner, h);
    return h;
  };
  // A button keeps its recorded size unless its caption needs more.
  auto sizeButton = [&](QPushButton* button, int widest) {
    const int w = std::min(px(NeededWidth(button, 0)), widest);
    button->resize(w, px(NeededHeight(button, 0)));
  };

  // Contact details, with an empty line before the last two.
  int y = firstLine(Fr1);
  for (size_t i = 0; i < LbCI.size(); ++i) {
    const int h = wrapped(LbCI[i]);
    LbCI[i]->move(margin, y);
    y += h;
    if (i == 3) y += h;
  }
  Fr1->setGeometry(frameLeft, margin, frameWidth, y + LbCI[5]->height());

  // The web addresses, one and a half lines apart.
  y = firstLine(Fr2);
  for (LinkLabel* link : LbNet) {
    const QSize hint = link->sizeHint();
    link->setGeometry(margin, y, std::min(hint.width(), inner), hint.height());
    y += hint.height() + hint.height() / 2;
  }
  Fr2->setGeometry(frameLeft, Fr1->geometry().bottom() + 1 + margin, frameWidth,
                   y + LbNet[1]->height());

  // The manual's button, centred in a frame twice its height.
  sizeButton(ComOpenHelpFile, frameWidth - 2 * margin);
  const int bh = ComOpenHelpFile->height();
  const int buttonTop = std::max(bh / 2 + margin, Fr3->fontMetrics().height() + px(30));
  Fr3->setGeometry(frameLeft, Fr2->geometry().bottom() + 1 + margin, frameWidth,
                   std::max(2 * bh, buttonTop + bh + margin / 2));
  ComOpenHelpFile->move((frameWidth - ComOpenHelpFile->width()) / 2, buttonTop);

  // The window is the frames' margin on both sides wider than the frames (3248 twips outside
  // by design). Its height adds 180 below OK; the title bar and borders are the window system's.
  const int windowWidth = frameLeft + frameWidth + frameLeft;
  sizeButton(ComOK, windowWidth - 2 * margin);
  ComOK->move((windowWidth - ComOK->width()) / 2, Fr3->geometry().bottom() + 1 + px(180));
  setFixedSize(windowWidth, ComOK->geometry().bottom() + 1 + px(180));
  PlaceSetupOverlays(this);
}

bool F_Help::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) Form_Activate();
  return QDialog::event(event);
}

void F_Help::showEvent(QShowEvent* event) {
  if (!loaded_) Form_Load();
  Form_Activate();
  QDialog::showEvent(event);
}

void F_Help::ComOpenHelpFile_Click() {
  const AppState& s = ctx_.state;
  if (s.HelpFileName.empty()) return;
  const std::string path = HelpDocumentPath(s);
  if (!FileExists(path)) {
    // A missing manual is said so; a click that does nothing would leave the user guessing.
    ctx_.prompts.Message(ctx_.Msg(5) + "\r\n" + path, ctx_.Msg(11), MessageIcon::Critical);
    return;
  }
  // Whether a program for the document could be started is the system's business.
  ctx_.prompts.OpenDocument(path);
}

void F_Help::LbNet_Click(int index) {
  if (index == 0) {
    ctx_.prompts.OpenDocument(kMakerSurveyPage);
    return;
  }
  if (index != 1) return;
  const std::string address = Trim(LbNet[1]->text().toStdString());
  if (address.empty()) return;
  // The label shows the address without "http://"; one that carries a scheme is taken as is.
  const bool hasScheme =
      StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "https://");
  ctx_.prompts.OpenDocument(hasScheme ? address : "http://" + address);
}

void F_Help::ComOK_Click() {
  // Texts edited in special setup mode stay with the window until the settings are saved.
  ReadWindowTexts(this, RecordWindow::Help, ctx_.state);
  accept();
}

void F_Help::reject() {
  // Escape hides the window as OK does.
  ComOK_Click();
}

void F_Help::closeEvent(QCloseEvent* event) {
  if (RefuseCloseInSetupMode(ctx_.state, ctx_.prompts, {ComOK->text()})) {
    event->ignore();
    return;
  }
  // Closed by its close box the window is unloaded: its next showing reads its texts again.
  loaded_ = false;
  QDialog::closeEvent(event);
}

// ---- The main window's Help button ----

void ShowHelpWindow(UiContext& ctx, QWidget* owner) {
  auto* help =
      owner ? owner->findChild<F_Help*>(QStringLiteral("Help_Form"), Qt::FindDirectChildrenOnly)
            : nullptr;
  if (!help) help = new F_Help(ctx, owner);
  ctx.dialogs.Run(*help);
}

}  // namespace korv
