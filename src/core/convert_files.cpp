// Opening, checking and closing the files of one conversion.
#include "core/convert_files.h"

#include <algorithm>
#include <cerrno>

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

// Why the input at `in` cannot be survey data, judged from its first 64 KB: UTF-16 text,
// binary data (more than 1 % control bytes other than tab, line ends, form feed and the
// end-of-file mark; a stray byte from a noisy line passes), or fields separated by semicolons
// with decimal commas, as spreadsheets save them in many countries (their numbers would be
// read up to the first comma). "" when it can be. Puts `in` back where it was.
std::string NotSurveyDataReason(std::istream& in) {
  const std::istream::pos_type start = in.tellg();
  std::string head(size_t{1} << 16, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  in.clear();
  if (start != std::istream::pos_type(-1)) in.seekg(start);
  if (StartsWith(head, "\xFF\xFE") || StartsWith(head, "\xFE\xFF")) {
    return "it is UTF-16 text, which is not read here (save it as UTF-8 or ANSI text)";
  }
  size_t control = 0;
  for (const char c : head) {
    const auto b = static_cast<unsigned char>(c);
    control += b < 0x20 && b != '\t' && b != '\n' && b != '\r' && b != '\f' && b != 0x1A;
  }
  if (control * 100 > head.size()) {
    return "it holds binary data, not the text lines of survey data";
  }
  // Most lines hold three or more semicolons, the first of them before any comma (a list's
  // codes may hold semicolons, but after the commas of its fields).
  size_t lines = 0, semicolonLines = 0;
  for (std::string_view rest(head); !rest.empty();) {
    const size_t end = std::min(rest.find('\n'), rest.size());
    const std::string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (TrimView(line).empty()) continue;
    ++lines;
    semicolonLines += std::count(line.begin(), line.end(), ';') >= 3 &&
                      line.find(';') < line.find(',');
  }
  if (semicolonLines * 2 > lines) {
    return "its fields are separated by semicolons; survey data separates them by commas and "
           "writes numbers with a decimal point";
  }
  return "";
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
  const TextEncoding encoding = OutputEncodingOf(input.stream());
  if (input.stream().bad()) return ConvertResult::InputFault(input.ReadFault());

  OutputFile output;
  result = output.Open(outputPath, mode);
  if (!result.ok()) return result;
  errno = 0;
  result = convert(input.stream(), output.stream(), encoding);
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
