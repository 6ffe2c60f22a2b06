// Block-wise line reading with CR LF, LF and CR line ends.
#include "core/line_reader.h"

#include <cstring>

namespace korv {

size_t LineReader::NextOf(char c, size_t& cached) {
  if (cached == kUnknown || cached < begin_) {
    const void* hit = std::memchr(buffer_.data() + begin_, c, end_ - begin_);
    cached = hit ? static_cast<size_t>(static_cast<const char*>(hit) - buffer_.data()) : end_;
  }
  return cached;
}

bool LineReader::Fill() {
  if (atEnd_) return false;
  // Keep the unfinished line at the front; grow when it fills the whole buffer.
  const size_t kept = end_ - begin_;
  std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
  begin_ = 0;
  end_ = kept;
  cr_ = lf_ = kUnknown;
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  in_.read(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
  const std::streamsize got = in_.gcount();
  end_ += static_cast<size_t>(got);
  if (got == 0 || !in_) atEnd_ = true;
  return got > 0;
}

bool LineReader::Next(std::string_view& line) {
  if (!started_) {
    while (end_ - begin_ < 3 && Fill()) {
    }
    if (end_ - begin_ >= 3 && std::memcmp(buffer_.data() + begin_, "\xEF\xBB\xBF", 3) == 0) {
      begin_ += 3;
    }
    started_ = true;
  }
  while (true) {
    const size_t cr = NextOf('\r', cr_);
    const size_t lf = NextOf('\n', lf_);
    const size_t stop = cr < lf ? cr : lf;
    size_t skip = 1;
    if (stop < end_ && stop == cr) {
      // A CR at the end of the buffer may be the first half of CR LF.
      if (stop + 1 == end_ && !atEnd_) {
        Fill();
        continue;
      }
      if (stop + 1 < end_ && buffer_[stop + 1] == '\n') skip = 2;
    }
    if (stop < end_ || (atEnd_ && end_ > begin_)) {
      line = std::string_view(buffer_.data() + begin_, stop - begin_);
      begin_ = stop < end_ ? stop + skip : end_;
      ++lineNumber_;
      return true;
    }
    if (!Fill() && end_ == begin_) return false;
  }
}

}  // namespace korv
