// The DXF drawing of a coordinate list (`CoorToDXF`): a fixed header and line type table, one
// POINT per point and up to three TEXT entities beside it (point name, elevation, code).
#pragma once

#include <cstdint>
#include <cstring>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "coords/dxf_options.h"
#include "core/convert_result.h"

namespace korv {

// The drawing extents collected in the first pass; the reset values stay when no line is
// accepted.
struct DxfExtents {
  double XMin = 9999999.0;
  double YMin = 9999999.0;
  double XMax = -9999999.0;
  double YMax = -9999999.0;

  void Reset() { *this = DxfExtents(); }
  void Add(double x, double y) {
    if (XMin > x) XMin = x;
    if (XMax < x) XMax = x;
    if (YMin > y) YMin = y;
    if (YMax < y) YMax = y;
  }
};

// Writes the drawing's lines (CR LF) through a buffer; Flush hands them to the stream.
class DxfWriter {
 public:
  DxfWriter(std::ostream& out, bool output2D);

  // HEADER and TABLES sections and the opening of the ENTITIES section.
  void WriteDxfHeader(const DxfExtents& extents);
  void WriteDxfPoint(const std::string& layer, int colour, double x, double y, float z);
  // Writes nothing when `text` or `layer` is empty.
  void WriteDxfText(const std::string& layer, int colour, double x, double y, float z,
                    std::string_view text, float height);
  // Closes the ENTITIES section and ends the drawing.
  void WriteDxfEnd();

  // Hands the buffered lines to the stream; false once a write has failed.
  bool Flush();
  bool failed() const { return failed_; }

 private:
  // A number and its formatted text (with its line end), kept because texts repeat their
  // point's values.
  struct Cached {
    std::uint64_t bits = 0;
    bool valid = false;
    std::string text;
  };
  template <size_t N>
  void Put(const char (&literal)[N]) {
    Put(literal, N - 1);
  }
  void Put(const char* data, size_t size) {
    if (used_ + size > kCapacity)
      Spill(data, size);
    else {
      std::memcpy(buffer_.get() + used_, data, size);
      used_ += size;
    }
  }
  void Put(std::string_view text) { Put(text.data(), text.size()); }
  // Makes room for `size` bytes, or writes them straight through when they exceed the buffer.
  void Spill(const char* data, size_t size);
  void PutLine(std::string_view text);
  // The first lines of an entity: type, layer and colour (and "  1" for a text). They
  // repeat from point to point, so each combination is built once.
  struct Opening {
    std::string layer;
    int colour = 0;
    std::string lines;
  };
  const std::string& OpeningLines(std::vector<Opening>& cache, const char* type,
                                  const std::string& layer, int colour, const char* after);
  // `code` and the number's line; Cached keeps both lines.
  void Coordinate(const char* code, double value, Cached& cache);
  void Elevation(float value);
  void FlushIfFull();

  std::ostream& out_;
  bool output2D_;
  bool failed_ = false;
  static constexpr size_t kCapacity = size_t{1} << 20;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
  Cached x_, y_, z_, height_;
  std::vector<Opening> pointOpenings_, textOpenings_;
};

// Converts a coordinate list read from `in`, which is read twice (extents first), so it must
// be able to seek back to where it started. X is the easting, Y the northing whatever the
// order of the list; lines with fewer than four fields are skipped. `extents` receives the
// drawing's extents when given.
ConvertResult CoorToDXF(std::istream& in, std::ostream& out, const DxfOptions& options,
                        int coordOrderIndex, DxfExtents* extents = nullptr);

// The same from file to file. The drawing is always created new; the input is opened first,
// so an input that cannot be read leaves the output untouched, and a failed conversion leaves
// the output as it was before.
ConvertResult CoorToDXF(const std::string& inputPath, const std::string& outputPath,
                        const DxfOptions& options, int coordOrderIndex);

}  // namespace korv
