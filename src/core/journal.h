// The download journal: every download's lines, kept as they arrive in a folder of the user's
// data folder, whatever becomes of the download afterwards (a cancel, a failed conversion, a
// wrong name). One file per download, "YYYY-MM-DD_HHMMSS_<device>.raw", CR LF line ends; the
// newest downloads are kept within the limits of the settings file's "[Journal]" section.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_section.h"

namespace korv {

class IniFile;

constexpr const char* kJournalSection = "Journal";

struct JournalLimits {
  long maxDownloads = 200;
  std::int64_t maxMegabytes = 500;
  // Below this much free space on the journal's disk a download is not journalled.
  std::int64_t minFreeMegabytes = 100;
};

// Free bytes on the file system holding `dir`, nullopt when it cannot be told.
using FreeSpaceFunction = std::function<std::optional<std::int64_t>(const std::string& dir)>;
std::optional<std::int64_t> FreeSpaceOf(const std::string& dir);

// "$XDG_DATA_HOME/Korvenia/journal", else "$HOME/.local/share/Korvenia/journal".
std::string JournalFolder();

// `device` as a word a file name can hold: without a leading "/dev/", its letters and digits,
// every run of other characters between them one "-" ("/dev/pts/3" -> "pts-3"); "device"
// when nothing is left.
std::string JournalDeviceWord(std::string_view device);

// Keeps one download's lines. Every line reaches the disk when it is added, so a crash or a
// pulled cable keeps what came. A journal that cannot be written never stops the download:
// the writer then keeps nothing and says why once, in warning().
class JournalWriter {
 public:
  // Opens the download's file in `folder` (made when missing), named by `stamp` and `device`;
  // a second download in the same second gets "_2", "_3", ... . Nothing is opened when the
  // disk has less than `limits.minFreeMegabytes` free.
  JournalWriter(const std::string& folder, std::string_view device, const JournalLimits& limits,
                const std::tm& stamp, const FreeSpaceFunction& freeSpace = FreeSpaceOf);
  ~JournalWriter();
  JournalWriter(const JournalWriter&) = delete;
  JournalWriter& operator=(const JournalWriter&) = delete;

  // Appends `line` and CR LF and flushes them.
  void Add(std::string_view line);
  // Closes the file, removing it when nothing came, and prunes the journal to its limits.
  void Close();

  bool active() const { return file_ != nullptr; }
  const std::string& path() const { return path_; }
  // Why nothing (more) is kept; empty while all is well.
  const std::string& warning() const { return warning_; }

 private:
  void Fail(const std::string& what);

  std::string folder_;
  JournalLimits limits_;
  std::FILE* file_ = nullptr;
  std::string path_;
  std::string warning_;
  long lines_ = 0;
  std::int64_t whole_ = 0;  // bytes of the whole lines written
};

struct JournalEntry {
  std::string date;    // "YYYY-MM-DD"
  std::string time;    // "HH:MM:SS"
  std::string device;  // the device word of the name
  long lines = 0;
  std::int64_t size = 0;  // bytes
  std::string path;
};

// The journal's downloads, newest first; files of other names are left out.
std::vector<JournalEntry> ListJournal(const std::string& folder);

// Removes the oldest downloads until at most `limits.maxDownloads` are left and they hold at
// most `limits.maxMegabytes`; the newest is always kept.
void PruneJournal(const std::string& folder, const JournalLimits& limits);

// The limits of the settings file's "[Journal]"; a missing or unusable key keeps its default.
JournalLimits LoadJournalLimits(const IniFile& ini);

// The text of `key` in the section, else the default settings file's ("" for a key it does
// not hold). Keys: "Recent", "Title", "Date", "Device", "Lines", "Size", "Open", "Close",
// "Empty".
std::string JournalText(const IniFile& ini, std::string_view key);

// The section's texts (its choices are not texts).
const TextSection& JournalTextSection();

// Appends the whole section as the default settings file has it, header included, after a
// blank line (CR LF line ends).
void AppendJournalSection(std::string& out);

}  // namespace korv
