// Conversion dispatch by list position, storing as received, and the ".vxl" copy.
#include "ui/conversion_dispatch.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <cstdio>
#include <memory>

#include "coords/coord_file_writer.h"
#include "coords/dxf_writer.h"
#include "core/convert_files.h"
#include "core/coord_field_options.h"
#include "core/file_procs.h"
#include "core/key_store.h"
#include "core/text.h"
#include "formats/kof_writer.h"
#include "formats/mapa_writer.h"
#include "formats/sdr_writer.h"
#include "ui/format_dialogs.h"
#include "ui/small_dialogs.h"

namespace korv {

namespace {

// Append when the question said so, else replace (the KOF, MAPA 2 and SDR writers).
WriteMode ConverterMode(const AppState& s) {
  return s.FileWriteMode == 1 ? WriteMode::Append : WriteMode::Overwrite;
}

// Tells what a finished conversion had to write otherwise than it read.
void ShowNotes(UiContext& ctx, const ConvertResult& result) {
  if (result.ok && !result.notes.empty()) {
    ctx.prompts.Message(result.notes.Text(), ctx.Msg(46), MessageIcon::Exclamation);
  }
}

// Maps a converter's result: "OK" when it finished, else the fault shown and "E".
void Finish(UiContext& ctx, const ConvertResult& result) {
  if (result.ok) {
    ctx.state.SettingsActionWord = "OK";
    ShowNotes(ctx, result);
    return;
  }
  ctx.state.SettingsActionWord = "E";
  ctx.prompts.Beep();
  ctx.prompts.Message(result.fault, ctx.Msg(11), MessageIcon::Critical);
}

void ShowFault(UiContext& ctx, const std::string& text) {
  ctx.prompts.Message(text, ctx.Msg(11), MessageIcon::Critical);
}

SdrRun MakeSdrRun(UiContext& ctx) {
  SdrRun run;
  run.options = ReadSdrOptions(IniFile::Load(ctx.state.IniFilePath));
  run.now = ctx.now();
  run.coordOrderIndex = ctx.state.CoordOrderIndex;
  return run;
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

}  // namespace

KofOptions StoredKofOptions(UiContext& ctx, const std::string& output) {
  KofOptions options = ReadKofOptions(IniFile::Load(ctx.state.IniFilePath), ctx.state.ProgramFolder,
                                      output, ctx.now());
  options.notFoundText = ctx.Msg(29);
  options.loadTitle = ctx.Msg(30);
  return options;
}

void RunRawToKOF(UiContext& ctx, const std::string& input, const std::string& output,
                 const KofOptions& options) {
  Finish(ctx, RawToKOF(input, output, ConverterMode(ctx.state), options, ctx.state.CoordOrderIndex,
                       ctx.pointTable, ctx.reporter));
}

void RunCoorToKOF(UiContext& ctx, const std::string& input, const std::string& output,
                  const KofOptions& options) {
  Finish(ctx, CoorToKOF(input, output, ConverterMode(ctx.state), options, ctx.state.CoordOrderIndex,
                        ctx.pointTable, ctx.reporter));
}

void RunRawToMAPA(UiContext& ctx, const std::string& input, const std::string& output) {
  Finish(ctx, RawToMAPA(input, output, ConverterMode(ctx.state), ctx.now()));
}

void RunRawToSDR(UiContext& ctx, const std::string& input, const std::string& output) {
  // This writer leaves the answer word as it was when it finishes.
  const ConvertResult result = RawToSDR(input, output, ConverterMode(ctx.state), MakeSdrRun(ctx));
  if (!result.ok) {
    ctx.prompts.Beep();
    ShowFault(ctx, result.fault);
  }
  ShowNotes(ctx, result);
}

void RunCoorToSDR(UiContext& ctx, const std::string& input, const std::string& output) {
  Finish(ctx, CoorToSDR(input, output, ConverterMode(ctx.state), MakeSdrRun(ctx)));
}

void RunCoorToDXF(UiContext& ctx, const std::string& input, const std::string& output,
                  const DxfOptions& options) {
  Finish(ctx, CoorToDXF(input, output, options, ctx.state.CoordOrderIndex));
}

void RunCoorToCoordinates(UiContext& ctx, const std::string& input, const std::string& output) {
  const CoordFieldOptions fields = LoadCoordFieldOptions(IniFile::Load(ctx.state.IniFilePath));
  // This writer replaces its output only for the answer "overwrite".
  const WriteMode mode = ctx.state.FileWriteMode == 2 ? WriteMode::Overwrite : WriteMode::Append;
  Finish(ctx, CoorToCoordinates(input, output, mode, fields, fields.separator,
                                ctx.state.CoordOrderIndex));
}

void StoreAsReceived(UiContext& ctx, const std::string& scratch, const std::string& output) {
  AppState& s = ctx.state;
  if (s.FileWriteMode != 1 && s.FileWriteMode != 2) return;
  const ConvertResult result = s.FileWriteMode == 1
                                   ? CopyLines(scratch, output, WriteMode::Append)
                                   : CopyFile(scratch, output, WriteMode::Overwrite);
  if (!result.ok) {
    ShowFault(ctx, result.fault);
    return;
  }
  // The received data now lives in the output; the scratch file is not needed any more.
  if (s.FileWriteMode == 2) std::remove(scratch.c_str());
  s.SettingsActionWord = "OK";
}

std::string SaveOriginalCopy(const std::string& source, const std::string& output,
                             std::string* fault) {
  if (source.empty() || output.empty()) return {};
  const std::string base = output.size() >= 4 && output[output.size() - 4] == '.'
                               ? output.substr(0, output.size() - 4)
                               : output;
  std::string candidate = base + ".vxl";
  for (int k = 1; k <= 20; ++k) {
    if (!FileExists(candidate)) {
      const ConvertResult result = CopyLines(source, candidate, WriteMode::Overwrite);
      if (result.ok) return candidate;
      if (fault) *fault = result.fault;
      return {};
    }
    candidate = base + std::to_string(k) + ".vxl";
  }
  if (fault) *fault = "every name from " + base + ".vxl to " + base + "19.vxl is taken";
  return {};
}

namespace {

// Received data that was not converted stays the user's: stored as received beside the
// output, with the raw extension, instead of only in the scratch file that Exit deletes.
void KeepReceivedData(UiContext& ctx, const std::string& scratch, const std::string& output) {
  std::string fault;
  const std::string kept = SaveOriginalCopy(scratch, output, &fault);
  if (!kept.empty()) {
    ctx.prompts.Message(
        "The received data was not converted. It is saved as received in " + kept + ".", ctx.Msg(6),
        MessageIcon::Exclamation);
    return;
  }
  ctx.prompts.Message("The received data was not converted and could not be saved beside " +
                          output + " (" + fault + "). It is in " + scratch +
                          " until the next transfer or Exit.",
                      ctx.Msg(11), MessageIcon::Critical);
}

}  // namespace

void ConvertAfterDownload(UiContext& ctx, const DispatchRequest& request) {
  AppState& s = ctx.state;
  // A fresh answer for this run: an earlier "OK" must not pass for this one.
  s.SettingsActionWord.clear();
  const std::string& output = request.output;
  if (output.empty()) return;
  const std::string input = s.ScratchFilePath;
  if (s.SourceKind == 0) {
    switch (s.RawTargetIndex) {
      case 0:
      case 3:
      case 4:
        StoreAsReceived(ctx, input, output);
        return;
      case 1:
        s.SettingsActionWord = "ConvertToKOF";
        ShowKofSettings(ctx, output, request.sourceCaption);
        if (s.SettingsActionWord == "Cancel") {
          KeepReceivedData(ctx, input, output);
          return;
        }
        break;
      case 2:
        RunRawToMAPA(ctx, input, output);
        break;
      case 13:
      case 14:
        RunRawToSDR(ctx, input, output);
        return;
      default:
        return;
    }
  } else if (s.SourceKind == 1) {
    switch (s.CoordTargetIndex) {
      case 0:
        RunCoorToCoordinates(ctx, input, output);
        break;
      case 1:
        RunCoorToDXF(ctx, input, output, LoadDxfOptions(IniFile::Load(s.IniFilePath)));
        break;
      case 2: {
        // Whichever button closes the dialog, the conversion runs: with the dialog's texts
        // after OK, with the stored ones otherwise.
        std::optional<KofOptions> options = ShowKofSettings(ctx, output, request.sourceCaption);
        RunCoorToKOF(ctx, input, output, options ? *options : StoredKofOptions(ctx, output));
        break;
      }
      case 3:
      case 4:
        StoreAsReceived(ctx, input, output);
        return;
      case 5:
        RunCoorToSDR(ctx, input, output);
        break;
      default:
        break;
    }
  } else {
    StoreAsReceived(ctx, input, output);
    return;
  }
  if (s.SettingsActionWord == "E") {
    // The converter failed and said why; the data it could not convert is kept.
    KeepReceivedData(ctx, input, output);
    return;
  }
  if (request.keepOriginal) SaveOriginalCopy(input, output);
}

void ConvertFromDisk(UiContext& ctx, const DispatchRequest& request) {
  AppState& s = ctx.state;
  s.SettingsActionWord.clear();
  const std::string& output = request.output;
  if (output.empty() || StartsWith(request.sourceCaption, "<")) return;
  const std::string input = s.JobPath + request.sourceCaption;
  std::unique_ptr<F_MsgCon> progress;
  if (s.SourceKind == 0) {
    if (s.RawFileTargetIndex == 0) {
      s.SettingsActionWord = "ConvertToKOF";
      std::optional<KofOptions> options = ShowKofSettings(ctx, output, request.sourceCaption);
      if (!options || s.SettingsActionWord == "Cancel") return;
      progress = ShowProgress(ctx, request);
      RunRawToKOF(ctx, input, output, *options);
    } else if (s.RawFileTargetIndex == 1) {
      progress = ShowProgress(ctx, request);
      RunRawToMAPA(ctx, input, output);
    }
  } else if (s.SourceKind == 1) {
    if (s.CoordFileTargetIndex == 0) {
      s.SettingsActionWord = "CoorToDXF";
      std::optional<DxfOptions> options = ShowDxfSettings(ctx, output);
      if (!options || s.SettingsActionWord == "Cancel") return;
      progress = ShowProgress(ctx, request);
      RunCoorToDXF(ctx, input, output, *options);
    } else if (s.CoordFileTargetIndex == 1) {
      s.SettingsActionWord = "ConvertToKOF";
      std::optional<KofOptions> options = ShowKofSettings(ctx, output, request.sourceCaption);
      if (!options || s.SettingsActionWord == "Cancel") return;
      progress = ShowProgress(ctx, request);
      RunCoorToKOF(ctx, input, output, *options);
    }
  }
  progress.reset();
  if (s.SettingsActionWord != "OK") {
    // A converter's fault has been shown; only a position without a converter is left.
    if (s.SettingsActionWord != "E") {
      ctx.prompts.Message(
          "Nothing was converted: \"" + request.formatText + "\" has no conversion for this data.",
          ctx.Msg(6), MessageIcon::Exclamation);
    }
    return;
  }
  F_MsgCon finished(ctx, request.owner);
  finished.setWindowTitle(QString::fromStdString(ctx.Msg(46)));
  finished.Lb1->setText(QString::fromStdString(ctx.Msg(47)));
  finished.Lb2->setVisible(false);
  finished.ComOK->setVisible(true);
  ctx.dialogs.Run(finished);
  QApplication::processEvents();
}

}  // namespace korv
