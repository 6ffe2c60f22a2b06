// File procedures: existence and name checks and opening with an error code.
#include "core/file_procs.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "core/app_state.h"
#include "core/text.h"

namespace korv {

int ErrorCodeFromErrno(int err) {
  switch (err) {
    case 0:
      return ErrorCode::kNone;
    case ENOENT:
      return ErrorCode::kFileNotFound;
    case ENOTDIR:
      return ErrorCode::kPathNotFound;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:  // a file-size limit, or a file system's largest file
      return ErrorCode::kDiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return ErrorCode::kPermissionDenied;
    case ENAMETOOLONG:
      return ErrorCode::kBadFileName;
    default:
      return ErrorCode::kPathFileAccess;
  }
}

std::string ErrorDescription(int code) {
  switch (code) {
    case ErrorCode::kNone:
      return "";
    case ErrorCode::kBadFileName:
      return "Bad file name or number";
    case ErrorCode::kFileNotFound:
      return "File not found";
    case ErrorCode::kDiskFull:
      return "Disk full";
    case ErrorCode::kPermissionDenied:
      return "Permission denied";
    case ErrorCode::kPathNotFound:
      return "Path not found";
    default:
      return "Path/File access error";
  }
}

namespace {

// The path as the procedures take it: quotes stripped, one trailing separator removed.
std::string CleanPath(const std::string& path) {
  std::string p = StripQuotes(path);
  if (!p.empty() && (p.back() == '/' || p.back() == '\\')) p.pop_back();
  return p;
}

// Error code of opening `path` for reading: 0 when it opens and is a file.
int OpenForReadingCode(const std::string& path) {
  if (path.empty()) return ErrorCode::kBadFileName;
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return ErrorCodeFromErrno(errno);
  struct stat st {};
  bool isDir = ::fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode);
  std::fclose(f);
  return isDir ? ErrorCode::kPathFileAccess : ErrorCode::kNone;
}

}  // namespace

bool FileExists(const std::string& path) { return OpenForReadingCode(CleanPath(path)) == 0; }

int CheckFileName(const std::string& path) {
  std::string p = CleanPath(path);
  if (p.find_first_of("?*") != std::string::npos) return ErrorCode::kPathNotFound;
  return OpenForReadingCode(p);
}

std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty() || folder.back() != kFolderSeparator) folder += kFolderSeparator;
  return folder;
}

std::string FolderOf(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string OpenNumberedFile(std::fstream& file, const std::string& path, OpenMode mode,
                             const AppState& state, Reporter& reporter) {
  if (file.is_open()) file.close();
  file.clear();
  std::ios::openmode how = std::ios::binary;
  switch (mode) {
    case OpenMode::Write:
      how |= std::ios::out | std::ios::trunc;
      break;
    case OpenMode::Append:
      how |= std::ios::out | std::ios::app;
      break;
    case OpenMode::Read:
      how |= std::ios::in;
      break;
  }
  errno = 0;
  file.open(path, how);
  int code = ErrorCode::kNone;
  if (!file.is_open()) {
    code = ErrorCodeFromErrno(errno);
    if (code == ErrorCode::kNone) code = ErrorCode::kPathFileAccess;
  } else if (mode == OpenMode::Read) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      file.close();
      code = ErrorCode::kPathFileAccess;
    }
  }
  if (code == ErrorCode::kNone) return "";
  reporter.Report(state.Messages[14], state.Messages[11], MessageIcon::Critical);
  return std::to_string(code);
}

}  // namespace korv
