// Output files that end complete or leave the previous contents.
#include "core/output_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <system_error>

#include "core/input_file.h"

namespace fs = std::filesystem;

namespace korv {

namespace {

// A temporary file beside `target`, created empty with the permissions a new file would get
// (or those of the file it replaces). "" when the folder takes no new file.
std::string CreateTempBeside(const std::string& target, bool existed) {
  const fs::path t(target);
  std::string name = (t.parent_path() / ("." + t.filename().string() + ".korvenia-XXXXXX")).string();
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return "";
  mode_t mode;
  struct stat st {};
  if (existed && ::stat(target.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);
  ::close(fd);
  return name;
}

// What ends the last line of the file of `size` bytes at `path`: "" when it ends with LF
// (or is empty or unreadable), "\n" after a CR, "\r\n" after anything else.
std::string MissingLineEnd(const std::string& path, std::uintmax_t size) {
  if (size == 0) return "";
  std::ifstream file(path, std::ios::binary);
  char last = '\n';
  if (!file.seekg(static_cast<std::streamoff>(size - 1)) || !file.get(last)) return "";
  if (last == '\n') return "";
  return last == '\r' ? "\n" : "\r\n";
}

}  // namespace

OutputFile::~OutputFile() { Discard(); }

ConvertResult OutputFile::Open(const std::string& path, WriteMode mode) {
  Discard();
  // A file-size limit then fails the write with EFBIG instead of ending the program.
  std::signal(SIGXFSZ, SIG_IGN);
  path_ = path;
  if (path.empty()) return ConvertResult::OutputFault("No output file given");
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);  // follows links
  existed_ = fs::exists(status);
  if (fs::is_directory(status)) {
    return ConvertResult::OutputFault("Cannot write " + path + ": it is a folder");
  }
  direct_ = existed_ && !fs::is_regular_file(status);
  target_ = path;
  // Write through a link to the file it names, so that the link stays.
  if (existed_ && !direct_ && fs::is_symlink(fs::symlink_status(path, ec))) {
    fs::path resolved = fs::canonical(path, ec);
    if (!ec) target_ = resolved.string();
  }
  temp_.clear();
  lineEnd_.clear();
  oldSize_ = 0;
  errno = 0;
  if (direct_ || (mode == WriteMode::Append && existed_)) {
    if (!direct_) oldSize_ = fs::file_size(target_, ec);
    file_.open(target_, std::ios::binary | (direct_ ? std::ios::trunc : std::ios::app));
    if (!file_.is_open()) return ConvertResult::OutputFault(WriteFault(path, errno));
    // A file whose last line has no line end (as some editors save) would have that line and
    // the first new one run together: the line is ended first. Commit takes the ending away
    // again when nothing followed it.
    lineEnd_ = direct_ ? "" : MissingLineEnd(target_, oldSize_);
    file_ << lineEnd_;
  } else {
    if (existed_ && ::access(target_.c_str(), W_OK) != 0) {
      // The replacement must not get round a file that may not be written.
      return ConvertResult::OutputFault(WriteFault(path, errno));
    }
    temp_ = CreateTempBeside(target_, existed_);
    if (temp_.empty()) return ConvertResult::OutputFault(WriteFault(path, errno));
    // Opened as it stands (empty), not truncated: a truncation makes ext4 allocate the file's
    // blocks when it is closed, which cost a new 60 MB output about 10 to 50 ms.
    file_.open(temp_, std::ios::binary | std::ios::in | std::ios::out);
    if (!file_.is_open()) {
      const int err = errno;
      fs::remove(temp_, ec);
      temp_.clear();
      return ConvertResult::OutputFault(WriteFault(path, err));
    }
  }
  open_ = true;
  return ConvertResult::Ok();
}

ConvertResult OutputFile::Commit() {
  if (!open_) return ConvertResult::OutputFault("Cannot write " + path_ + ": not open");
  errno = 0;
  file_.flush();
  bool ok = file_.good();
  int err = errno;
  file_.close();
  if (ok && file_.fail()) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    Discard();
    return ConvertResult::OutputFault(WriteFault(path_, err));
  }
  if (!lineEnd_.empty()) {
    // Nothing was appended after the line end: the file stays exactly as it was.
    std::error_code ec;
    if (fs::file_size(target_, ec) == oldSize_ + lineEnd_.size()) {
      fs::resize_file(target_, oldSize_, ec);
    }
  }
  if (!temp_.empty()) {
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
      err = errno;
      Discard();
      return ConvertResult::OutputFault(WriteFault(path_, err));
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
  } else {
    fs::resize_file(target_, oldSize_, ec);
  }
}

}  // namespace korv
