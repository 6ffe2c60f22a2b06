// The user-defined coordinate file writer.
#include "coords/coord_file_writer.h"

#include <cerrno>

#include "coords/coord_list.h"
#include "core/convert_files.h"
#include "core/line_reader.h"

namespace korv {

namespace {

constexpr size_t kFlushSize = 1 << 16;

// The text a field choice puts into an output position; choices 5..7 (and anything else)
// give an empty value.
std::string_view ChosenValue(const FieldViews& fields, int choice) {
  switch (choice) {
    case CoordField::kPointNumber:
      return fields[CoordListField::kName];
    case CoordField::kNorthing:
      return fields[CoordListField::kNorthing];
    case CoordField::kEasting:
      return fields[CoordListField::kEasting];
    case CoordField::kElevation:
      return fields[CoordListField::kElevation];
    case CoordField::kCode:
      return fields[CoordListField::kCode];
    default:
      return std::string_view();
  }
}

}  // namespace

ConvertResult CoorToCoordinates(std::istream& in, std::ostream& out,
                                const CoordFieldOptions& fields, FieldSeparator separator,
                                int coordOrderIndex) {
  const char sep = SeparatorChar(separator);
  FieldViews values;
  std::string_view line;
  std::string buffer;
  buffer.reserve(kFlushSize + 1024);
  LineReader reader(in);
  while (reader.Next(line)) {
    if (SplitCoordinateLine(line, values, coordOrderIndex) == 0) continue;
    for (size_t pos = 0; pos < fields.fields.size(); ++pos) {
      if (pos > 0) buffer += sep;
      buffer += ChosenValue(values, fields.fields[pos]);
    }
    buffer += "\r\n";
    if (buffer.size() >= kFlushSize) {
      errno = 0;
      if (!out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()))) {
        return WriteFailure(errno);
      }
      buffer.clear();
    }
  }
  if (in.bad()) return ConvertResult::InputFault("Cannot read the coordinate list");
  errno = 0;
  if (!out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()))) {
    return WriteFailure(errno);
  }
  return ConvertResult::Ok();
}

ConvertResult CoorToCoordinates(const std::string& inputPath, const std::string& outputPath,
                                WriteMode mode, const CoordFieldOptions& fields,
                                FieldSeparator separator, int coordOrderIndex) {
  // Values are copied as they are, so the output keeps the input's encoding by itself.
  return ConvertFiles(inputPath, outputPath, mode,
                      [&](std::istream& in, std::ostream& out, TextEncoding) {
                        return CoorToCoordinates(in, out, fields, separator, coordOrderIndex);
                      });
}

}  // namespace korv
