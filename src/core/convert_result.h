// What a converter hands back: finished, or the fault that stopped it. Window code maps this
// onto its answer words and message boxes; the command line prints the fault.
#pragma once

#include <string>

namespace korv {

// How a converter opens its output file.
enum class WriteMode { Overwrite, Append };

struct ConvertResult {
  bool ok = true;
  std::string fault;  // description shown to the user when !ok, e.g. "File not found: a.raw"

  static ConvertResult Ok() { return {}; }
  static ConvertResult Fail(std::string description) { return {false, std::move(description)}; }
};

}  // namespace korv
