// The format settings dialogs: building their widgets, loading and storing their sections,
// and their buttons.
#include "ui/format_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/coord_field_options.h"
#include "core/key_store.h"
#include "core/numbers.h"
#include "core/program_texts.h"
#include "core/settings.h"
#include "ui/control_binder.h"
#include "ui/conversion_dispatch.h"
#include "ui/dialog_parts.h"
#include "ui/qt_text.h"
#include "ui/setup_mode.h"

namespace korv {

namespace {

template <typename T>
T* Make(QWidget* parent, const std::string& name, const QString& text = {}) {
  auto* w = new T(parent);
  w->setObjectName(Q(name));
  if constexpr (std::is_base_of_v<QAbstractButton, T> || std::is_same_v<T, QLabel>) {
    if (!text.isEmpty()) w->setText(text);
  }
  return w;
}

// Selects option `index` of `group`, or none when it names no option.
void SelectOption(QButtonGroup* group, int index) {
  if (QAbstractButton* b = group->button(index)) {
    b->setChecked(true);
    return;
  }
  group->setExclusive(false);
  for (QAbstractButton* b : group->buttons()) b->setChecked(false);
  group->setExclusive(true);
}

// The drawing's own colours, which the colour buttons show as they are on a light or dark
// desktop alike: the only colours of the windows that do not come from the desktop's palette.
const std::array<QColor, 8> kPalette = {
    QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 255, 0),     QColor(0, 255, 255),
    QColor(0, 0, 255), QColor(255, 0, 255), QColor(255, 255, 255), QColor(128, 128, 128)};

// What a screen reader calls the palette's colours: their program text keys.
const std::array<const char*, 8> kPaletteNames = {"Red",  "Yellow",  "Green", "Cyan",
                                                  "Blue", "Magenta", "White", "Grey"};

// Shows `colour` on the button; disabled, faded into the window's background with greyed text,
// as every other disabled control looks.
void SetBackground(QPushButton* button, const QColor& colour) {
  const QPalette& palette = button->palette();
  const QColor background = palette.color(QPalette::Window);
  const auto fade = [&](int a, int b) { return (a + 3 * b) / 4; };
  const QColor faded(fade(colour.red(), background.red()), fade(colour.green(), background.green()),
                     fade(colour.blue(), background.blue()));
  button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2; }"
                                       " QPushButton:disabled { background-color: %3; color: %4; }")
                            .arg(colour.name(), colour.lightness() > 128 ? "black" : "white",
                                 faded.name(),
                                 palette.color(QPalette::Disabled, QPalette::ButtonText).name()));
}

// The palette index a colour tag reads as, or -1 when it names none.
int TagIndex(const QString& tag) {
  const double v = LeadingNumber(tag.toStdString());
  if (v != static_cast<int>(v) || v < 0 || v > 7) return -1;
  return static_cast<int>(v);
}

}  // namespace

void LoadDialogTexts(UiContext& ctx, QWidget* root, RecordWindow window) {
  AppState& s = ctx.state;
  if (s.CreatingIniFile) return;
  // In special setup mode the windows whose texts are saved at exit keep the edits made since
  // they were last shown; reading the file again would lose them before they are saved.
  const bool savedAtExit = window == RecordWindow::Download || window == RecordWindow::Upload ||
                           window == RecordWindow::Help;
  const ControlRecordDef* own = ControlRecordsOf(window).front();
  const bool loaded = s.controls.find(own->name) != s.controls.end();
  if (!(s.SpecialSetupMode && savedAtExit && loaded)) {
    UnloadWindowTexts(s, window);
    ApplyWindowRecords(IniFile::Load(s.IniFilePath), window, s);
  }
  ApplyWindowTexts(root, window, s);
}

void SaveDialogTexts(UiContext& ctx, QWidget* root, RecordWindow window, IniFile& ini) {
  ReadWindowTexts(root, window, ctx.state);
  for (const ControlRecordDef& def : ControlCatalogue()) {
    if (def.window != window) continue;
    SaveControlRecord(ini, def.name, def.kind, TextsOf(ctx.state, def.name));
  }
}

// ---- F_Sdr ----

F_Sdr::F_Sdr(UiContext& ctx, QWidget* owner) : QDialog(owner), ctx_(ctx) {
  setObjectName("F_Sdr");
  const IniFile ini = IniFile::Load(ctx.state.IniFilePath);
  const auto text = [&ini](const char* key) { return Q(ProgramText(ini, key)); };
  setWindowTitle(text("SdrTitle"));
  // Program text keys; the refraction constants are numbers, shown as they are.
  struct GroupText {
    const char* label;
    const char* name;
    std::array<const char*, 3> options;
  };
  const GroupText texts[kSdrGroupCount] = {
      {"SdrAngle", "OpAng", {"SdrDegrees", "SdrGon", "SdrMil"}},
      {"SdrDistance", "OpDis", {"SdrMeters", "SdrUsFeet", "SdrIntlFeet"}},
      {"SdrPressure", "OpPres", {"SdrMmHg", "SdrInchHg", "SdrMbar"}},
      {"SdrTemperature", "OpTemp", {"SdrCelsius", "SdrFahrenheit", nullptr}},
      {"SdrTP", "OpTP", {"SdrOn", "SdrOff", nullptr}},
      {"SdrCR", "OpCR", {"SdrOn", "SdrOff", nullptr}},
      {"SdrRefraction", "OpRCon", {nullptr, nullptr, nullptr}},
      {"SdrSeaLevel", "OpSL", {"SdrOn", "SdrOff", nullptr}},
  };
  const auto optionText = [&](int g, int i) {
    if (g == kSdrRefractionConstant) return QString::fromLatin1(i == 0 ? "0.132" : "0.200");
    return text(texts[g].options[static_cast<size_t>(i)]);
  };
  auto* units = Make<QGroupBox>(this, "FrUnits");
  units->setTitle(text("SdrUnits"));
  auto* corrections = Make<QGroupBox>(this, "FrCorrections");
  corrections->setTitle(text("SdrCorrections"));
  auto* unitsLayout = new QGridLayout(units);
  auto* correctionsLayout = new QGridLayout(corrections);
  for (int g = 0; g < kSdrGroupCount; ++g) {
    QGroupBox* frame = g < 4 ? units : corrections;
    QGridLayout* grid = g < 4 ? unitsLayout : correctionsLayout;
    const int row = g % 4;
    const QString labelText = text(texts[g].label);
    auto* label = Make<QLabel>(frame, std::string("Lb") + texts[g].name, labelText);
    // Each group in its own container, so one option per group is selected.
    auto* box = new QWidget(frame);
    box->setObjectName(QString::fromLatin1(texts[g].name));
    auto* line = new QHBoxLayout(box);
    line->setContentsMargins(0, 0, 0, 0);
    groups[g] = new QButtonGroup(this);
    for (int i = 0; i < SdrGroupAt(g).options; ++i) {
      const QString option = optionText(g, i);
      auto* op = Make<QRadioButton>(box, texts[g].name + std::to_string(i), option);
      // Three groups offer "On" and "Off": a screen reader says whose.
      op->setAccessibleName(text("SdrOption").arg(labelText, option));
      groups[g]->addButton(op, i);
      line->addWidget(op);
    }
    line->addStretch();
    label->setBuddy(groups[g]->button(0));
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
  }
  ComOK = Make<QPushButton>(this, "ComOK", text("OK"));
  ComCancel = Make<QPushButton>(this, "ComCancel", text("Cancel"));
  ComOK->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(units);
  layout->addWidget(corrections);
  layout->addLayout(RightButtonRow({ComOK, ComCancel}));

  // Toggled, not clicked: the keyboard and a screen reader's Toggle choose an option too.
  connect(groups[kSdrCurvatureAndRefraction], &QButtonGroup::idToggled, this, [this](int, bool on) {
    if (on) OpCR_Click();
  });
  connect(ComOK, &QPushButton::clicked, this, [this] { ComOK_Click(); });
  connect(ComCancel, &QPushButton::clicked, this, &QDialog::reject);

  if (!ctx_.state.CreatingIniFile) Select(ReadSdrSettings(IniFile::Load(ctx_.state.IniFilePath)));
}

SdrSettings F_Sdr::Selected() const {
  SdrSettings s;
  for (int g = 0; g < kSdrGroupCount; ++g) s.selected[g] = groups[g]->checkedId();
  return s;
}

void F_Sdr::Select(const SdrSettings& settings) {
  for (int g = 0; g < kSdrGroupCount; ++g) SelectOption(groups[g], settings.selected[g]);
  OpCR_Click();
}

void F_Sdr::OpCR_Click() {
  const bool off = groups[kSdrCurvatureAndRefraction]->checkedId() == 1;
  for (QAbstractButton* b : groups[kSdrRefractionConstant]->buttons()) b->setEnabled(!off);
}

void F_Sdr::ComOK_Click() {
  IniFile ini = IniFile::Load(ctx_.state.IniFilePath);
  WriteSdrSettings(ini, Selected());
  ini.Save(ctx_.state.IniFilePath);
  accept();
}

// ---- F_KOFStp ----

F_KOFStp::F_KOFStp(UiContext& ctx, const std::string& output, const std::string& sourceCaption,
                   QWidget* owner)
    : QDialog(owner), ctx_(ctx) {
  setObjectName("KOF_Form");
  auto* frame = Make<QGroupBox>(this, "Frame");
  auto* grid = new QGridLayout(frame);
  for (int i = 1; i <= 5; ++i) {
    Lb[i] = Make<QLabel>(frame, "KOF_Lb" + std::to_string(i));
    Tx[i] = Make<QLineEdit>(frame, "KOF_Tx" + std::to_string(i));
    Lb[i]->setBuddy(Tx[i]);
    grid->addWidget(Lb[i], i - 1, 0, Qt::AlignRight | Qt::AlignBottom);
    grid->addWidget(Tx[i], i - 1, 1);
  }
  // Made in the order they are drawn, which is the order Tab visits them.
  ChkUCC = Make<QCheckBox>(this, "KOF_ChkUCC");
  ChkUPNC = Make<QCheckBox>(this, "KOF_ChkUPNC");
  ComOK = Make<QPushButton>(this, "KOF_ComOK");
  ComCancel = Make<QPushButton>(this, "KOF_ComCancel");
  ComOK->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(frame);
  layout->addWidget(ChkUCC);
  layout->addWidget(ChkUPNC);
  layout->addLayout(RightButtonRow({ComOK, ComCancel}));
  Tx[1]->installEventFilter(this);
  connect(ComOK, &QPushButton::clicked, this, [this] { ComOK_Click(); });
  connect(ComCancel, &QPushButton::clicked, this, [this] { ComCancel_Click(); });

  InstallSetupHooks(this, RecordWindow::Kof, ctx_);
  if (ctx_.state.CreatingIniFile) return;
  LoadDialogTexts(ctx_, this, RecordWindow::Kof);
  const KofOptions stored = StoredKofOptions(ctx_, output);
  Tx[3]->setText(Q(stored.road));
  Tx[4]->setText(Q(stored.city));
  Tx[5]->setText(Q(stored.surveyor));
  ChkUPNC->setChecked(stored.usePointNumberConversion);
  ChkUCC->setChecked(stored.useCodeConversion);
  pointFile_ = stored.pointFile;
  Tx[2]->setText(Q(stored.date));
  const bool noSource =
      ctx_.state.SourceIndex == 1 && !sourceCaption.empty() && sourceCaption.front() == '<';
  if (!noSource) Tx[1]->setText(Q(KofProjectText(output)));
}

KofOptions F_KOFStp::Options() const {
  KofOptions o;
  o.project = Tx[1]->text().toStdString();
  o.date = Tx[2]->text().toStdString();
  o.road = Tx[3]->text().toStdString();
  o.city = Tx[4]->text().toStdString();
  o.surveyor = Tx[5]->text().toStdString();
  o.usePointNumberConversion = ChkUPNC->isChecked();
  o.useCodeConversion = ChkUCC->isChecked();
  o.pointFile = pointFile_;
  o.notFoundText = ctx_.Msg(29);
  o.loadTitle = ctx_.Msg(30);
  return o;
}

bool F_KOFStp::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Tx[1] && event->type() == QEvent::FocusOut) Tx_LostFocus(1);
  return QDialog::eventFilter(watched, event);
}

void F_KOFStp::Tx_LostFocus(int index) {
  if (index != 1 || checking_) return;
  const QString text = Tx[1]->text();
  if (text.size() <= 12) return;
  checking_ = true;
  ctx_.prompts.Message(Lb[1]->text().toStdString() + " " + ctx_.Msg(27), ctx_.Msg(28),
                       MessageIcon::Critical);
  Tx[1]->setText(text.left(12));
  Tx[1]->setFocus();
  checking_ = false;
}

void F_KOFStp::ComOK_Click() {
  AppState& s = ctx_.state;
  // A Project typed and confirmed with Enter has not lost its focus yet.
  Tx_LostFocus(1);
  IniFile ini = IniFile::Load(s.IniFilePath);
  SaveDialogTexts(ctx_, this, RecordWindow::Kof, ini);
  ini.Set("KOF Settings", "Road", Tx[3]->text().toStdString());
  ini.Set("KOF Settings", "City", Tx[4]->text().toStdString());
  ini.Set("KOF Settings", "Surveyor", Tx[5]->text().toStdString());
  ini.Set("KOF Settings", "UsePointNumberConversion", ChkUPNC->isChecked() ? "1" : "0");
  ini.Set("KOF Settings", "UseCodeConversion", ChkUCC->isChecked() ? "1" : "0");
  ini.Save(s.IniFilePath);
  confirmed_ = true;
  accept();
}

void F_KOFStp::ComCancel_Click() {
  ctx_.state.SettingsActionWord = "Cancel";
  confirmed_ = false;
  QDialog::reject();
}

void F_KOFStp::reject() { ComCancel_Click(); }

// ---- DxfFormSetting ----

DxfFormSetting::DxfFormSetting(UiContext& ctx, QWidget* owner) : QDialog(owner), ctx_(ctx) {
  setObjectName("DxfFormSetting");
  const IniFile texts = IniFile::Load(ctx.state.IniFilePath);
  const std::string p = "DxfFormSetting_";
  auto* grid = new QGridLayout;
  auto* lbPL = Make<QLabel>(this, p + "LbPL");
  TxPL = Make<QLineEdit>(this, "TxPL");
  lbPL->setBuddy(TxPL);
  grid->addWidget(lbPL, 0, 0);
  grid->addWidget(TxPL, 0, 1, 1, 2);
  for (int r = 0; r < 3; ++r) {
    const std::string n = std::to_string(r);
    const int top = 1 + r * 3;
    Check[r] = Make<QCheckBox>(this, p + "Check" + n);
    auto* lbLN = Make<QLabel>(this, p + "LbLN" + n);
    TxLN[r] = Make<QLineEdit>(this, "TxLN" + n);
    lbLN->setBuddy(TxLN[r]);
    auto* lbTS = Make<QLabel>(this, p + "LbTS" + n);
    TxTS[r] = Make<QLineEdit>(this, "TxTS" + n);
    lbTS->setBuddy(TxTS[r]);
    UpTS[r] = Make<QToolButton>(this, "UpDownUp" + n);
    UpTS[r]->setArrowType(Qt::UpArrow);
    UpTS[r]->setAccessibleName(Q(ProgramText(texts, "LargerTextSize")));
    DownTS[r] = Make<QToolButton>(this, "UpDownDown" + n);
    DownTS[r]->setArrowType(Qt::DownArrow);
    DownTS[r]->setAccessibleName(Q(ProgramText(texts, "SmallerTextSize")));
    auto* lbColr = Make<QLabel>(this, p + "LbColr" + n);
    ComSelColor[r] = Make<QPushButton>(this, p + "ComSelColor" + n);
    lbColr->setBuddy(ComSelColor[r]);
    auto* upDown = new QHBoxLayout;
    upDown->setSpacing(0);
    upDown->addWidget(TxTS[r]);
    upDown->addWidget(UpTS[r]);
    upDown->addWidget(DownTS[r]);
    grid->addWidget(Check[r], top, 0, 1, 3);
    grid->addWidget(lbLN, top + 1, 0);
    grid->addWidget(TxLN[r], top + 1, 1);
    grid->addWidget(lbTS, top + 1, 2);
    grid->addLayout(upDown, top + 1, 3);
    grid->addWidget(lbColr, top + 2, 0);
    grid->addWidget(ComSelColor[r], top + 2, 1);
    connect(Check[r], &QCheckBox::toggled, this, [this, r] { Check_Click(r); });
    connect(UpTS[r], &QToolButton::clicked, this, [this, r] { Step(r, 1); });
    connect(DownTS[r], &QToolButton::clicked, this, [this, r] { Step(r, -1); });
    connect(ComSelColor[r], &QPushButton::clicked, this, [this, r] { ComSelColor_Click(r); });
  }
  Option3D[0] = Make<QRadioButton>(this, p + "Option3D0");
  Option3D[1] = Make<QRadioButton>(this, p + "Option3D1");
  ComOK = Make<QPushButton>(this, p + "ComOK");
  ComCancel = Make<QPushButton>(this, p + "ComCancel");
  ComOK->setDefault(true);
  auto* options = new QHBoxLayout;
  options->addWidget(Option3D[0]);
  options->addWidget(Option3D[1]);
  options->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(options);
  layout->addLayout(RightButtonRow({ComOK, ComCancel}));
  // Choosing an output closes the palette, by mouse, keyboard or a screen reader's Toggle; a
  // click on the chosen one too.
  for (QRadioButton* op : Option3D) {
    connect(op, &QRadioButton::toggled, this, [this] { FrPalette->hide(); });
    connect(op, &QRadioButton::clicked, this, [this] { FrPalette->hide(); });
  }
  connect(ComOK, &QPushButton::clicked, this, [this] { ComOK_Click(); });
  connect(ComCancel, &QPushButton::clicked, this, [this] { ComCancel_Click(); });

  // The palette floats over the dialog, outside the layout.
  FrPalette = Make<QFrame>(this, "FrPalette");
  FrPalette->setFrameShape(QFrame::Box);
  auto* paletteLayout = new QHBoxLayout(FrPalette);
  paletteLayout->setContentsMargins(2, 2, 2, 2);
  paletteLayout->setSpacing(2);
  for (int k = 0; k < 8; ++k) {
    ComCol[k] = Make<QPushButton>(FrPalette, "ComCol" + std::to_string(k));
    ComCol[k]->setFixedSize(22, 22);
    colourNames_[static_cast<size_t>(k)] = Q(ProgramText(texts, kPaletteNames[k]));
    ComCol[k]->setAccessibleName(colourNames_[static_cast<size_t>(k)]);
    SetBackground(ComCol[k], kPalette[k]);
    paletteLayout->addWidget(ComCol[k]);
    connect(ComCol[k], &QPushButton::clicked, this, [this, k] { ComCol_Click(k); });
  }
  colourText_ = Q(ProgramText(texts, "ChosenColour"));
  ComCol[7]->installEventFilter(this);
  FrPalette->adjustSize();
  FrPalette->hide();

  InstallSetupHooks(this, RecordWindow::Dxf, ctx_);
  if (ctx_.state.CreatingIniFile) return;
  LoadDialogTexts(ctx_, this, RecordWindow::Dxf);
  const DxfOptions o = LoadDxfOptions(IniFile::Load(ctx_.state.IniFilePath));
  TxPL->setText(Q(o.pointLayer));
  for (int r = 0; r < 3; ++r) {
    const DxfTextRow& row = o.rows[static_cast<size_t>(r)];
    TxLN[r]->setText(Q(row.layer));
    TxTS[r]->setText(Q(row.size));
    ComSelColor[r]->setProperty("Tag", Q(row.colour));
    ShowTagColour(r);
    Check[r]->setChecked(row.write);
    Check_Click(r);
  }
  Option3D[o.output2D ? 1 : 0]->setChecked(true);
}

void DxfFormSetting::ShowTagColour(int row) {
  const int index = TagIndex(ComSelColor[row]->property("Tag").toString());
  ShowColour(row, index < 0 ? 0 : index);
}

void DxfFormSetting::ShowColour(int row, int index) {
  QPushButton* button = ComSelColor[row];
  SetBackground(button, kPalette[index]);
  // The caption as spoken: without its access key's "&".
  const QString caption =
      button->text().replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
  button->setAccessibleName(colourText_.arg(caption, colourNames_[static_cast<size_t>(index)]));
}

DxfOptions DxfFormSetting::Options() const {
  DxfOptions o;
  o.pointLayer = TxPL->text().toStdString();
  for (size_t r = 0; r < 3; ++r) {
    o.rows[r].write = Check[r]->isChecked();
    o.rows[r].layer = TxLN[r]->text().toStdString();
    o.rows[r].size = TxTS[r]->text().toStdString();
    o.rows[r].colour = ComSelColor[r]->property("Tag").toString().toStdString();
  }
  o.output2D = !Option3D[0]->isChecked();
  return o;
}

void DxfFormSetting::Check_Click(int row) {
  FrPalette->hide();
  const bool on = Check[row]->isChecked();
  const std::string n = std::to_string(row);
  for (const std::string& name :
       {"DxfFormSetting_LbLN" + n, "DxfFormSetting_LbTS" + n, "DxfFormSetting_LbColr" + n}) {
    if (QWidget* w = FindControl(this, name)) w->setEnabled(on);
  }
  for (QWidget* w : std::initializer_list<QWidget*>{TxLN[row], TxTS[row], UpTS[row], DownTS[row],
                                                    ComSelColor[row]}) {
    w->setEnabled(on);
  }
}

void DxfFormSetting::Step(int row, int direction) {
  double v = LeadingNumber(TxTS[row]->text().toStdString()) + direction;
  if (v <= 0 || v > 1000) return;
  TxTS[row]->setText(Q(GeneralNumber(v)));
}

bool DxfFormSetting::PaletteShown() const { return !FrPalette->isHidden(); }

void DxfFormSetting::ComSelColor_Click(int row) {
  if (ctx_.state.SpecialSetupMode) return;
  colourRow_ = row;
  const QPoint below = ComSelColor[row]->mapTo(this, QPoint(0, ComSelColor[row]->height()));
  FrPalette->move(below);
  FrPalette->show();
  FrPalette->raise();
  const int index = TagIndex(ComSelColor[row]->property("Tag").toString());
  if (index >= 0) ComCol[index]->setFocus();
}

void DxfFormSetting::ComCol_Click(int index) {
  QPushButton* target = ComSelColor[colourRow_];
  ShowColour(colourRow_, index);
  target->setProperty("Tag", QStringLiteral(" %1").arg(index));
  target->setFocus();
  FrPalette->hide();
}

bool DxfFormSetting::eventFilter(QObject* watched, QEvent* event) {
  // Tabbing out of the last palette colour comes back to the first.
  if (watched == ComCol[7] && event->type() == QEvent::FocusOut && PaletteShown() &&
      static_cast<QFocusEvent*>(event)->reason() == Qt::TabFocusReason) {
    QTimer::singleShot(0, this, [this] {
      if (PaletteShown()) ComCol[0]->setFocus();
    });
  }
  return QDialog::eventFilter(watched, event);
}

void DxfFormSetting::mousePressEvent(QMouseEvent* event) {
  FrPalette->hide();
  QDialog::mousePressEvent(event);
}

void DxfFormSetting::ComOK_Click() {
  AppState& s = ctx_.state;
  IniFile ini = IniFile::Load(s.IniFilePath);
  if (s.SpecialSetupMode) {
    SaveDialogTexts(ctx_, this, RecordWindow::Dxf, ini);
    ini.Save(s.IniFilePath);
    accept();
    return;
  }
  StoreDxfOptions(ini, Options());
  ini.Save(s.IniFilePath);
  confirmed_ = true;
  accept();
}

void DxfFormSetting::ComCancel_Click() {
  ctx_.state.SettingsActionWord = "Cancel";
  confirmed_ = false;
  QDialog::reject();
}

void DxfFormSetting::keyPressEvent(QKeyEvent* event) {
  // Escape in the open palette closes the palette only, back on its colour button; the
  // dialog and its changes stay.
  if (event->key() == Qt::Key_Escape && PaletteShown()) {
    FrPalette->hide();
    ComSelColor[colourRow_]->setFocus();
    return;
  }
  QDialog::keyPressEvent(event);
}

void DxfFormSetting::reject() { ComCancel_Click(); }

// ---- F_UsDeCo ----

F_UsDeCo::F_UsDeCo(UiContext& ctx, bool upload, QWidget* owner)
    : QDialog(owner), ctx_(ctx), upload_(upload) {
  setObjectName(upload ? "CoordFormUL" : "CoordForm");
  auto* fr1 = Make<QGroupBox>(this, "CoordForm_Fr1");
  auto* grid = new QGridLayout(fr1);
  for (int i = 0; i < 5; ++i) {
    auto* label = Make<QLabel>(fr1, "CoordForm_Lb" + std::to_string(i));
    Combo[i] = Make<QComboBox>(fr1, "Combo" + std::to_string(i));
    label->setBuddy(Combo[i]);
    grid->addWidget(label, i, 0);
    grid->addWidget(Combo[i], i, 1);
  }
  auto* fr2 = Make<QGroupBox>(this, "CoordForm_Fr2");
  auto* line = new QHBoxLayout(fr2);
  Op[0] = Make<QRadioButton>(fr2, "CoordForm_Op0");
  Op[1] = Make<QRadioButton>(fr2, "CoordForm_Op1");
  line->addWidget(Op[0]);
  line->addWidget(Op[1]);
  ComOk = Make<QPushButton>(this, "CoordForm_ComOk");
  ComOk->setDefault(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fr1);
  layout->addWidget(fr2);
  layout->addWidget(ComOk, 0, Qt::AlignHCenter);
  connect(ComOk, &QPushButton::clicked, this, [this] { ComOK_Click(); });

  InstallSetupHooks(this, upload ? RecordWindow::CoordFormUL : RecordWindow::CoordForm, ctx_);
  if (ctx_.state.CreatingIniFile) return;
  LoadDialogTexts(ctx_, this, upload ? RecordWindow::CoordFormUL : RecordWindow::CoordForm);
  const IniFile ini = IniFile::Load(ctx_.state.IniFilePath);
  const CoordFieldOptions o =
      upload ? LoadCoordUpLoadFieldOptions(ini) : LoadCoordFieldOptions(ini);
  for (size_t i = 0; i < 5; ++i) {
    for (const std::string& entry : o.entries) Combo[i]->addItem(Q(entry));
    Combo[i]->setCurrentIndex(o.fields[i]);
  }
  Op[o.separator == FieldSeparator::Space ? 1 : 0]->setChecked(true);
}

void F_UsDeCo::ComOK_Click() {
  AppState& s = ctx_.state;
  IniFile ini = IniFile::Load(s.IniFilePath);
  if (s.SpecialSetupMode) {
    SaveDialogTexts(ctx_, this, upload_ ? RecordWindow::CoordFormUL : RecordWindow::CoordForm, ini);
    ini.Save(s.IniFilePath);
    accept();
    return;
  }
  CoordFieldOptions o;
  for (size_t i = 0; i < 5; ++i) o.fields[i] = std::max(Combo[i]->currentIndex(), 0);
  o.separator = Op[1]->isChecked() ? FieldSeparator::Space : FieldSeparator::Comma;
  if (upload_) {
    StoreCoordUpLoadFieldOptions(ini, o);
  } else {
    StoreCoordFieldOptions(ini, o);
  }
  ini.Save(s.IniFilePath);
  accept();
  if (s.SettingsActionWord == "UpLoadCoord") {
    s.SettingsActionWord = o.separator == FieldSeparator::Space ? "Space" : "Comma";
    if (ctx_.showUploadWindow) ctx_.showUploadWindow();
  }
}

// ---- Showing them ----

std::optional<KofOptions> ShowKofSettings(UiContext& ctx, const std::string& output,
                                          const std::string& sourceCaption) {
  F_KOFStp dialog(ctx, output, sourceCaption, ctx.mainWindow);
  ctx.dialogs.Run(dialog);
  if (!dialog.confirmed()) return {};
  return dialog.Options();
}

void ShowSdrSettings(UiContext& ctx) {
  F_Sdr dialog(ctx, ctx.mainWindow);
  ctx.dialogs.Run(dialog);
}

std::optional<DxfOptions> ShowDxfSettings(UiContext& ctx) {
  DxfFormSetting dialog(ctx, ctx.mainWindow);
  ctx.dialogs.Run(dialog);
  if (!dialog.confirmed()) return {};
  return dialog.Options();
}

void ShowCoordFileSettings(UiContext& ctx) {
  F_UsDeCo dialog(ctx, false, ctx.mainWindow);
  ctx.dialogs.Run(dialog);
}

void ShowCoordUpLoadSettings(UiContext& ctx) {
  F_UsDeCo dialog(ctx, true, ctx.mainWindow);
  ctx.dialogs.Run(dialog);
}

}  // namespace korv
