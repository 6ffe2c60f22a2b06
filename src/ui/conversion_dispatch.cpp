// Conversion dispatch through the list entries and the registry, storing as received, and the
// ".vxl" copy.
#include "ui/conversion_dispatch.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <cstdio>
#include <memory>
#include <thread>

#include "conversions/list_positions.h"
#include "core/convert_files.h"
#include "core/file_procs.h"
#include "core/key_store.h"
#include "core/program_texts.h"
#include "core/text.h"
#include "ui/format_dialogs.h"
#include "ui/gis_settings_dialog.h"
#include "ui/qt_text.h"
#include "ui/small_dialogs.h"

namespace korv {

namespace {

QString DispatchText(const UiContext& ctx, const char* key) {
  return Q(ProgramText(IniFile::Load(ctx.state.IniFilePath), key));
}

void ShowFault(UiContext& ctx, const std::string& text) {
  ctx.prompts.Message(text, ctx.Msg(11), MessageIcon::Critical);
}

// Sets the answer word from a conversion's outcome and tells the user: the fault, or what a
// finished conversion had to write otherwise than it read.
void Report(UiContext& ctx, const ConvertResult& result) {
  if (!result.ok()) {
    ctx.state.SettingsActionWord = "E";
    ctx.prompts.Beep();
    ShowFault(ctx, result.fault);
    return;
  }
  ctx.state.SettingsActionWord = "OK";
  if (!result.notes.empty()) {
    ctx.prompts.Message(result.notes.Text(), ctx.Msg(46), MessageIcon::Exclamation);
  }
}

// Shows the progress window with "Converting <file>" and "Please Wait" and lets it paint.
std::unique_ptr<F_MsgCon> ShowProgress(UiContext& ctx, const DispatchRequest& request) {
  auto window = std::make_unique<F_MsgCon>(ctx, request.owner);
  window->setWindowTitle(QString::fromStdString(ctx.Msg(44)));
  window->Lb1->setText(QString::fromStdString(ctx.Msg(44) + " " + request.sourceCaption));
  window->Lb2->setText(QString::fromStdString(ctx.Msg(45)));
  window->ComOK->setVisible(false);
  window->show();
  QApplication::processEvents();
  return window;
}

// Shows the conversion's settings dialog; true after OK, with the dialog's settings in
// `options` (the dialog has stored them too).
bool AskSettings(UiContext& ctx, const Conversion& conversion, const DispatchRequest& request,
                 RunOptions& options) {
  if (conversion.dialog == SettingsDialog::Kof) {
    std::optional<KofOptions> kof = ShowKofSettings(ctx, request.output, request.sourceCaption);
    if (kof) options.kof = *kof;
    return kof.has_value();
  }
  if (conversion.dialog == SettingsDialog::Dxf) {
    std::optional<DxfOptions> dxf = ShowDxfSettings(ctx);
    if (dxf) options.dxf = *dxf;
    return dxf.has_value();
  }
  // The exchange asks only for what it cannot do without: a system for the survey's grid.
  if (conversion.dialog == SettingsDialog::Gis && options.gis.crs.empty()) {
    std::optional<GisSettings> gis = ShowGisSettings(ctx, true);
    if (gis) options.gis = *gis;
    return gis.has_value();
  }
  return true;
}

// Runs the conversion of `entry` on `input` into the request's output, its settings dialog
// first as the entry says. nullopt when the dialog's Cancel stopped it.
std::optional<ConvertResult> RunEntry(UiContext& ctx, const ListEntry& entry,
                                      const std::string& input, const DispatchRequest& request,
                                      bool withProgress) {
  RunOptions options = WindowRunOptions(ctx, request.output);
  if (entry.ask != AskFirst::Never && !AskSettings(ctx, *entry.conversion, request, options) &&
      entry.ask == AskFirst::CancelStops) {
    return std::nullopt;
  }
  std::unique_ptr<F_MsgCon> progress;
  if (withProgress) progress = ShowProgress(ctx, request);
  // A large file, or a GIS format, takes seconds: the conversion runs on a worker thread while
  // the windows go on painting. User input waits until it has ended, so nothing else starts
  // meanwhile; what the conversion reports is shown once it has ended.
  HeldReports held;
  ConvertResult result;
  QEventLoop loop;
  std::thread worker([&] {
    RunServices services{ctx.pointTable, held};
    result = RunConversion(*entry.conversion, input, request.output, options, services);
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  held.ShowOn(ctx.reporter);
  return result;
}

// The entry of the list position chosen for the data kind and source.
ListEntry ChosenEntry(AppState& s, bool fromFile) {
  return EntryAt(s.SourceKind, fromFile, TargetPositionOf(s, fromFile, TargetIndexOf(s, fromFile)));
}

}  // namespace

int& TargetIndexOf(AppState& s, bool fromFile) {
  const bool coord = s.SourceKind == 1;
  if (fromFile) return coord ? s.CoordFileTargetIndex : s.RawFileTargetIndex;
  return coord ? s.CoordTargetIndex : s.RawTargetIndex;
}

int TargetPositionOf(const AppState& s, bool fromFile, int index) {
  const bool coord = s.SourceKind == 1;
  const int stored = fromFile ? (coord ? s.CoordFileOptionCount : s.RawFileOptionCount)
                              : (coord ? s.CoordOptionCount : s.RawOptionCount);
  return PositionOf(s.SourceKind, index, stored);
}

RunOptions WindowRunOptions(UiContext& ctx, const std::string& output) {
  const AppState& s = ctx.state;
  RunOptions options =
      OptionsFromSettings(IniFile::Load(s.IniFilePath), s.ProgramFolder, output, ctx.now());
  options.kof.notFoundText = ctx.Msg(29);
  options.kof.loadTitle = ctx.Msg(30);
  options.coordOrder = s.CoordOrderIndex == CoordOrder::kENZ ? CoordOrder::kENZ : CoordOrder::kNEZ;
  options.mode = s.FileWriteMode == 2 ? WriteMode::Overwrite : WriteMode::Append;
  return options;
}

KofOptions StoredKofOptions(UiContext& ctx, const std::string& output) {
  return WindowRunOptions(ctx, output).kof;
}

void StoreAsReceived(UiContext& ctx, const std::string& scratch, const std::string& output) {
  AppState& s = ctx.state;
  if (s.FileWriteMode != 1 && s.FileWriteMode != 2) return;
  const ConvertResult result = s.FileWriteMode == 1
                                   ? CopyLines(scratch, output, WriteMode::Append)
                                   : CopyFile(scratch, output, WriteMode::Overwrite);
  if (!result.ok()) {
    ShowFault(ctx, result.fault);
    return;
  }
  // The received data now lives in the output; the scratch file is not needed any more.
  if (s.FileWriteMode == 2) std::remove(scratch.c_str());
  s.SettingsActionWord = "OK";
}

namespace {

// `output` without a three-letter extension: what the copies as received are named after.
std::string CopyBase(const std::string& output) {
  return output.size() >= 4 && output[output.size() - 4] == '.'
             ? output.substr(0, output.size() - 4)
             : output;
}

}  // namespace

std::string SaveOriginalCopy(const std::string& source, const std::string& output,
                             std::string* fault) {
  if (source.empty() || output.empty()) return {};
  const std::string base = CopyBase(output);
  std::string candidate = base + ".vxl";
  for (int k = 1; k <= 20; ++k) {
    if (!FileExists(candidate)) {
      const ConvertResult result = CopyLines(source, candidate, WriteMode::Overwrite);
      if (result.ok()) return candidate;
      if (fault) *fault = result.fault;
      return {};
    }
    candidate = base + std::to_string(k) + ".vxl";
  }
  return {};
}

namespace {

// Saves the received data at `scratch` beside `output` in its original format and returns
// the copy's name; when it cannot be, says so with the program text `faultKey` (the output,
// the reason, the scratch file that holds the data until the next transfer or Exit).
std::string SaveCopyOrSay(UiContext& ctx, const std::string& scratch, const std::string& output,
                          const char* faultKey) {
  std::string fault;
  const std::string kept = SaveOriginalCopy(scratch, output, &fault);
  if (!kept.empty()) return kept;
  if (fault.empty()) {
    const std::string base = CopyBase(output);
    fault = DispatchText(ctx, "NamesTaken").arg(Q(base + ".vxl"), Q(base + "19.vxl")).toStdString();
  }
  ctx.prompts.Message(
      DispatchText(ctx, faultKey).arg(Q(output), Q(fault), Q(scratch)).toStdString(), ctx.Msg(11),
      MessageIcon::Critical);
  return {};
}

// Received data that was not converted stays the user's: stored as received beside the
// output, with the raw extension, instead of only in the scratch file that Exit deletes.
void KeepReceivedData(UiContext& ctx, const std::string& scratch, const std::string& output) {
  const std::string kept = SaveCopyOrSay(ctx, scratch, output, "NotKept");
  if (kept.empty()) return;
  ctx.prompts.Message(DispatchText(ctx, "NotConverted").arg(Q(kept)).toStdString(), ctx.Msg(6),
                      MessageIcon::Exclamation);
}

}  // namespace

void ConvertAfterDownload(UiContext& ctx, const DispatchRequest& request) {
  AppState& s = ctx.state;
  // A fresh answer for this run: an earlier "OK" must not pass for this one.
  s.SettingsActionWord.clear();
  const std::string& output = request.output;
  if (output.empty()) return;
  const std::string input = s.ScratchFilePath;
  const ListEntry entry = ChosenEntry(s, false);
  if (entry.action == ListAction::StoreAsReceived) {
    StoreAsReceived(ctx, input, output);
    // The output could not be written (a stick pulled out, a file made read-only): the data
    // is kept as a failed conversion's is, and the user is told where.
    if (s.SettingsActionWord != "OK" && (s.FileWriteMode == 1 || s.FileWriteMode == 2)) {
      KeepReceivedData(ctx, input, output);
    }
    return;
  }
  if (entry.action == ListAction::Nothing) {
    KeepReceivedData(ctx, input, output);
    return;
  }
  const std::optional<ConvertResult> result = RunEntry(ctx, entry, input, request, false);
  if (result) Report(ctx, *result);
  if (!result || !result->ok()) {
    // Cancelled, or the converter failed and said why: the data it did not convert is kept.
    KeepReceivedData(ctx, input, output);
    return;
  }
  if (request.keepOriginal) SaveCopyOrSay(ctx, input, output, "CopyNotKept");
}

void ConvertFromDisk(UiContext& ctx, const DispatchRequest& request) {
  AppState& s = ctx.state;
  s.SettingsActionWord.clear();
  const std::string& output = request.output;
  if (output.empty() || StartsWith(request.sourceCaption, "<")) return;
  const ListEntry entry = ChosenEntry(s, true);
  if (entry.action != ListAction::Convert) {
    ctx.prompts.Message(DispatchText(ctx, "NoConversion").arg(Q(request.formatText)).toStdString(),
                        ctx.Msg(6), MessageIcon::Exclamation);
    return;
  }
  const std::optional<ConvertResult> result =
      RunEntry(ctx, entry, s.JobPath + request.sourceCaption, request, true);
  if (!result) return;  // the settings dialog was cancelled
  Report(ctx, *result);
  if (!result->ok()) return;
  F_MsgCon finished(ctx, request.owner);
  finished.setWindowTitle(QString::fromStdString(ctx.Msg(46)));
  finished.Lb1->setText(QString::fromStdString(ctx.Msg(47)));
  finished.Lb2->setVisible(false);
  finished.ComOK->setVisible(true);
  ctx.dialogs.Run(finished);
  QApplication::processEvents();
}

}  // namespace korv
