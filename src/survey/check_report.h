// The check report: what a read and reduced survey holds and what is wrong with it, before it is
// converted (record counts, set-ups and their orientation, the extent, lines not understood,
// names with two positions, observations not reduced, names and codes the output formats cut),
// rendered as text for people and as JSON for scripts. No Qt.
//
// The report refers into the survey it was made from (indices, text spans of its pool): render
// it together with that survey.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/text_encoding.h"
#include "survey/survey.h"

namespace korv {

// Outputs whose fixed-width fields cut point names and codes.
enum class CutTarget : uint8_t { Kof, Sdr, Upload };
constexpr size_t kCutTargets = 3;
const char* CutTargetWord(CutTarget target);  // "kof", "sdr", "upload"

// Where a name or code of the survey stands.
enum class TextSource : uint8_t { SetUp, Observation, Point };

// A name or code as a target writes it.
struct CutText {
  uint32_t line = 0;
  RecordKind kind = RecordKind::Other;
  TextSource source = TextSource::Point;
  uint32_t index = 0;  // into survey.setUps, survey.observations or survey.points
  TextSpan original;   // as the survey holds it
  TextSpan cut;        // what the target keeps: a part of `original`
  uint8_t chars = 0;   // the field's width in characters
};

// A code cut by a target: its first occurrence and how often it occurs.
struct CutCode {
  CutText first;
  uint32_t count = 0;
};

// Different names that are equal after a target's cut, every occurrence in line order.
struct CutCollision {
  TextSpan cut;
  std::vector<CutText> names;
};

// What one target does to the survey's names and codes. How each writer treats a name:
//   KOF: names as read, first 10 characters; codes first 8, after the code conversion (the
//        part before the last "-") when it is on and the writer applies it (side shots and
//        coordinate records). Set-up codes are not written. Backsight names are never cut.
//   SDR-33: trimmed, first 16 characters (set-up codes 20); "SO" and "CP" records are not
//        written; backsight names are not checked (they name points listed anyway).
//   upload: trimmed, first 12 characters, for the points a coordinate list of the survey
//        holds (coordinate records and observations).
struct TargetCuts {
  CutTarget target = CutTarget::Kof;
  uint8_t nameChars = 0, codeChars = 0;
  std::vector<CutText> names;            // every name longer than its field, in line order
  std::vector<CutCode> codes;            // every distinct code longer than its field, by first line
  std::vector<CutCollision> collisions;  // by first line
};

// A name with two positions (survey.conflicts) and how far apart they are: later minus first.
struct ConflictCheck {
  uint32_t first = 0, later = 0;  // into survey.points
  double dEast = 0, dNorth = 0, dElevation = 0;
  bool hasDElevation = false;  // both points have an elevation
  double horizontal = 0;
};

struct Extent {
  uint32_t points = 0;  // over which east and north go
  double minEast = 0, maxEast = 0, minNorth = 0, maxNorth = 0;
  uint32_t withElevation = 0;  // over which the elevation goes
  double minElevation = 0, maxElevation = 0;
};

struct CheckOptions {
  AngleUnit angleUnit = AngleUnit::Gon;  // the reduction's: corrections are shown in it
  TextEncoding encoding = TextEncoding::Windows1252;  // the file's (EncodingOfFile)
  bool kofCodeConversion = false;                     // the KOF settings' "Use code conversion"
};

// What counts as wrong (`problems`, exit status 1 of `korvenia-cli check`): a line not
// understood, a name with two positions, an observation not reduced, a set-up whose
// orientation is assumed or whose station is unknown, different names equal after a cut.
// Warnings only: points without elevation, names and codes cut without a collision, a
// coordinate order the file does not declare.
struct CheckReport {
  CheckOptions options;
  Extent extent;
  // Set-ups by orientation; one whose line did not read (SetUp::notRead) is in neither count,
  // its line being among the problems.
  uint32_t assumed = 0, unplaced = 0;
  std::vector<ConflictCheck> conflicts;
  std::vector<uint32_t> withoutElevation;  // into survey.points
  std::array<TargetCuts, kCutTargets> cuts;
  bool problems = false;
};

CheckReport MakeCheckReport(const Survey& survey, const CheckOptions& options);

// The report for people: sections with headings and aligned columns, each list shown up to
// a few dozen entries ("... and N more"). Texts are turned into UTF-8.
std::string CheckReportText(const Survey& survey, const CheckReport& report);
// The report for scripts, every list complete (docs/check-json.md). UTF-8, one line and a
// line end.
std::string CheckReportJson(const Survey& survey, const CheckReport& report);

// Indices into survey.points of the points the report's problems name (both points of a
// name with two positions, the points of names equal after a cut), ascending, for marking
// them on a plan.
std::vector<uint32_t> ProblemPoints(const Survey& survey, const CheckReport& report);

// The encoding the converters would write the file at `path` in, which is the one they count
// a field's characters in (OutputEncodingOf); Windows-1252 when it cannot be read.
TextEncoding EncodingOfFile(const std::string& path);

}  // namespace korv
