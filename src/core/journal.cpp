#include "core/journal.h"

#include <sys/statvfs.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/file_procs.h"
#include "core/key_store.h"

namespace fs = std::filesystem;

namespace korv {

namespace {

constexpr std::int64_t kMegabyte = 1024 * 1024;
constexpr std::string_view kExtension = ".raw";

// The limits' keys, in the order of the file.
constexpr const char* kMaxDownloadsKey = "MaxDownloads";
constexpr const char* kMaxMegabytesKey = "MaxMegabytes";
constexpr const char* kMinFreeKey = "MinFreeMegabytes";

// The window's texts, in the order of the file after the limits.
constexpr TextRow kJournalTexts[] = {
    {"Recent", "Recent do&wnloads..."},
    {"Title", "Recent downloads"},
    {"Date", "Date"},
    {"Device", "Device"},
    {"Lines", "Lines"},
    {"Size", "Size"},
    {"Open", "&Open"},
    {"Close", "&Close"},
    {"Empty", "No download has been kept yet."},
};

std::string ErrnoText() { return ErrorDescription(ErrorCodeFromErrno(errno)); }

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

std::string StampText(const std::tm& t) {
  return std::to_string(t.tm_year + 1900) + "-" + TwoDigits(t.tm_mon + 1) + "-" +
         TwoDigits(t.tm_mday) + "_" + TwoDigits(t.tm_hour) + TwoDigits(t.tm_min) +
         TwoDigits(t.tm_sec);
}

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A journal file's entry from its name, with the order it was made in (`stamp`, `number`).
struct Parsed {
  JournalEntry entry;
  std::string stamp;
  int number = 1;
};

std::optional<Parsed> ParseName(const fs::path& path) {
  const std::string name = path.filename().string();
  // "YYYY-MM-DD_HHMMSS_" is 18 characters; at least one for the device, then ".raw".
  if (name.size() < 18 + 1 + kExtension.size() ||
      name.compare(name.size() - kExtension.size(), kExtension.size(), kExtension) != 0)
    return std::nullopt;
  const std::string_view n = name;
  if (!AllDigits(n.substr(0, 4)) || n[4] != '-' || !AllDigits(n.substr(5, 2)) || n[7] != '-' ||
      !AllDigits(n.substr(8, 2)) || n[10] != '_' || !AllDigits(n.substr(11, 6)) || n[17] != '_')
    return std::nullopt;
  Parsed p;
  p.stamp = name.substr(0, 17);
  std::string device = name.substr(18, name.size() - 18 - kExtension.size());
  const size_t cut = device.rfind('_');
  if (cut != std::string::npos) {
    if (!AllDigits(std::string_view(device).substr(cut + 1))) return std::nullopt;
    p.number = std::atoi(device.c_str() + cut + 1);
    device.resize(cut);
  }
  if (device.empty()) return std::nullopt;
  p.entry.date = name.substr(0, 10);
  p.entry.time = name.substr(11, 2) + ":" + name.substr(13, 2) + ":" + name.substr(15, 2);
  p.entry.device = device;
  p.entry.path = path.string();
  return p;
}

long CountLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  long lines = 0;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    lines += static_cast<long>(std::count(buffer, buffer + in.gcount(), '\n'));
  }
  return lines;
}

// The journal's files, newest first.
std::vector<Parsed> Scan(const std::string& folder) {
  std::vector<Parsed> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::optional<Parsed> p = ParseName(it->path());
    if (!p) continue;
    const auto size = it->file_size(ec);
    p->entry.size = ec ? 0 : static_cast<std::int64_t>(size);
    found.push_back(std::move(*p));
  }
  std::sort(found.begin(), found.end(), [](const Parsed& a, const Parsed& b) {
    return a.stamp != b.stamp ? a.stamp > b.stamp : a.number > b.number;
  });
  return found;
}

}  // namespace

std::optional<std::int64_t> FreeSpaceOf(const std::string& dir) {
  struct statvfs st {};
  if (statvfs(dir.c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::int64_t>(st.f_bavail) * static_cast<std::int64_t>(st.f_frsize);
}

std::string JournalFolder() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  // An XDG variable that is not an absolute path is to be ignored.
  fs::path base = xdg && xdg[0] == '/' ? fs::path(xdg) : fs::path();
  if (base.empty()) {
    const char* home = std::getenv("HOME");
    base = fs::path(home ? home : ".") / ".local" / "share";
  }
  return (base / "Korvenia" / "journal").string();
}

std::string JournalDeviceWord(std::string_view device) {
  if (device.substr(0, 5) == "/dev/") device.remove_prefix(5);
  std::string word;
  for (char c : device) {
    const bool safe = std::isalnum(static_cast<unsigned char>(c)) != 0 && (c & 0x80) == 0;
    if (safe) {
      word.push_back(c);
    } else if (!word.empty() && word.back() != '-') {
      word.push_back('-');
    }
  }
  while (!word.empty() && word.back() == '-') word.pop_back();
  return word.empty() ? "device" : word;
}

JournalWriter::JournalWriter(const std::string& folder, std::string_view device,
                             const JournalLimits& limits, const std::tm& stamp,
                             const FreeSpaceFunction& freeSpace)
    : folder_(folder), limits_(limits) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    warning_ = "Cannot make the download journal folder " + folder + ": " + ec.message();
    return;
  }
  const std::optional<std::int64_t> space = freeSpace(folder);
  if (space && *space < limits.minFreeMegabytes * kMegabyte) {
    warning_ = "Less than " + std::to_string(limits.minFreeMegabytes) + " MB free in " + folder +
               ": this download is not kept in the journal.";
    return;
  }
  const std::string base =
      (fs::path(folder) / (StampText(stamp) + "_" + JournalDeviceWord(device))).string();
  for (int n = 1; n < 1000 && !file_; ++n) {
    path_ = base + (n == 1 ? "" : "_" + std::to_string(n)) + std::string(kExtension);
    // "x": never open a file that is already there (a download in the same second).
    file_ = std::fopen(path_.c_str(), "wbx");
    if (!file_ && errno != EEXIST) break;
  }
  if (!file_) {
    warning_ = "Cannot open the download journal " + path_ + ": " + ErrnoText();
    path_.clear();
  }
}

JournalWriter::~JournalWriter() { Close(); }

void JournalWriter::Add(std::string_view line) {
  if (!file_) return;
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() ||
      std::fwrite("\r\n", 1, 2, file_) != 2 || std::fflush(file_) != 0) {
    Fail("Cannot write the download journal " + path_ + ": " + ErrnoText());
    return;
  }
  ++lines_;
  whole_ += static_cast<std::int64_t>(line.size()) + 2;
}

void JournalWriter::Close() {
  if (!file_) return;
  if (std::fclose(file_) != 0) warning_ = "Cannot write the download journal " + path_;
  file_ = nullptr;
  if (lines_ == 0) {
    std::error_code ec;
    fs::remove(path_, ec);
    return;
  }
  PruneJournal(folder_, limits_);
}

void JournalWriter::Fail(const std::string& what) {
  warning_ = what;
  // Whole lines only: a line the disk took in part is cut off again, after the close, which
  // may write what the stream still held.
  std::fclose(file_);
  file_ = nullptr;
  std::error_code ec;
  fs::resize_file(path_, static_cast<std::uintmax_t>(whole_), ec);
  PruneJournal(folder_, limits_);
}

std::vector<JournalEntry> ListJournal(const std::string& folder) {
  std::vector<JournalEntry> entries;
  for (Parsed& p : Scan(folder)) {
    p.entry.lines = CountLines(p.entry.path);
    entries.push_back(std::move(p.entry));
  }
  return entries;
}

void PruneJournal(const std::string& folder, const JournalLimits& limits) {
  const std::vector<Parsed> files = Scan(folder);
  // Keep the newest that fit both limits; the rest, older, go.
  std::int64_t total = 0;
  size_t kept = 0;
  while (kept < files.size()) {
    total += files[kept].entry.size;
    const bool fits =
        static_cast<long>(kept) < limits.maxDownloads && total <= limits.maxMegabytes * kMegabyte;
    if (!fits && kept > 0) break;
    ++kept;
  }
  std::error_code ec;
  for (size_t i = kept; i < files.size(); ++i) fs::remove(files[i].entry.path, ec);
}

JournalLimits LoadJournalLimits(const IniFile& ini) {
  JournalLimits limits;
  for (auto [key, value] : {std::pair{kMaxMegabytesKey, &limits.maxMegabytes},
                            std::pair{kMinFreeKey, &limits.minFreeMegabytes}}) {
    const std::string stored = ini.Get(kJournalSection, key);
    if (AllDigits(stored) && stored.size() < 12) *value = std::stoll(stored);
  }
  const std::string count = ini.Get(kJournalSection, kMaxDownloadsKey);
  if (AllDigits(count) && count.size() < 9) limits.maxDownloads = std::stol(count);
  return limits;
}

const TextSection& JournalTextSection() {
  static constexpr TextSection section{kJournalSection, kJournalTexts};
  return section;
}

std::string JournalText(const IniFile& ini, std::string_view key) {
  return SectionText(ini, JournalTextSection(), key);
}

void AppendJournalSection(std::string& out) {
  const JournalLimits defaults;
  out += std::string("\r\n[") + kJournalSection + "]\r\n";
  out += std::string(kMaxDownloadsKey) + "=" + std::to_string(defaults.maxDownloads) + "\r\n";
  out += std::string(kMaxMegabytesKey) + "=" + std::to_string(defaults.maxMegabytes) + "\r\n";
  out += std::string(kMinFreeKey) + "=" + std::to_string(defaults.minFreeMegabytes) + "\r\n";
  AppendTextRows(out, JournalTextSection());
}

}  // namespace korv
