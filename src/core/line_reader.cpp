// Block-wise line reading with CR LF, LF and CR line ends.
#include "core/line_reader.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korv {

size_t LineReader::NextEnd() const {
  const char* p = text_ + begin_;
  const char* const end = text_ + end_;
#if defined(__SSE2__)
  // Sixteen bytes at a time: one comparison for each character, one mask for both.
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  for (; end - p >= 16; p += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int hits =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)));
    if (hits != 0) return static_cast<size_t>(p - text_) + __builtin_ctz(hits);
  }
#else
  // Eight bytes at a time: a word holds a CR or an LF when one of its bytes XOR the character
  // is zero, which the borrow of a subtraction shows in that byte's high bit.
  constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    const std::uint64_t cr = word ^ (kOnes * '\r'), lf = word ^ (kOnes * '\n');
    if ((((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs) break;
  }
#endif
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return static_cast<size_t>(p - text_);
}

bool LineReader::Fill() {
  if (atEnd_) return false;
  // Keep the unfinished line at the front; grow when it fills the whole buffer.
  const size_t kept = end_ - begin_;
  std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
  begin_ = 0;
  end_ = kept;
  if (end_ == buffer_.size()) {
    buffer_.resize(buffer_.size() * 2);
    text_ = buffer_.data();
  }
  in_->read(buffer_.data() + end_, static_cast<std::streamsize>(buffer_.size() - end_));
  const std::streamsize got = in_->gcount();
  end_ += static_cast<size_t>(got);
  if (got == 0 || !*in_) atEnd_ = true;
  return got > 0;
}

bool LineReader::Next(std::string_view& line) {
  if (!started_) {
    while (end_ - begin_ < 3 && Fill()) {
    }
    if (end_ - begin_ >= 3 && std::memcmp(text_ + begin_, "\xEF\xBB\xBF", 3) == 0) {
      begin_ += 3;
    }
    started_ = true;
  }
  while (true) {
    const size_t stop = NextEnd();
    size_t skip = 1;
    if (stop < end_ && text_[stop] == '\r') {
      // A CR at the end of the buffer may be the first half of CR LF.
      if (stop + 1 == end_ && !atEnd_) {
        Fill();
        continue;
      }
      if (stop + 1 < end_ && text_[stop + 1] == '\n') skip = 2;
    }
    if (stop < end_ || (atEnd_ && end_ > begin_)) {
      line = std::string_view(text_ + begin_, stop - begin_);
      begin_ = stop < end_ ? stop + skip : end_;
      ++lineNumber_;
      return true;
    }
    if (!Fill() && end_ == begin_) return false;
  }
}

}  // namespace korv
