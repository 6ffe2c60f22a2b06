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

#include "coords/dxf_options.h"
#include "core/convert_result.h"
#include "core/numbers.h"
#include "core/text.h"
#include "core/text_encoding.h"

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
  // The extents of both, as if `later`'s points had been added after these.
  void Add(const DxfExtents& later) {
    if (XMin > later.XMin) XMin = later.XMin;
    if (XMax < later.XMax) XMax = later.XMax;
    if (YMin > later.YMin) YMin = later.YMin;
    if (YMax < later.YMax) YMax = later.YMax;
  }
};

// Writes the drawing's lines (CR LF) through a buffer; Flush hands them to the stream. A writer
// without a stream gathers a part of the drawing in memory, made on another thread, and a
// stream writer's Write hands it on.
class DxfWriter {
 public:
  DxfWriter(std::ostream& out, bool output2D);
  explicit DxfWriter(bool output2D);

  // The first lines of a POINT or TEXT entity: type, layer and colour (and "  1" for a text).
  // They are the same for every point of a layer, so they are built once and handed to
  // WriteDxfPoint and WriteDxfText.
  static std::string PointOpening(const std::string& layer, int colour);
  static std::string TextOpening(const std::string& layer, int colour);

  // HEADER and TABLES sections and the opening of the ENTITIES section.
  void WriteDxfHeader(const DxfExtents& extents);
  void WriteDxfPoint(std::string_view opening, double x, double y, float z);
  // Writes nothing when `text` is empty.
  void WriteDxfText(std::string_view opening, double x, double y, float z, std::string_view text,
                    float height);
  // Closes the ENTITIES section and ends the drawing.
  void WriteDxfEnd();

  // Hands the buffered lines to the stream; false once a write has failed.
  bool Flush();
  // Writes the lines `part` (a writer without a stream) has gathered after these and empties it.
  bool Write(DxfWriter& part);
  bool failed() const { return failed_; }
  // errno of the failed write (0 when the stream did not say).
  int error() const { return error_; }

 private:
  // Texts up to this length are copied without a copy of variable size.
  static constexpr size_t kShort = 32;
  // A group code line such as " 10\r\n" (five characters).
  static constexpr size_t kCodeSize = 5;
  // Coordinates and elevations are written in the picture "0.0000".
  static constexpr int kDecimals = 4;
  // A number line: group code, the number and the line end.
  static constexpr size_t kNumberLineRoom = kCodeSize + kPictureRoom + 2;
  // The last number line written for a group code, kept because a point's texts repeat its
  // coordinates and elevation: where it stands in the buffer (until the buffer is handed on).
  // It is copied from there rather than formatted into a copy of its own and copied out: a
  // wide copy of bytes just stored piecemeal waits for those stores to land.
  struct Cached {
    std::uint64_t bits = 0;
    bool valid = false;
    size_t size = 0;
    size_t at = 0;  // offset in the buffer
  };
  template <size_t N>
  void Put(const char (&literal)[N]) {
    Put(literal, N - 1);
  }
  void Put(const char* data, size_t size) {
    if (used_ + kShort > capacity_ || size > kShort) {
      PutLong(data, size);
      return;
    }
    // The usual short text: a name, a code, an entity's opening.
    CopyShort(buffer_.get() + used_, data, size);
    used_ += size;
  }
  void PutLong(const char* data, size_t size) {
    if (used_ + size > capacity_)
      Spill(data, size);
    else {
      std::memcpy(buffer_.get() + used_, data, size);
      used_ += size;
    }
  }
  void Put(std::string_view text) { Put(text.data(), text.size()); }
  // Makes room for `size` bytes and puts them, or writes them straight through when they
  // exceed the buffer.
  void Spill(const char* data, size_t size);
  // Makes room for `size` more bytes: hands the buffer to the stream, or without one grows it.
  void MakeRoom(size_t size);
  // Hands bytes to the stream unless a write has failed already.
  void WriteOut(const char* data, size_t size);
  __attribute__((always_inline)) void PutLine(std::string_view text);
  // `code` and the number's line, formatted unless `cache` holds it already.
  template <typename T>
  __attribute__((always_inline)) void NumberLine(const char (&code)[kCodeSize + 1], T value,
                                                 Cached& cache);
  void FlushIfFull();

  std::ostream* out_;  // none: the lines are gathered in memory
  bool output2D_;
  bool failed_ = false;
  int error_ = 0;
  size_t capacity_ = size_t{1} << 20;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
  Cached x_, y_, z_;
  std::uint64_t heightBits_ = 0;
  bool heightValid_ = false;
  // The text height's line and the "  0" after it, and its length.
  char height_[kNumberLineRoom + 8] = {};
  size_t heightSize_ = 0;
};

// Converts a coordinate list read from `in`, which is read twice (extents first), so it must
// be able to seek back to where it started. X is the easting, Y the northing whatever the
// order of the list; lines with fewer than four fields, and title lines, are skipped and
// noted. `extents` receives the drawing's extents when given. Layer names are written in
// `encoding`, the output's encoding; values that do not fit are noted in the result.
ConvertResult CoorToDXF(std::istream& in, std::ostream& out, const DxfOptions& options,
                        int coordOrderIndex, DxfExtents* extents = nullptr,
                        TextEncoding encoding = TextEncoding::Windows1252);

// The same from file to file. The drawing is always created new; the input is opened first,
// so an input that cannot be read leaves the output untouched, and a failed conversion leaves
// the output as it was before.
ConvertResult CoorToDXF(const std::string& inputPath, const std::string& outputPath,
                        const DxfOptions& options, int coordOrderIndex);

}  // namespace korv
