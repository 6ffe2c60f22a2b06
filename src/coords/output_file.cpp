// Output files that end complete or leave the previous contents.
#include "coords/output_file.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "core/file_procs.h"

namespace fs = std::filesystem;

namespace korv {

std::string OutputFile::WriteFault(const std::string& path) {
  int code = ErrorCodeFromErrno(errno);
  if (code == ErrorCode::kNone) code = ErrorCode::kPathFileAccess;
  return "Cannot write " + path + ": " + ErrorDescription(code);
}

OutputFile::~OutputFile() { Discard(); }

ConvertResult OutputFile::Open(const std::string& path, WriteMode mode) {
  Discard();
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);  // follows links
  existed_ = fs::exists(status);
  if (fs::is_directory(status)) {
    return ConvertResult::Fail("Cannot write " + path + ": it is a folder");
  }
  // A device or pipe (/dev/stdout, a FIFO) is written as it is: it cannot be replaced.
  direct_ = existed_ && !fs::is_regular_file(status);
  target_ = path;
  // Write through a link to the file it names, so that the link stays.
  if (existed_ && !direct_ && fs::is_symlink(fs::symlink_status(path, ec))) {
    fs::path resolved = fs::canonical(path, ec);
    if (!ec) target_ = resolved.string();
  }
  temp_.clear();
  errno = 0;
  if (mode == WriteMode::Append || direct_) {
    oldSize_ = existed_ && !direct_ ? fs::file_size(target_, ec) : 0;
    std::ios::openmode how = std::ios::binary;
    how |= mode == WriteMode::Append ? std::ios::app : std::ios::trunc;
    file_.open(target_, how);
    if (!file_.is_open()) return ConvertResult::Fail(WriteFault(path));
  } else {
    if (existed_) {
      // The replacement must not get round a file that may not be written.
      std::ofstream probe(target_, std::ios::binary | std::ios::app);
      if (!probe.is_open()) return ConvertResult::Fail(WriteFault(path));
    }
    temp_ = target_ + ".korvenia-part";
    file_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!file_.is_open()) {
      temp_.clear();
      return ConvertResult::Fail(WriteFault(path));
    }
  }
  open_ = true;
  return ConvertResult::Ok();
}

ConvertResult OutputFile::Commit() {
  if (!open_) return ConvertResult::Fail("Cannot write " + target_ + ": not open");
  errno = 0;
  file_.flush();
  bool ok = file_.good();
  file_.close();
  ok = ok && !file_.fail();
  if (!ok) {
    std::string fault = WriteFault(target_);
    Discard();
    return ConvertResult::Fail(fault);
  }
  if (!temp_.empty()) {
    std::error_code ec;
    if (existed_) {
      fs::permissions(temp_, fs::status(target_, ec).permissions(), ec);
    }
    fs::rename(temp_, target_, ec);
    if (ec) {
      std::string fault = "Cannot write " + target_ + ": " + ec.message();
      Discard();
      return ConvertResult::Fail(fault);
    }
    temp_.clear();
  }
  open_ = false;
  return ConvertResult::Ok();
}

void OutputFile::Discard() {
  if (!open_) return;
  open_ = false;
  if (file_.is_open()) file_.close();
  file_.clear();
  std::error_code ec;
  if (direct_) {
    // A device or pipe keeps what it was given.
  } else if (!temp_.empty()) {
    fs::remove(temp_, ec);
    temp_.clear();
  } else if (existed_) {
    fs::resize_file(target_, oldSize_, ec);
  } else {
    fs::remove(target_, ec);
  }
}

}  // namespace korv
