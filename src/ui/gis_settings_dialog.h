// The GIS settings dialog: the coordinate reference system of the survey's grid, chosen from
// a search of PROJ's database or typed as a code, WKT or PROJ string, and the layer and
// attribute names the exchange writes. OK checks the system and stores the choices in the
// settings file's "[GIS Settings]"; every text comes from that section.
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "core/gis_settings.h"
#include "ui/ui_context.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace korv {

class GisSettingsDialog : public QDialog {
  Q_OBJECT
 public:
  // `needsCrs`: shown before a conversion that cannot do without a system; the dialog says so
  // and OK wants one.
  GisSettingsDialog(UiContext& ctx, bool needsCrs, QWidget* owner = nullptr);
  // The choices as the dialog holds them (the system as chosen or typed, unchecked).
  GisSettings Settings() const;
  void ComOK_Click();
  bool confirmed() const { return confirmed_; }

  QComboBox* CbCrs;     // the system: "None (local grid)", the stored one, those chosen
  QLineEdit* TxSearch;  // words of a code or name
  QListWidget* LstCrs;  // the matches, "name (code)"
  QLabel* LbFault;      // why OK was refused
  QLineEdit* TxLayer;
  QLineEdit* TxName;
  QLineEdit* TxCode;
  QLineEdit* TxElevation;
  QPushButton* ComOK;
  QPushButton* ComCancel;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Search();
  void Choose(int row);
  std::string ChosenCrs() const;
  void Refuse(const std::string& text, QWidget* field);

  UiContext& ctx_;
  bool needsCrs_;
  std::string needsCrsText_;
  std::string needsNameText_;
  bool confirmed_ = false;
};

// Shows the dialog modally through ctx.dialogs: the choices stored after OK, nothing after
// Cancel.
std::optional<GisSettings> ShowGisSettings(UiContext& ctx, bool needsCrs);

}  // namespace korv
