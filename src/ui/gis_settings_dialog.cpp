// The GIS settings dialog: its widgets, the search of the system database, and OK.
#include "ui/gis_settings_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "core/key_store.h"
#include "core/program_texts.h"
#include "core/settings.h"
#include "core/text.h"
#include "gis/crs.h"
#include "ui/dialog_parts.h"
#include "ui/qt_text.h"

namespace korv {

namespace {

// How many matches of a search are listed.
constexpr size_t kSearchLimit = 200;

// PROJ's database takes about a second to list, too long for the window thread: one worker
// thread reads it once per run. The worker is joined when the application ends (a thread
// pool's threads finish detached, racing the end of the process), and the static's destructor
// joins it when no application ended first.
class CatalogueReader {
 public:
  static CatalogueReader& Instance() {
    static CatalogueReader reader;
    return reader;
  }
  ~CatalogueReader() { Join(); }

  // Runs `then` on the window thread when the catalogue is read (at once when it already is),
  // unless `context` is gone by then.
  void WhenRead(QObject* context, std::function<void()> then) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (read_) {
      lock.unlock();
      then();
      return;
    }
    waiting_.emplace_back(context, std::move(then));
    if (!worker_.joinable()) {
      worker_ = std::thread([this] { Read(); });
      qAddPostRoutine([] { Instance().Join(); });
    }
  }

 private:
  using Waiting = std::vector<std::pair<QPointer<QObject>, std::function<void()>>>;

  void Read() {
    CrsCatalogue();
    Waiting ready;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      read_ = true;
      ready.swap(waiting_);
    }
    QMetaObject::invokeMethod(
        qApp,
        [ready] {
          for (const auto& [context, then] : ready) {
            if (context) then();
          }
        },
        Qt::QueuedConnection);
  }
  void Join() {
    if (worker_.joinable()) worker_.join();
  }

  std::mutex mutex_;
  bool read_ = false;
  Waiting waiting_;
  std::thread worker_;
};

void WhenCatalogueRead(QObject* context, std::function<void()> then) {
  CatalogueReader::Instance().WhenRead(context, std::move(then));
}

// The caption a record of the settings file gives a button, for the buttons the dialog shares
// with the other settings dialogs.
std::string RecordCaption(AppState& state, const IniFile& ini, const std::string& record) {
  const std::string caption = ini.Get(record, "Caption");
  return caption.empty() ? TextsOf(state, record).caption : caption;
}

}  // namespace

GisSettingsDialog::GisSettingsDialog(UiContext& ctx, bool needsCrs, QWidget* owner)
    : QDialog(owner), ctx_(ctx), needsCrs_(needsCrs) {
  setObjectName("GisSettings");
  const IniFile ini = IniFile::Load(ctx.state.IniFilePath);
  const GisSettings stored = LoadGisSettings(ini);
  setWindowTitle(Q(GisText(ini, "Title")));
  needsCrsText_ = GisText(ini, "NeedsCrs");
  needsNameText_ = GisText(ini, "NeedsName");

  auto label = [this, &ini](const char* key, QWidget* buddy) {
    auto* l = new QLabel(Q(GisText(ini, key)), this);
    l->setBuddy(buddy);
    return l;
  };
  CbCrs = new QComboBox(this);
  CbCrs->setObjectName("CbCrs");
  CbCrs->setEditable(true);
  CbCrs->setInsertPolicy(QComboBox::NoInsert);  // a typed system is read from the text
  CbCrs->addItem(Q(GisText(ini, "NoCrs")), QString());
  if (!stored.crs.empty()) CbCrs->addItem(Q(CrsDisplayName(stored.crs)), Q(stored.crs));
  CbCrs->setCurrentIndex(CbCrs->count() - 1);
  auto* lbCrs = label("CrsLabel", CbCrs);
  TxSearch = new QLineEdit(this);
  TxSearch->setObjectName("TxSearch");
  auto* lbSearch = label("CrsSearch", TxSearch);
  // The matches are gone through with the arrow keys in the search field, or in the list,
  // which Tab reaches too: there a screen reader reads each match as it is chosen.
  LstCrs = new QListWidget(this);
  LstCrs->setObjectName("LstCrs");
  LstCrs->setAccessibleName(Q(ProgramText(ini, "CrsMatches")));
  TxSearch->installEventFilter(this);
  LbFault = new QLabel(this);
  LbFault->setObjectName("LbFault");
  LbFault->setWordWrap(true);
  LbFault->setVisible(needsCrs);
  LbFault->setText(Q(needsCrsText_));
  if (needsCrs) CbCrs->setAccessibleDescription(LbFault->text());

  auto* names = new QGridLayout;
  int row = 0;
  for (auto [key, edit, value] :
       {std::tuple{"LayerLabel", &TxLayer, stored.layerName},
        std::tuple{"NameLabel", &TxName, stored.nameField},
        std::tuple{"CodeLabel", &TxCode, stored.codeField},
        std::tuple{"ElevationLabel", &TxElevation, stored.elevationField}}) {
    *edit = new QLineEdit(Q(value), this);
    (*edit)->setObjectName(QLatin1String("Tx") + QLatin1String(key).chopped(5));
    names->addWidget(label(key, *edit), row, 0);
    names->addWidget(*edit, row++, 1);
  }

  ComOK = new QPushButton(Q(RecordCaption(ctx.state, ini, "DxfFormSetting_ComOK")), this);
  ComOK->setObjectName("ComOK");
  ComOK->setDefault(true);
  ComOK->setAutoDefault(true);
  ComCancel = new QPushButton(Q(RecordCaption(ctx.state, ini, "DxfFormSetting_ComCancel")), this);
  ComCancel->setObjectName("ComCancel");
  // The DXF dialog's captions can share a key with this dialog's own labels.
  for (QPushButton* button : {ComOK, ComCancel}) {
    button->setText(YieldAccessKey(button->text(), findChildren<QLabel*>()));
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lbCrs);
  layout->addWidget(CbCrs);
  layout->addWidget(lbSearch);
  layout->addWidget(TxSearch);
  layout->addWidget(LstCrs);
  layout->addWidget(LbFault);
  layout->addLayout(names);
  layout->addLayout(RightButtonRow({ComOK, ComCancel}));

  connect(TxSearch, &QLineEdit::textChanged, this, [this] { Search(); });
  connect(LstCrs, &QListWidget::currentRowChanged, this, [this](int r) { Choose(r); });
  connect(CbCrs, &QComboBox::editTextChanged, LbFault, [this] {
    LbFault->hide();
    CbCrs->setAccessibleDescription(QString());
  });
  connect(ComOK, &QPushButton::clicked, this, [this] { ComOK_Click(); });
  connect(ComCancel, &QPushButton::clicked, this, [this] { reject(); });
  // The worker starts at once so that the database is there by the time a search is typed.
  WhenCatalogueRead(this, [this] { Search(); });
}

bool GisSettingsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == TxSearch && event->type() == QEvent::KeyPress) {
    switch (static_cast<QKeyEvent*>(event)->key()) {
      case Qt::Key_Up:
      case Qt::Key_Down:
      case Qt::Key_PageUp:
      case Qt::Key_PageDown:
        QApplication::sendEvent(LstCrs, event);
        return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void GisSettingsDialog::Search() {
  LstCrs->clear();
  const std::string words = Trim(TxSearch->text().toStdString());
  if (words.empty()) return;
  QPointer<GisSettingsDialog> self(this);
  WhenCatalogueRead(this, [self, words] {
    // Typed on meanwhile: the later search lists its own matches.
    if (Trim(self->TxSearch->text().toStdString()) != words) return;
    const QSignalBlocker quiet(self->LstCrs);
    self->LstCrs->clear();
    for (const CrsEntry* entry : FindCrs(words, kSearchLimit)) {
      auto* item = new QListWidgetItem(Q(entry->name + " (" + entry->code + ")"), self->LstCrs);
      item->setData(Qt::UserRole, Q(entry->code));
    }
  });
}

void GisSettingsDialog::Choose(int row) {
  const QListWidgetItem* item = LstCrs->item(row);
  if (!item) return;
  const int known = CbCrs->findData(item->data(Qt::UserRole));
  if (known >= 0) {
    CbCrs->setCurrentIndex(known);
    return;
  }
  CbCrs->addItem(item->text(), item->data(Qt::UserRole));
  CbCrs->setCurrentIndex(CbCrs->count() - 1);
}

std::string GisSettingsDialog::ChosenCrs() const {
  // An entry of the list stands for its code; anything else is what the user typed.
  const QString text = CbCrs->currentText().trimmed();
  const int entry = CbCrs->findText(text, Qt::MatchExactly);
  if (entry >= 0) return CbCrs->itemData(entry).toString().toStdString();
  return text.toStdString();
}

GisSettings GisSettingsDialog::Settings() const {
  GisSettings s;
  s.crs = ChosenCrs();
  s.layerName = Trim(TxLayer->text().toStdString());
  s.nameField = Trim(TxName->text().toStdString());
  s.codeField = Trim(TxCode->text().toStdString());
  s.elevationField = Trim(TxElevation->text().toStdString());
  return s;
}

void GisSettingsDialog::Refuse(const std::string& text, QWidget* field) {
  LbFault->setText(Q(text));
  LbFault->show();
  // The fault is also the description of the field the focus goes to, which a screen reader
  // speaks with the field's name; the label beside it is never read on its own.
  for (QWidget* w :
       std::initializer_list<QWidget*>{CbCrs, TxLayer, TxName, TxCode, TxElevation, ComOK}) {
    w->setAccessibleDescription(w == field ? LbFault->text() : QString());
  }
  field->setFocus();
}

void GisSettingsDialog::ComOK_Click() {
  const GisSettings s = Settings();
  std::string fault;
  if (!s.crs.empty() && !CheckCrs(s.crs, fault)) return Refuse(fault, CbCrs);
  if (needsCrs_ && s.crs.empty()) return Refuse(needsCrsText_, CbCrs);
  for (QLineEdit* name : {TxLayer, TxName, TxCode, TxElevation}) {
    if (Trim(name->text().toStdString()).empty()) return Refuse(needsNameText_, name);
  }
  IniFile ini = IniFile::Load(ctx_.state.IniFilePath);
  StoreGisSettings(ini, s);
  if (!ini.Save(ctx_.state.IniFilePath)) {
    return Refuse(Q(ProgramText(ini, "GisNotWritten")).arg(Q(ctx_.state.IniFilePath)).toStdString(),
                  ComOK);
  }
  confirmed_ = true;
  accept();
}

std::optional<GisSettings> ShowGisSettings(UiContext& ctx, bool needsCrs) {
  GisSettingsDialog dialog(ctx, needsCrs, ctx.mainWindow);
  ctx.dialogs.Run(dialog);
  if (!dialog.confirmed()) return std::nullopt;
  return dialog.Settings();
}

}  // namespace korv
