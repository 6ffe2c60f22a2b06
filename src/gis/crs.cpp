// Searching the catalogue of coordinate reference systems by code or name.
#include "gis/crs.h"

#include <algorithm>

#include "core/text.h"

namespace korv {

std::vector<const CrsEntry*> FindCrs(std::string_view text, size_t limit) {
  std::vector<std::string> words;
  const std::string lower = ToLowerAscii(text);
  for (size_t at = 0; at < lower.size();) {
    const size_t begin = lower.find_first_not_of(' ', at);
    if (begin == std::string::npos) break;
    const size_t end = std::min(lower.find(' ', begin), lower.size());
    words.push_back(lower.substr(begin, end - begin));
    at = end;
  }
  std::vector<const CrsEntry*> found;
  for (const CrsEntry& entry : CrsCatalogue()) {
    if (found.size() >= limit) break;
    if (entry.geographic) continue;  // no grid a survey can be in
    const std::string haystack = ToLowerAscii(entry.code) + " " + ToLowerAscii(entry.name);
    if (std::all_of(words.begin(), words.end(), [&haystack](const std::string& w) {
          return haystack.find(w) != std::string::npos;
        })) {
      found.push_back(&entry);
    }
  }
  return found;
}

}  // namespace korv
