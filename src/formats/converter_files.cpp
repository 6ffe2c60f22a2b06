// Opening, checking and closing the files of one conversion.
#include "formats/converter_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>

#include "core/file_procs.h"
#include "core/text.h"

namespace korv {

namespace {

std::string Reason(int err) {
  int code = ErrorCodeFromErrno(err);
  if (code == ErrorCode::kNone) code = ErrorCode::kPathFileAccess;
  return ErrorDescription(code);
}

}  // namespace

ConvertResult WriteFailure(int err) {
  return ConvertResult::Fail(std::string(kWriteFault) + ": " + Reason(err));
}

ConvertResult ConvertFiles(const std::string& inputPath, const std::string& outputPath,
                           WriteMode mode, const StreamConverter& convert) {
  if (inputPath.empty()) return ConvertResult::Fail("No input file given");
  if (outputPath.empty()) return ConvertResult::Fail("No output file given");

  // The input first: a missing input must not empty an existing output.
  struct stat inStat {};
  if (::stat(inputPath.c_str(), &inStat) != 0)
    return ConvertResult::Fail("Cannot read " + inputPath + ": " + Reason(errno));
  if (S_ISDIR(inStat.st_mode))
    return ConvertResult::Fail("Cannot read " + inputPath + ": it is a folder");
  errno = 0;
  std::ifstream in(inputPath, std::ios::binary);
  if (!in.is_open()) return ConvertResult::Fail("Cannot read " + inputPath + ": " + Reason(errno));

  // Writing onto the input would destroy it (overwrite) or never end (append).
  struct stat outStat {};
  bool outputExists = ::stat(outputPath.c_str(), &outStat) == 0;
  if (outputExists && outStat.st_dev == inStat.st_dev && outStat.st_ino == inStat.st_ino)
    return ConvertResult::Fail("Cannot write " + outputPath + ": it is the input file");
  if (outputExists && S_ISDIR(outStat.st_mode))
    return ConvertResult::Fail("Cannot write " + outputPath + ": it is a folder");
  bool restorable = mode == WriteMode::Append && outputExists && S_ISREG(outStat.st_mode);

  errno = 0;
  std::ofstream out(
      outputPath, std::ios::binary | (mode == WriteMode::Append ? std::ios::app
                                                                : std::ios::trunc | std::ios::out));
  if (!out.is_open())
    return ConvertResult::Fail("Cannot write " + outputPath + ": " + Reason(errno));

  ConvertResult result = convert(in, out);
  if (result.ok) {
    errno = 0;
    out.close();
    if (out.fail()) result = WriteFailure(errno);
  }
  if (!result.ok && StartsWith(result.fault, kWriteFault)) {
    std::string reason = result.fault.substr(std::string(kWriteFault).size());
    if (StartsWith(reason, ": ")) reason.erase(0, 2);
    result = ConvertResult::Fail("Cannot write " + outputPath + ": " + reason);
    if (out.is_open()) out.close();
    // Give an appended-to file back its old end, so nothing half-written stays behind.
    if (restorable && ::truncate(outputPath.c_str(), outStat.st_size) != 0) {
      result.fault += " (the lines written before the fault remain at its end)";
    }
  }
  if (result.ok && in.bad()) {
    result = ConvertResult::Fail("Cannot read " + inputPath + ": " + Reason(errno));
  }
  return result;
}

}  // namespace korv
