// The settings-file key store.
#include "core/key_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/text.h"

namespace korv {

bool HeaderName(std::string_view line, std::string_view& name) {
  std::string_view t = TrimView(line);
  if (t.size() < 2 || t.front() != '[') return false;
  size_t close = t.find(']');
  if (close == std::string_view::npos) return false;
  name = TrimView(t.substr(1, close - 1));
  return true;
}

IniFile IniFile::FromBytes(std::string_view bytes) {
  IniFile ini;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    ini.bom_ = std::string(bytes.substr(0, 3));
    bytes.remove_prefix(3);
  }
  const bool wholeUtf8 = IsValidUtf8(bytes);
  if (!wholeUtf8 && LinesEncoding(bytes) == TextEncoding::Windows1252) {
    ini.encoding_ = Encoding::Windows1252;
  }
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t nl = bytes.find('\n', pos);
    std::string_view raw;
    Line line;
    if (nl == std::string_view::npos) {
      raw = bytes.substr(pos);
      pos = bytes.size();
    } else {
      size_t end = nl;
      if (end > pos && bytes[end - 1] == '\r') {
        --end;
        line.end = "\r\n";
      } else {
        line.end = "\n";
      }
      raw = bytes.substr(pos, end - pos);
      pos = nl + 1;
    }
    line.cp1252 = !wholeUtf8 && !IsValidUtf8(raw);
    line.text = line.cp1252 ? Windows1252ToUtf8(raw) : std::string(raw);
    ini.lines_.push_back(std::move(line));
  }
  return ini;
}

IniFile::Line IniFile::NewLine(std::string text) const {
  Line line;
  line.text = std::move(text);
  line.end = "\r\n";
  line.cp1252 = encoding_ == Encoding::Windows1252;
  return line;
}

IniFile IniFile::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return IniFile();
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return FromBytes(bytes);
}

long IniFile::FindSection(std::string_view section) const {
  std::string_view wanted = TrimView(section);
  for (size_t i = 0; i < lines_.size(); ++i) {
    std::string_view name;
    if (HeaderName(lines_[i].text, name) && EqualsIgnoreCase(name, wanted)) {
      return static_cast<long>(i);
    }
  }
  return -1;
}

long IniFile::FindKey(long header, std::string_view key) const {
  std::string_view wanted = TrimView(key);
  for (size_t i = static_cast<size_t>(header) + 1; i < lines_.size(); ++i) {
    std::string_view name;
    if (HeaderName(lines_[i].text, name)) break;
    const std::string& t = lines_[i].text;
    size_t eq = t.find('=');
    if (eq == std::string::npos) continue;
    if (EqualsIgnoreCase(TrimView(std::string_view(t).substr(0, eq)), wanted)) {
      return static_cast<long>(i);
    }
  }
  return -1;
}

std::string IniFile::Get(std::string_view section, std::string_view key) const {
  long header = FindSection(section);
  if (header < 0) return {};
  long line = FindKey(header, key);
  if (line < 0) return {};
  const std::string& t = lines_[static_cast<size_t>(line)].text;
  return std::string(TrimView(std::string_view(t).substr(t.find('=') + 1)));
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string keyName = Trim(key);
  long header = FindSection(section);
  if (header < 0) {
    // New section at the end of the file, after a blank line when the file does not end
    // with one.
    if (!lines_.empty()) {
      if (lines_.back().end.empty()) lines_.back().end = "\r\n";
      if (!TrimView(lines_.back().text).empty()) lines_.push_back(NewLine(""));
    }
    lines_.push_back(NewLine("[" + Trim(section) + "]"));
    lines_.push_back(NewLine(keyName + "=" + std::string(value)));
    return;
  }
  long line = FindKey(header, key);
  if (line >= 0) {
    Line& l = lines_[static_cast<size_t>(line)];
    std::string fileKey = Trim(std::string_view(l.text).substr(0, l.text.find('=')));
    std::string text = fileKey + "=" + std::string(value);
    // A value written again as it stands keeps the line's bytes.
    if (text != l.text) {
      Line changed = NewLine(std::move(text));
      changed.end = l.end;
      l = std::move(changed);
    }
    return;
  }
  // Missing key: after the last non-blank line of the section.
  size_t insertAt = static_cast<size_t>(header) + 1;
  for (size_t i = insertAt; i < lines_.size(); ++i) {
    std::string_view name;
    if (HeaderName(lines_[i].text, name)) break;
    if (!TrimView(lines_[i].text).empty()) insertAt = i + 1;
  }
  Line& before = lines_[insertAt - 1];
  if (before.end.empty()) before.end = "\r\n";
  lines_.insert(lines_.begin() + static_cast<long>(insertAt),
                NewLine(keyName + "=" + std::string(value)));
}

std::string IniFile::ToBytes() const {
  // A text Windows-1252 cannot hold (a folder or a surveyor's name in Polish, say) would be
  // written as "?": the whole file is then written in UTF-8, which the reader takes line by line.
  bool utf8 = false;
  for (const Line& l : lines_) {
    if (!l.cp1252 || !HasNonAscii(l.text)) continue;
    size_t lost = 0;
    Utf8ToWindows1252(l.text, &lost);
    if (lost > 0) {
      utf8 = true;
      break;
    }
  }
  std::string bytes = bom_;
  for (const Line& l : lines_) {
    bytes += l.cp1252 && !utf8 ? Utf8ToWindows1252(l.text) : l.text;
    bytes += l.end;
  }
  return bytes;
}

bool IniFile::Save(const std::string& path) const { return ReplaceFileAtomically(path, ToBytes()); }

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  // Write through a link to the file it names, and never over a read-only file.
  std::string target = path;
  if (char* real = ::realpath(path.c_str(), nullptr)) {
    target = real;
    std::free(real);
  }
  struct stat st {};
  bool exists = ::stat(target.c_str(), &st) == 0;
  // The write bits count even for a user (root) whom access() would let through.
  if (exists && (::access(target.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0)) return false;

  std::string tmp = target + ".tmp-XXXXXX";
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;
  bool ok = true;
  size_t done = 0;
  while (ok && done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      ok = false;
    else
      done += static_cast<size_t>(n);
  }
  if (ok) ::fchmod(fd, exists ? (st.st_mode & 07777) : 0644);
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) ok = false;
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

std::string ReadKey(const std::string& path, std::string_view section, std::string_view key) {
  return IniFile::Load(path).Get(section, key);
}

bool WriteKey(const std::string& path, std::string_view section, std::string_view key,
              std::string_view value) {
  IniFile ini = IniFile::Load(path);
  ini.Set(section, key, value);
  return ini.Save(path);
}

}  // namespace korv
