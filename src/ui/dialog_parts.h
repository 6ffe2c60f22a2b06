// Small building blocks that several windows and dialogs share: rows of dialog buttons and the
// link settings rows of the download and upload windows.
#pragma once

#include <QList>
#include <QString>
#include <array>
#include <initializer_list>
#include <string>

#include "core/app_state.h"

class QAbstractButton;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace korv {

// A row of dialog buttons in the order given, pushed to the right edge.
QHBoxLayout* RightButtonRow(std::initializer_list<QWidget*> buttons);
// A row of dialog buttons in the order given, centred.
QHBoxLayout* CentredButtonRow(std::initializer_list<QWidget*> buttons);

// `caption` without its access key when one of `labels` has the same key already: a dialog's
// OK or Cancel still answers Enter or Escape, and the label keeps leading to its field. The
// settings file keeps the caption as it is.
QString YieldAccessKey(const QString& caption, const QList<QLabel*>& labels);

// Checks an option or check box as the program's own doing: handlers that follow the user's
// choices through `toggled` do not run.
void CheckQuietly(QAbstractButton* button);

// The selected entry of `list`, or "" when nothing valid is selected.
std::string SelectedText(const ListModel& list);

// Name label (index 0) and value label (index 1) of the five link settings rows: baud rate,
// data bits, parity, stop bit, flow control.
using LinkSettingRows = std::array<std::array<QLabel*, 2>, 5>;

// Makes the labels of the rows inside `frame`. Name labels are called `prefix` + "LbBaundRate"
// and so on; each value label has its name label's name with "1" added.
LinkSettingRows MakeLinkSettingRows(QGroupBox* frame, const QString& prefix);
// Fits the labels of the rows to their texts, puts them at their places in `frame` (names at
// 144, values at 1752 twips, 336 twips apart; further right and apart when the texts need it)
// and gives the frame room for them.
void PlaceLinkSettingRows(QGroupBox* frame, const LinkSettingRows& rows);
// The same in the frame the rows are in, after their texts changed.
void FitLinkSettingRows(const LinkSettingRows& rows);
// The fixed parity of the link, as the settings file says "none".
QString NoParityText(const AppState& state);
// Shows the settings tab's port values (parity and stop bit are fixed) and fits the value
// labels to them.
void FillLinkSettingValues(const LinkSettingRows& rows, const AppState& state);

}  // namespace korv
