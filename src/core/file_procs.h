// File procedures: existence and name checks, and opening a file with the error code of a
// failed open as text (the answer word) and the "Cannot open output file" report.
#pragma once

#include <fstream>
#include <string>

#include "core/reporter.h"

namespace korv {

struct AppState;

// Error codes the program shows and compares (the numbering users know from the original).
namespace ErrorCode {
constexpr int kNone = 0;
constexpr int kBadFileName = 52;
constexpr int kFileNotFound = 53;
constexpr int kDiskFull = 61;
constexpr int kPermissionDenied = 70;
constexpr int kPathFileAccess = 75;
constexpr int kPathNotFound = 76;
}  // namespace ErrorCode

// Code of the last failed system call (errno) in the numbering above.
int ErrorCodeFromErrno(int err);
// Short English description of a code, as shown in error boxes ("File not found").
std::string ErrorDescription(int code);

// True when the named file can be opened for reading. Never throws.
bool FileExists(const std::string& path);

// 0 when the named file exists and can be read; 76 when the name holds a character no file
// name may hold ("?" or "*"); otherwise the code of the failed open (53 when missing).
int CheckFileName(const std::string& path);

// The folder separator of this platform, which every folder path ends with.
constexpr char kFolderSeparator = '/';
// `folder` with exactly one trailing separator added when it has none.
std::string WithTrailingSeparator(std::string folder);
// Folder part of a path including its trailing separator; "" when it has none.
std::string FolderOf(const std::string& path);

enum class OpenMode { Write = 1, Append = 2, Read = 3 };

// Opens `path` in binary mode as `mode` says. Returns "" on success, otherwise the error
// code as decimal text, after reporting message 14 with title message 11 and a stop icon.
std::string OpenNumberedFile(std::fstream& file, const std::string& path, OpenMode mode,
                             const AppState& state, Reporter& reporter);

}  // namespace korv
