// Opening a converter's input.
#include "coords/input_file.h"

#include <cerrno>
#include <filesystem>

#include "core/file_procs.h"

namespace korv {

std::string ReadFault(const std::string& path) {
  int code = ErrorCodeFromErrno(errno);
  if (code == ErrorCode::kNone) code = ErrorCode::kPathFileAccess;
  return "Cannot read " + path + ": " + ErrorDescription(code);
}

ConvertResult OpenInputFile(std::ifstream& file, const std::string& path) {
  if (path.empty()) return ConvertResult::Fail("No input file given");
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    return ConvertResult::Fail("Cannot read " + path + ": it is a folder");
  }
  errno = 0;
  file.open(path, std::ios::binary);
  if (!file.is_open()) return ConvertResult::Fail(ReadFault(path));
  return ConvertResult::Ok();
}

}  // namespace korv
