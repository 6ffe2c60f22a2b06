// The DXF writer.
#include "coords/dxf_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <future>
#include <utility>
#include <vector>

#include "coords/coord_list.h"
#include "core/convert_files.h"
#include "core/line_reader.h"
#include "core/numbers.h"
#include "core/text.h"

namespace korv {

namespace {

// Lines are handed to the stream in blocks of about this size.
constexpr size_t kFlushSize = size_t{1} << 19;

// Header lines up to the extents.
constexpr char kHeaderStart[] =
    "  0\r\nSECTION\r\n  2\r\nHEADER\r\n"
    " 9\r\n$CLAYER\r\n 8\r\n0\r\n"
    " 9\r\n$TEXTSIZE\r\n40\r\n0.65\r\n"
    " 9\r\n$TEXTSTYLE\r\n 7\r\nSIMPLEX\r\n"
    " 9\r\n$ANGDIR\r\n70\r\n 0\r\n"
    "  9\r\n$AUPREC\r\n 70\r\n     0\r\n";

// The end of the HEADER section, the line type table and the opening of ENTITIES (whose
// "  0" is the group code of the first entity).
constexpr char kHeaderEnd[] =
    " 0\r\nENDSEC\r\n"
    " 0\r\nSECTION\r\n  2\r\nTABLES\r\n"
    " 0\r\nTABLE\r\n  2\r\nLTYPE\r\n 70\r\n     5\r\n"
    // CONTINUOUS
    "  0\r\nLTYPE\r\n  2\r\nCONTINUOUS\r\n 70\r\n    64\r\n  3\r\nSolid line\r\n"
    " 72\r\n    65\r\n 73\r\n     0\r\n 40\r\n0.0\r\n"
    // DIVIDE2
    "  0\r\nLTYPE\r\n  2\r\nDIVIDE2\r\n 70\r\n    64\r\n"
    "  3\r\n__..__..__..__..__..__..__..__..__..__..__..__.\r\n"
    " 72\r\n    65\r\n 73\r\n     6\r\n 40\r\n15.875\r\n"
    " 49\r\n6.35\r\n 49\r\n-3.175\r\n 49\r\n0.0\r\n 49\r\n-3.175\r\n 49\r\n0.0\r\n"
    " 49\r\n-3.175\r\n"
    // DOT2
    "  0\r\nLTYPE\r\n  2\r\nDOT2\r\n 70\r\n    64\r\n"
    "  3\r\n...............................................\r\n"
    " 72\r\n    65\r\n 73\r\n     2\r\n 40\r\n3.175\r\n"
    " 49\r\n0.0\r\n 49\r\n-3.175\r\n"
    // DASHDOT2
    "  0\r\nLTYPE\r\n  2\r\nDASHDOT2\r\n 70\r\n    64\r\n"
    "  3\r\n_._._._._._._._._._._._._._._._._._._._._._._._\r\n"
    " 72\r\n    65\r\n 73\r\n     4\r\n 40\r\n12.7\r\n"
    " 49\r\n6.35\r\n 49\r\n-3.175\r\n 49\r\n0.0\r\n 49\r\n-3.175\r\n"
    // DASHED2
    "  0\r\nLTYPE\r\n  2\r\nDASHED2\r\n 70\r\n    64\r\n"
    "  3\r\n_ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _ _\r\n"
    " 72\r\n    65\r\n 73\r\n     2\r\n 40\r\n9.525\r\n"
    " 49\r\n6.35\r\n 49\r\n-3.175\r\n"
    "  0\r\nENDTAB\r\n  0\r\nENDSEC\r\n  0\r\nSECTION\r\n  2\r\nENTITIES\r\n  0\r\n";

template <typename T>
std::uint64_t Bits(T value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof value);
  return bits;
}

}  // namespace

DxfWriter::DxfWriter(std::ostream& out, bool output2D)
    : out_(&out), output2D_(output2D), buffer_(new char[capacity_]) {}

DxfWriter::DxfWriter(bool output2D)
    : out_(nullptr), output2D_(output2D), buffer_(new char[capacity_]) {}

void DxfWriter::WriteOut(const char* data, size_t size) {
  // A part drawn in memory goes out in writes of the stream buffer's size, as the stream
  // writer's own lines do: the file system takes those with the least work.
  for (size_t at = 0; at < size && !failed_; at += kFlushSize) {
    errno = 0;
    failed_ =
        !out_->write(data + at, static_cast<std::streamsize>(std::min(kFlushSize, size - at)));
    if (failed_) error_ = errno;
  }
}

void DxfWriter::MakeRoom(size_t size) {
  if (out_) {
    Flush();
    return;
  }
  size_t capacity = capacity_;
  while (capacity < used_ + size) capacity *= 2;
  if (capacity == capacity_) return;
  // The cached lines are found by their offsets, which stay.
  std::unique_ptr<char[]> larger(new char[capacity]);
  std::memcpy(larger.get(), buffer_.get(), used_);
  buffer_ = std::move(larger);
  capacity_ = capacity;
}

void DxfWriter::Spill(const char* data, size_t size) {
  MakeRoom(size);
  if (used_ + size > capacity_) {  // longer than a stream writer's buffer
    WriteOut(data, size);
    return;
  }
  std::memcpy(buffer_.get() + used_, data, size);
  used_ += size;
}

inline void DxfWriter::PutLine(std::string_view text) {
  Put(text);
  Put("\r\n");
}

template <typename T>
inline void DxfWriter::NumberLine(const char (&code)[kCodeSize + 1], T value, Cached& cache) {
  const std::uint64_t bits = Bits(value);
  // The whole room at once, in copies of known size; the bytes past the line are overwritten
  // by the next lines or never handed on.
  if (used_ + kNumberLineRoom > capacity_) MakeRoom(kNumberLineRoom);
  char* const line = buffer_.get() + used_;
  if (cache.valid && cache.bits == bits) {
    std::memmove(line, buffer_.get() + cache.at, kNumberLineRoom);  // may overlap: memmove
  } else {
    char* end = WritePicture(line + kCodeSize, value, kDecimals);
    if (!end) {  // out of the quick formatter's range: not kept
      cache.valid = false;
      std::string number;
      AppendPicture(number, value, kDecimals);
      Put(code);
      PutLine(number);
      return;
    }
    std::memcpy(line, code, kCodeSize);
    *end++ = '\r';
    *end++ = '\n';
    cache.size = static_cast<size_t>(end - line);
    cache.at = used_;
    cache.bits = bits;
    cache.valid = true;
  }
  used_ += cache.size;
}

std::string DxfWriter::PointOpening(const std::string& layer, int colour) {
  return "POINT\r\n  8\r\n" + layer + "\r\n 62\r\n" + std::to_string(colour) + "\r\n";
}

std::string DxfWriter::TextOpening(const std::string& layer, int colour) {
  return "TEXT\r\n  8\r\n" + layer + "\r\n 62\r\n" + std::to_string(colour) + "\r\n  1\r\n";
}

void DxfWriter::WriteDxfHeader(const DxfExtents& e) {
  Put(kHeaderStart);
  auto pair = [&](const char* name, double x, double y) {
    Put("  9\r\n");
    PutLine(name);
    Put(" 10\r\n");
    PutLine(PrintedNumber(x));
    Put(" 20\r\n");
    PutLine(PrintedNumber(y));
  };
  pair("$EXTMIN", e.XMin, e.YMin);
  pair("$EXTMAX", e.XMax, e.YMax);
  pair("$LIMMIN", e.XMin, e.YMin);
  pair("$LIMMAX", e.XMax, e.YMax);
  Put(kHeaderEnd);
  FlushIfFull();
}

void DxfWriter::WriteDxfPoint(std::string_view opening, double x, double y, float z) {
  Put(opening);
  NumberLine(" 10\r\n", x, x_);
  NumberLine(" 20\r\n", y, y_);
  if (!output2D_) NumberLine(" 30\r\n", z, z_);
  Put("  0\r\n");
  FlushIfFull();
}

void DxfWriter::WriteDxfText(std::string_view opening, double x, double y, float z,
                             std::string_view text, float height) {
  if (text.empty()) return;
  Put(opening);
  PutLine(text);
  NumberLine(" 10\r\n", x, x_);
  NumberLine(" 20\r\n", y, y_);
  if (!output2D_) NumberLine(" 30\r\n", z, z_);
  std::uint64_t bits = Bits(height);
  if (!heightValid_ || heightBits_ != bits) {
    const std::string line = " 40\r\n" + PrintedNumber(height) + "\r\n  0\r\n";
    if (line.size() > sizeof height_) {  // no 32-bit value's form is that long
      heightValid_ = false;
      Put(line);
      FlushIfFull();
      return;
    }
    std::memcpy(height_, line.data(), line.size());
    heightSize_ = line.size();
    heightBits_ = bits;
    heightValid_ = true;
  }
  if (used_ + sizeof height_ <= capacity_) {
    std::memcpy(buffer_.get() + used_, height_, sizeof height_);
    used_ += heightSize_;
  } else {
    Put(height_, heightSize_);
  }
  FlushIfFull();
}

void DxfWriter::WriteDxfEnd() { Put("ENDSEC\r\n 0\r\nEOF\r\n"); }

void DxfWriter::FlushIfFull() {
  if (used_ >= kFlushSize && out_) Flush();
}

bool DxfWriter::Flush() {
  if (!out_) return true;  // kept until a stream writer writes them
  WriteOut(buffer_.get(), used_);
  // The cached lines stand in the buffer, whose bytes are written over from now on.
  x_.valid = y_.valid = z_.valid = false;
  used_ = 0;
  return !failed_;
}

bool DxfWriter::Write(DxfWriter& part) {
  Flush();
  WriteOut(part.buffer_.get(), part.used_);
  part.x_.valid = part.y_.valid = part.z_.valid = false;
  part.used_ = 0;
  return !failed_;
}

namespace {

// A point's texts as the writer places them: stacked downwards to the right of the point.
struct TextRow {
  bool write;
  bool hasLayer;  // a row without a layer writes no text
  float height;
  std::string opening;
  float dx, dy;  // offset from the point
};

// The fields of a coordinate line the second pass uses (name, northing, easting, elevation,
// code), found as SplitCoordinateLine finds them but without splitting the rest of the line.
struct DrawingFields {
  std::string_view name, northing, easting, elevation, code;
};

// False for a line of fewer than four fields or a title line, which the drawing skips (the
// first pass skips the same lines).
bool ReadDrawingFields(std::string_view line, int coordOrderIndex, DrawingFields& f) {
  line = TrimView(line);
  const char* commas[5];
  const int count = FindCommas(line, commas, 5);
  if (count < 3) return false;
  const char* const end = line.data() + line.size();
  // The untrimmed rest after the last comma found is the last field unless it is blank.
  const char* const after = commas[count - 1] + 1;
  const std::string_view rest(after, static_cast<size_t>(end - after));
  if (count == 3 && TrimView(rest).empty()) return false;
  auto between = [](const char* a, const char* b) {
    return TrimView(std::string_view(a + 1, static_cast<size_t>(b - a - 1)));
  };
  f.name = TrimView(std::string_view(line.data(), static_cast<size_t>(commas[0] - line.data())));
  f.northing = between(commas[0], commas[1]);
  f.easting = between(commas[1], commas[2]);
  if (count == 3) {
    f.elevation = rest;
    f.code = std::string_view();
  } else {
    f.elevation = between(commas[2], commas[3]);
    f.code = count == 5 ? between(commas[3], commas[4])
                        : (TrimView(rest).empty() ? std::string_view() : rest);
  }
  if (coordOrderIndex == CoordOrder::kENZ) std::swap(f.northing, f.easting);
  return !IsTitleLine(f.northing, f.easting);
}

// The input is read in blocks of about this many bytes, each drawn in two halves at once.
constexpr size_t kBlockSize = size_t{1} << 19;

// Where the last whole line of `text` ends, 0 when none does. A CR ends a line only when the
// byte after it is known, since it may be the first half of CR LF.
size_t EndOfLastLine(std::string_view text) {
  for (size_t i = text.size(); i-- > 0;) {
    if (text[i] == '\n' || (text[i] == '\r' && i + 1 < text.size())) return i + 1;
  }
  return 0;
}

// Where the line holding position `from` of `text` (whole lines) ends; text.size() when no
// line end follows.
size_t EndOfLineAt(std::string_view text, size_t from) {
  for (size_t i = from; i < text.size(); ++i) {
    if (text[i] == '\n') return i + 1;
    if (text[i] == '\r') return i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
  }
  return text.size();
}

// Reads `in` to its end in blocks of whole lines (a UTF-8 byte-order mark at the start left
// out) and cuts each block in two at a line end near its middle. `half(text, part)` reads the
// lines of one half into a part and returns how many there were; the two halves run at once,
// the second on a thread of its own. Then `after(part, linesBefore)` takes the two parts in
// order, on a thread of its own while the next block's halves are read. Parts 0 and 1 hold
// one block's halves, 2 and 3 the next block's. When `after` returns false, reading stops
// and so does this, with false.
template <typename Part, typename Half, typename After>
bool InHalves(std::istream& in, Part (&parts)[4], Half half, After after) {
  std::vector<char> block(kBlockSize);
  size_t kept = 0;  // the start of an unfinished line, carried to the next block
  size_t linesBefore = 0;
  std::future<bool> taking;  // `after` of the block before
  bool atEnd = false;
  for (size_t k = 0; !atEnd; ++k) {
    if (kept == block.size()) block.resize(block.size() * 2);  // a line longer than a block
    in.read(block.data() + kept, static_cast<std::streamsize>(block.size() - kept));
    atEnd = !in;
    std::string_view text(block.data(), kept + static_cast<size_t>(in.gcount()));
    if (k == 0 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    const std::string_view lines = text.substr(0, atEnd ? text.size() : EndOfLastLine(text));
    const size_t cut = EndOfLineAt(lines, lines.size() / 2);
    Part* const these = parts + 2 * (k % 2);
    std::future<size_t> second =
        std::async(std::launch::async, [&] { return half(lines.substr(cut), these[1]); });
    const size_t before[2] = {linesBefore, linesBefore + half(lines.substr(0, cut), these[0])};
    linesBefore = before[1] + second.get();
    if (taking.valid() && !taking.get()) return false;
    taking = std::async(std::launch::async, [=, &after] {
      return after(these[0], before[0]) && after(these[1], before[1]);
    });
    kept = text.size() - lines.size();
    std::memmove(block.data(), lines.data() + lines.size(), kept);
  }
  return taking.get();
}

// Adds the notes of a part whose lines follow `linesBefore` earlier lines.
void AddNotes(ConvertNotes& notes, const ConvertNotes& part, size_t linesBefore) {
  for (size_t line : part.leftOutLines) notes.LeftOut(linesBefore + line);
  notes.leftOut += part.leftOut - part.leftOutLines.size();
  for (size_t line : part.outOfRangeLines) notes.OutOfRange(linesBefore + line);
  notes.outOfRange += part.outOfRange - part.outOfRangeLines.size();
}

}  // namespace

ConvertResult CoorToDXF(std::istream& in, std::ostream& out, const DxfOptions& options,
                        int coordOrderIndex, DxfExtents* extentsOut, TextEncoding encoding) {
  const std::istream::pos_type start = in.tellg();
  if (start == std::istream::pos_type(-1)) {
    return ConvertResult::InputFault("Cannot read the coordinate list twice");
  }

  // First pass: the extents (X the easting, Y the northing).
  DxfExtents extents, partExtents[4];
  InHalves(
      in, partExtents,
      [coordOrderIndex](std::string_view text, DxfExtents& e) {
        LineReader lines(text);
        std::string_view line, northing, easting;
        while (lines.Next(line)) {
          if (PlaneCoordinateFields(line, coordOrderIndex, northing, easting) &&
              !IsTitleLine(northing, easting)) {
            e.Add(LeadingNumber(easting), LeadingNumber(northing));
          }
        }
        return lines.lineNumber();
      },
      [&extents](DxfExtents& e, size_t) {
        extents.Add(e);
        e.Reset();
        return true;
      });
  if (in.bad()) return ConvertResult::InputFault("Cannot read the coordinate list");
  if (extentsOut) *extentsOut = extents;
  in.clear();
  if (!in.seekg(start)) return ConvertResult::InputFault("Cannot read the coordinate list twice");

  DxfWriter writer(out, options.output2D);
  writer.WriteDxfHeader(extents);

  // Layer names come from the settings and are written in the drawing's encoding.
  ConvertNotes notes;
  notes.leftOutReason = kShortCoordinateLine;
  size_t lost = 0;
  TextRow rows[3];
  for (size_t i = 0; i < 3; ++i) {
    const DxfTextRow& r = options.rows[i];
    rows[i] = {r.write, !r.layer.empty(), DxfTextHeight(r.size),
               DxfWriter::TextOpening(ToEncoding(r.layer, encoding, &lost),
                                      DxfColourNumber(r.colour)),
               0, 0};
  }
  // The name sits half its height right of and below the point; each further text a further
  // 1.2 of its own height lower. Offsets advance even for an empty text. They are the same
  // for every point.
  float dx = 0, dy = 0;
  for (size_t i = 0; i < 3; ++i) {
    if (!rows[i].write) continue;
    const float h = rows[i].height;
    if (i == DxfRow::kPointName) {
      dx = h / 2;
      dy = h / 2;
    } else {
      if (dx == 0) dx = h / 2;
      dy = static_cast<float>(static_cast<double>(dy) + 1.2 * static_cast<double>(h));
    }
    rows[i].dx = dx;
    rows[i].dy = dy;
  }
  const std::string pointOpening =
      DxfWriter::PointOpening(ToEncoding(options.pointLayer, encoding, &lost), 0);
  notes.Unrepresentable(lost);

  // Second pass: the entities, each half of a block drawn in memory and then written.
  struct Part {
    DxfWriter writer;
    ConvertNotes notes;
  };
  const bool flat = options.output2D;
  Part parts[4] = {
      {DxfWriter(flat), {}}, {DxfWriter(flat), {}}, {DxfWriter(flat), {}}, {DxfWriter(flat), {}}};
  auto draw = [&](std::string_view text, Part& part) {
    LineReader lines(text);
    std::string_view line, texts[3];
    DrawingFields f;
    while (lines.Next(line)) {
      if (!ReadDrawingFields(line, coordOrderIndex, f)) {
        if (!TrimView(line).empty()) part.notes.LeftOut(lines.lineNumber());
        continue;
      }
      // A number beyond the 64-bit range reads as 0 and is noted.
      bool outOfRange = false;
      const double x = LeadingNumber(f.easting, outOfRange);
      const double y = LeadingNumber(f.northing, outOfRange);
      const float z = ToSingle(LeadingNumber(f.elevation, outOfRange));
      if (outOfRange || z - z != 0) part.notes.OutOfRange(lines.lineNumber());
      texts[DxfRow::kPointName] = f.name;
      texts[DxfRow::kElevation] = TrimView(f.elevation);
      texts[DxfRow::kCode] = TrimView(f.code);

      part.writer.WriteDxfPoint(pointOpening, x, y, z);
      for (size_t i = 0; i < 3; ++i) {
        const TextRow& row = rows[i];
        if (row.write && row.hasLayer) {
          part.writer.WriteDxfText(row.opening, x + static_cast<double>(row.dx),
                                   y - static_cast<double>(row.dy), z, texts[i], row.height);
        }
      }
    }
    return lines.lineNumber();
  };
  const bool written = InHalves(in, parts, draw, [&](Part& part, size_t linesBefore) {
    AddNotes(notes, part.notes, linesBefore);
    part.notes = ConvertNotes();
    return writer.Write(part.writer);
  });
  if (!written) return WriteFailure(writer.error());
  if (in.bad()) return ConvertResult::InputFault("Cannot read the coordinate list");
  writer.WriteDxfEnd();
  if (!writer.Flush()) return WriteFailure(writer.error());
  ConvertResult result;
  result.notes = notes;
  return result;
}

ConvertResult CoorToDXF(const std::string& inputPath, const std::string& outputPath,
                        const DxfOptions& options, int coordOrderIndex) {
  return ConvertFiles(inputPath, outputPath, WriteMode::Overwrite,
                      [&](std::istream& in, std::ostream& out, TextEncoding encoding) {
                        return CoorToDXF(in, out, options, coordOrderIndex, nullptr, encoding);
                      });
}

}  // namespace korv
