// Opening a converter's input.
#include "core/input_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "core/file_procs.h"
#include "core/text.h"

namespace korv {

namespace {

std::string Reason(int err) {
  int code = ErrorCodeFromErrno(err);
  if (code == ErrorCode::kNone) code = ErrorCode::kPathFileAccess;
  return ErrorDescription(code);
}

// Copies what `source` delivers into an unnamed temporary file and opens that in `target`.
bool Spool(std::ifstream& source, std::ifstream& target) {
  const char* tmp = std::getenv("TMPDIR");
  std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvenia-input-XXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return false;
  ::close(fd);
  bool ok;
  {
    std::ofstream copy(name, std::ios::binary | std::ios::trunc);
    copy << source.rdbuf();
    copy.flush();
    ok = copy.good() && !source.bad();
  }
  if (ok) target.open(name, std::ios::binary);
  // The open file stays readable after its name is gone, and nothing is left behind.
  ::unlink(name.c_str());
  return ok && target.is_open();
}

}  // namespace

std::string ReadFault(const std::string& path, int err) {
  return "Cannot read " + path + ": " + Reason(err);
}

std::string WriteReason(int err) {
  // A file opened for writing is created when missing, so "not found" means its folder
  // (ENOTDIR gives "Path not found").
  return Reason(err == ENOENT ? ENOTDIR : err);
}

std::string WriteFault(const std::string& path, int err) {
  return "Cannot write " + path + ": " + WriteReason(err);
}

ConvertResult InputFile::Open(const std::string& path) {
  if (path.empty()) return ConvertResult::InputFault("No input file given");
  path_ = path;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return ConvertResult::InputFault(korv::ReadFault(path, errno));
  if (S_ISDIR(st.st_mode)) return ConvertResult::InputFault("Cannot read " + path + ": it is a folder");
  device_ = st.st_dev;
  inode_ = st.st_ino;
  errno = 0;
  std::ifstream direct(path, std::ios::binary);
  if (!direct.is_open()) return ConvertResult::InputFault(korv::ReadFault(path, errno));
  if (S_ISREG(st.st_mode)) {
    file_ = std::move(direct);
  } else if (!Spool(direct, file_)) {
    return ConvertResult::InputFault(korv::ReadFault(path, errno));
  }
  return ConvertResult::Ok();
}

bool InputFile::SameFileAs(const std::string& otherPath) const {
  struct stat st {};
  return ::stat(otherPath.c_str(), &st) == 0 && st.st_dev == device_ && st.st_ino == inode_;
}

std::string InputFile::ReadFault() const { return korv::ReadFault(path_, errno); }

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {};
  struct stat sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

std::string NotSurveyDataReason(std::istream& in, bool commaFields) {
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
  if (!commaFields) return "";
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

}  // namespace korv
