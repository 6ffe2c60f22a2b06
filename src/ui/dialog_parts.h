// Small building blocks that several windows and dialogs share: rows of dialog buttons and the
// link settings rows of the download and upload windows.
#pragma once

#include <QString>
#include <array>
#include <initializer_list>
#include <string>

#include "core/app_state.h"

class QGroupBox;
class QHBoxLayout;
class QLabel;
class QWidget;

namespace korv {

// A row of dialog buttons in the order given, pushed to the right edge.
QHBoxLayout* RightButtonRow(std::initializer_list<QWidget*> buttons);
// A row of dialog buttons in the order given, centred.
QHBoxLayout* CentredButtonRow(std::initializer_list<QWidget*> buttons);

// The selected entry of `list`, or "" when nothing valid is selected.
std::string SelectedText(const ListModel& list);

// Name label (index 0) and value label (index 1) of the five link settings rows: baud rate,
// data bits, parity, stop bit, flow control.
using LinkSettingRows = std::array<std::array<QLabel*, 2>, 5>;

// Makes the labels of the rows inside `frame`. Name labels are called `prefix` + "LbBaundRate"
// and so on; each value label has its name label's name with "1" added.
LinkSettingRows MakeLinkSettingRows(QGroupBox* frame, const QString& prefix);
// Puts the rows at their fixed places in `frame` (names at 144, values at 1752 twips, 336 twips
// apart), fits them to their texts and gives the frame room for them.
void PlaceLinkSettingRows(QGroupBox* frame, const LinkSettingRows& rows);
// Fits every label of the rows to its text.
void FitLinkSettingRows(const LinkSettingRows& rows);
// Shows the settings tab's port values (parity and stop bit are fixed) and fits the value
// labels to them.
void FillLinkSettingValues(const LinkSettingRows& rows, const MainWindowModel& model);

}  // namespace korv
