// The check before an upload: what the instrument would receive from a coordinate or KOF file
// that the user would want to know before it is sent. It reads the upload lines as the
// builders made them (UploadBuild::records), so it sees exactly what goes over the link.
//
// It lives beside the builders because it needs their reading of the source's columns, which
// no other layer knows.
#pragma once

#include <string>
#include <vector>

#include "comm/upload_builders.h"

namespace korv {

enum class UploadProblemKind {
  NameCut,       // a point name longer than the instrument's field
  CodeCut,       // a code longer than the instrument's field
  CutCollision,  // two different names that are equal after the cut
  Duplicate,     // a name sent before, on an earlier line
  Unreadable,    // a coordinate that is missing or does not read as a number
  Swapped,       // first and second coordinate look exchanged
  Replaced,      // a letter of a UTF-8 name or code the instrument cannot hold, sent as "?"
};

struct UploadProblem {
  UploadProblemKind kind = UploadProblemKind::NameCut;
  int line = 0;      // the source line of the upload line concerned
  int earlier = 0;   // CutCollision and Duplicate: the line of the name met first
  std::string name;  // the point name as read
  std::string text;  // one line for the user, in the source's encoding
};

// The problems of the upload lines in `build`, in line order. A point counts as swapped when
// it lies outside the file's extent in both plane coordinates while its swapped position lies
// inside it; the extent is the median of each axis plus and minus twice its interquartile
// range (at least a metre), so a single far point cannot stretch it. With fewer than four
// readable points nothing counts as swapped.
// `nameCuts` false leaves out NameCut, for a GIS file whose reading has said them already.
std::vector<UploadProblem> CheckUpload(const UploadBuild& build, bool nameCuts = true);

// `problem` as one line for the user, in UTF-8: "line N: text", or "point N: text" for the
// list a GIS file's points became (one point per line, in reading order).
std::string UploadProblemLine(const UploadProblem& problem, TextEncoding encoding, bool gisFile);

}  // namespace korv
