// Opening, checking and closing the files of one conversion.
#include "core/convert_files.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string_view>

#include "core/input_file.h"
#include "core/line_reader.h"
#include "core/output_file.h"
#include "core/text.h"

namespace korv {

namespace {

// " (line 4)", " (lines 4, 9, ...)".
std::string LinesPart(const std::vector<size_t>& lines, size_t count) {
  std::string text = lines.size() == 1 ? " (line " : " (lines ";
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += ", ";
    text += std::to_string(lines[i]);
  }
  if (count > lines.size()) text += ", ...";
  return text + ")";
}

// The encoding of the text a file holds already, when it holds other than ASCII; nullopt for
// a file that is missing, empty, plain ASCII, unreadable or no regular file.
std::optional<TextEncoding> ExistingTextEncoding(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return TextEncodingOf(file);
}

// The whole of `in` (not plain ASCII) in `to`, the other encoding than its own, without a
// byte-order mark; `lost` counts the characters Windows-1252 has no place for.
std::string Transcoded(std::istream& in, TextEncoding to, size_t& lost) {
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (to == TextEncoding::Utf8) return Windows1252ToUtf8(text);
  std::string_view utf8 = text;
  if (StartsWith(utf8, "\xEF\xBB\xBF")) utf8.remove_prefix(3);
  return Utf8ToWindows1252(utf8, &lost);
}

}  // namespace

std::string ConvertNotes::Text() const {
  std::string text;
  if (outOfRange > 0) {
    text = std::to_string(outOfRange) + (outOfRange == 1 ? " number was" : " numbers were") +
           " too large for the output format and written as 0" +
           LinesPart(outOfRangeLines, outOfRange) + ".";
  }
  if (unrepresentable > 0) {
    if (!text.empty()) text += "\n";
    text += std::to_string(unrepresentable) +
            (unrepresentable == 1 ? " character" : " characters") +
            " of the settings texts or the file name could not be written in the output's"
            " encoding and became \"?\".";
  }
  if (leftOut > 0) {
    if (!text.empty()) text += "\n";
    text += std::to_string(leftOut) + (leftOut == 1 ? " line was" : " lines were") +
            " left out" + LinesPart(leftOutLines, leftOut) + ": " + leftOutReason + ".";
  }
  for (const std::string& remark : remarks) {
    if (!text.empty()) text += "\n";
    text += remark;
  }
  return text;
}

ConvertResult WriteFailure(int err) {
  return ConvertResult::OutputFault(WriteFault("the output", err));
}

ConvertResult ConvertFiles(const std::string& inputPath, const std::string& outputPath,
                           WriteMode mode, const StreamConverter& convert, InputKind kind) {
  if (inputPath.empty()) return ConvertResult::InputFault("No input file given");
  if (outputPath.empty()) return ConvertResult::OutputFault("No output file given");

  InputFile input;
  ConvertResult result = input.Open(inputPath);
  if (!result.ok()) return result;
  // Writing onto the input would destroy it (overwrite) or never end (append).
  if (input.SameFileAs(outputPath)) {
    return ConvertResult::OutputFault("Cannot write " + outputPath + ": it is the input file");
  }
  // A wrong file chosen (a picture, a program's own project file, a spreadsheet's list) would
  // give an empty or wrong output reported as a success.
  if (kind == InputKind::kText) {
    const std::string refusal = NotSurveyDataReason(input.stream());
    if (!refusal.empty()) {
      return ConvertResult::InputFault("Cannot convert " + inputPath + ": " + refusal);
    }
  }
  // Reading the whole input once for its encoding also proves it readable.
  const std::optional<TextEncoding> inputText = TextEncodingOf(input.stream());
  if (input.stream().bad()) return ConvertResult::InputFault(input.ReadFault());
  TextEncoding encoding = inputText.value_or(TextEncoding::Windows1252);
  // Lines added to a file go in the encoding its text is in already: a file of two encodings
  // garbles one part's letters, and the KOF columns of that part, for every later reader.
  std::istringstream transcoded;
  std::istream* in = &input.stream();
  size_t lost = 0;
  if (mode == WriteMode::Append && kind == InputKind::kText) {
    const std::optional<TextEncoding> held = ExistingTextEncoding(outputPath);
    if (held && *held != encoding) {
      if (inputText) {
        transcoded.str(Transcoded(input.stream(), *held, lost));
        if (input.stream().bad()) return ConvertResult::InputFault(input.ReadFault());
        in = &transcoded;
      }
      encoding = *held;
    }
  }

  OutputFile output;
  result = output.Open(outputPath, mode);
  if (!result.ok()) return result;
  errno = 0;
  result = convert(*in, output.stream(), encoding);
  if (result.ok() && lost > 0) {
    result.notes.remarks.push_back(
        std::to_string(lost) + (lost == 1 ? " character of " : " characters of ") + inputPath +
        " could not be written in the Windows-1252 text of " + outputPath +
        ", which the lines were added to, and became \"?\".");
  }
  if (result.ok() && input.stream().bad()) result = ConvertResult::InputFault(input.ReadFault());
  if (!result.ok()) {
    if (StartsWith(result.fault, kWriteFault)) {
      // Name the file: "Cannot write the output: Disk full" -> "Cannot write b.kof: Disk full".
      result.fault.replace(0, std::string(kWriteFault).size(), "Cannot write " + outputPath);
    } else if (input.stream().bad()) {
      result = ConvertResult::InputFault(input.ReadFault());
    }
    return result;  // the output is put back as it was by OutputFile
  }
  ConvertResult committed = output.Commit();
  if (!committed.ok()) return committed;
  return result;
}

ConvertResult CopyFile(const std::string& inputPath, const std::string& outputPath,
                       WriteMode mode) {
  return ConvertFiles(inputPath, outputPath, mode,
                      [](std::istream& in, std::ostream& out, TextEncoding) {
                        errno = 0;
                        if (in.peek() != std::char_traits<char>::eof()) out << in.rdbuf();
                        out.flush();
                        return out ? ConvertResult::Ok() : WriteFailure(errno);
                      },
                      InputKind::kAnyBytes);
}

ConvertResult CopyLines(const std::string& inputPath, const std::string& outputPath,
                        WriteMode mode) {
  return ConvertFiles(inputPath, outputPath, mode,
                      [](std::istream& in, std::ostream& out, TextEncoding) {
                        LineReader reader(in);
                        std::string_view line;
                        errno = 0;
                        while (reader.Next(line) && out) out << line << "\r\n";
                        out.flush();
                        return out ? ConvertResult::Ok() : WriteFailure(errno);
                      },
                      InputKind::kAnyBytes);
}

}  // namespace korv
