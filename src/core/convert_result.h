// What a converter hands back: its Outcome (finished, or the fault that stopped it), and the
// notes of what it had to change on the way. Window code maps this onto its answer words and
// message boxes; the command line prints the fault and the notes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "core/outcome.h"

namespace korv {

// How a converter opens its output file.
enum class WriteMode { Overwrite, Append };

// Why the converters of coordinate lists leave a line out that is not blank.
constexpr const char* kShortCoordinateLine =
    "fewer than four fields (point, two coordinates, elevation) separated by commas, or words "
    "where the coordinates belong (a title line)";

// What a run writes otherwise than it read, without failing: numbers the format cannot hold
// (written as zero), characters the output's encoding cannot hold (written as "?"; data is
// copied in its own encoding, so only the texts the program adds can hold them) and input
// lines left out (not understood, no coordinates computed, a name's differing later value,
// a coordinate list's line of too few fields).
struct ConvertNotes {
  static constexpr size_t kLinesKept = 5;  // line numbers named in the note

  size_t outOfRange = 0;
  std::vector<size_t> outOfRangeLines;  // the first kLinesKept line numbers
  size_t unrepresentable = 0;           // in texts the program adds: settings texts, the file name
  size_t leftOut = 0;                   // input lines whose data the output does not hold
  std::vector<size_t> leftOutLines;     // the first kLinesKept line numbers
  // Why lines are left out, as the note says it.
  std::string leftOutReason =
      "not understood, no coordinates computed, or a point name already written with other "
      "coordinates";
  // Sentences of their own, for what lines do not number (a GIS file's features left out).
  std::vector<std::string> remarks;

  void OutOfRange(size_t line) {
    if (outOfRange++ < kLinesKept) outOfRangeLines.push_back(line);
  }
  void Unrepresentable(size_t count) { unrepresentable += count; }
  void LeftOut(size_t line) {
    if (leftOut++ < kLinesKept) leftOutLines.push_back(line);
  }
  bool empty() const {
    return outOfRange == 0 && unrepresentable == 0 && leftOut == 0 && remarks.empty();
  }
  // One sentence per kind of note, "" when there is nothing to say.
  std::string Text() const;
};

struct ConvertResult : Outcome {
  ConvertNotes notes;

  static ConvertResult Ok() { return {}; }
  // The input could not be opened or read ("Cannot read a.raw: File not found").
  static ConvertResult InputFault(std::string fault) {
    return {{Status::InputFault, std::move(fault)}, {}};
  }
  // The output could not be opened or written, or would overwrite the input.
  static ConvertResult OutputFault(std::string fault) {
    return {{Status::OutputFault, std::move(fault)}, {}};
  }
};

}  // namespace korv
