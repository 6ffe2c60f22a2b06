// Every window and dialog of the program, shown one after the other, for the tests that look
// at all of them (texts that fit, spoken names, access keys, the palette).
#pragma once

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/control_binder.h"
#include "ui/download_window.h"
#include "ui/f_dattr.h"
#include "ui/format_dialogs.h"
#include "ui/gis_settings_dialog.h"
#include "ui/help_window.h"
#include "ui/language_dialog.h"
#include "ui/new_file_dialog.h"
#include "ui/recent_downloads_dialog.h"
#include "ui/setup_editor.h"
#include "ui/small_dialogs.h"
#include "ui/survey_window.h"
#include "ui/upload_window.h"

namespace korv {

inline std::string Describe(const QWidget* w) {
  const QString text = QString::fromStdString(CaptionOf(w));
  return (w->window()->objectName() + "/" + w->objectName() + " \"" + text + "\" " +
          w->metaObject()->className())
      .toStdString();
}

// Every window and dialog of the program, each shown, one after the other.
inline void ForEachWindow(UiContext& ctx, F_DatTr& main,
                          const std::function<void(QWidget&)>& check) {
  std::vector<std::function<QWidget*()>> makers = {
      [&] { return new F_KOFStp(ctx, "a.kof", ""); },
      [&] { return new DxfFormSetting(ctx); },
      [&] { return new GisSettingsDialog(ctx, true); },
      [&] { return new F_UsDeCo(ctx, false); },
      [&] { return new F_UsDeCo(ctx, true); },
      [&] { return new F_Sdr(ctx); },
      [&] { return new F_DL(ctx, &main); },
      [&] { return new F_SdrDL(ctx, true, true, &main); },
      [&] { return new F_UL(ctx, nullptr, "", &main); },
      [&] { return new F_Help(ctx, &main); },
      [&] { return new F_Msg(ctx, &main); },
      [&] { return new F_MsgCon(ctx, &main); },
      [&] { return new F_EdSdF(ctx, "new.txt", false, &main); },
      [&] { return new F_stp(ctx, main.ComDLN, &main); },
      [&] { return new RecentDownloadsDialog(ctx, &main); },
      [&] { return new LanguageDialog(ctx, &main); },
      [&] { return new SurveyWindow(ctx, Survey{}, "0 points", {}, &main); },
  };
  main.show();
  // The main window on each tab, with each source (the transfer buttons differ).
  for (int source : {0, 1}) {
    main.OpSourse[source]->click();
    for (int tab = 0; tab < 3; ++tab) {
      main.MainTab->setCurrentIndex(tab);
      QApplication::processEvents();
      check(main);
    }
  }
  main.MainTab->setCurrentIndex(0);
  for (const auto& make : makers) {
    std::unique_ptr<QWidget> w(make());
    w->show();
    QApplication::processEvents();
    check(*w);
    w->hide();
  }
}

// The widgets of `root`'s own window (not of pop-ups it owns).
inline std::vector<QWidget*> WidgetsOf(QWidget& root) {
  std::vector<QWidget*> out;
  for (QWidget* w : root.findChildren<QWidget*>()) {
    if (w->window() == &root) out.push_back(w);
  }
  return out;
}

}  // namespace korv
