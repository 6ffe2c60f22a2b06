// The SDR-33 writers from raw data and from coordinate lists.
#include "formats/sdr_writer.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "core/convert_files.h"
#include "core/line_reader.h"
#include "core/numbers.h"
#include "core/text.h"
#include "formats/line_buffer.h"
#include "formats/line_sink.h"
#include "formats/raw_data.h"

namespace korv {

namespace {

constexpr std::string_view kDefaultInstrument = "VEXAL KRT-850";
constexpr std::string_view kReadFault = "Cannot read the input";

// "yy-mm-dd h:mm", with ":ss" when `seconds` is set.
std::string DateText(const std::tm& t, bool seconds) {
  char buf[64];
  int year = ((t.tm_year + 1900) % 100 + 100) % 100;
  if (seconds) {
    std::snprintf(buf, sizeof buf, "%02d-%02d-%02d %d:%02d:%02d", year, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
  } else {
    std::snprintf(buf, sizeof buf, "%02d-%02d-%02d %d:%02d", year, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min);
  }
  return buf;
}

// A target height as the single-precision number it is compared as; values beyond the
// single range become infinite rather than undefined.
float SingleOf(double v) {
  if (v > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (v < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(v);
}

// One field of a record: its text, cut to `width` characters and padded with blanks to them.
struct Field {
  std::string_view text;
  size_t width = 16;
};
constexpr size_t kWidestField = 20;

// Blanks to pad fields with, 32 at once (no field is wider).
constexpr char kBlanks[] = "                                ";

// Output lines through a chunked sink; records are written without trailing blanks.
class SdrOutput {
 public:
  SdrOutput(std::ostream& out, TextEncoding encoding) : sink_(out), encoding_(encoding) {}

  void Line(std::string_view text) { sink_.Line(text); }
  // `type` and `text` side by side as one line.
  void Line(std::string_view type, std::string_view text) {
    char* const begin = sink_.Begin(type.size() + text.size());
    std::memcpy(begin, type.data(), type.size());
    CopyShort(begin + type.size(), text.data(), text.size());
    sink_.End(begin + type.size() + text.size());
  }
  // The first `columns` characters of a record buffer, trailing blanks removed.
  void Record(const LineBuffer& buffer, size_t columns = std::string_view::npos) {
    Line(buffer.TrimmedText(columns));
  }
  // A record of `type` and its fields side by side, built where the sink stores it.
  void Record(std::string_view type, std::initializer_list<Field> fields) {
    // Room for fields of four-byte characters: a bound known without adding up the texts.
    char* const begin =
        sink_.Begin(type.size() + fields.size() * 4 * kWidestField + sizeof kBlanks);
    std::memcpy(begin, type.data(), type.size());
    char* at = begin + type.size();
    char* end = at;  // of the last text written: only blanks follow it
    for (const Field& f : fields) {
      const size_t width = std::min(f.width, kWidestField);  // what the room was made for
      const std::string_view text = CharPrefix(f.text, width, encoding_);
      std::memcpy(at, kBlanks, sizeof kBlanks - 1);
      CopyShort(at, text.data(), text.size());
      if (!text.empty()) end = at + text.size();
      at += text.size() + (width - CharCount(text, encoding_));
    }
    while (end > begin && end[-1] == ' ') --end;  // a text cut where it held blanks
    sink_.End(end);
  }
  bool ok() const { return !sink_.failed(); }
  // Flushes everything; the fault of the first failed write, if any.
  ConvertResult Finish() {
    return sink_.Finish() ? ConvertResult::Ok() : WriteFailure(sink_.error());
  }
  ConvertResult Failure() const { return WriteFailure(sink_.error()); }

 private:
  LineSink sink_;
  TextEncoding encoding_;
};

// The "00NM", "10NM" and "01KI" records and the three note lines that open every file.
void WriteHeader(SdrOutput& out, std::string_view jobName, std::string_view instrument,
                 const SdrRun& run, TextEncoding encoding) {
  const SdrOptions& o = run.options;
  LineBuffer header(49, encoding);
  header.Put(1, 4, "00NM");
  header.Put(5, 11, "SDR33V04-01");
  header.Put(25, 16, DateText(run.now, false));
  header.Put(41, 1, o.angleUnits);
  header.Put(42, 1, o.distanceUnits);
  header.Put(43, 1, o.pressureUnits);
  header.Put(44, 1, o.temperatureUnits);
  header.Put(45, 1, run.coordOrderIndex == 0 ? "1" : "2");
  header.Put(46, 1, "1");
  out.Record(header);

  LineBuffer job(49, encoding);
  job.Put(1, 4, "10NM");
  job.Put(5, 15, jobName);
  job.Put(21, 1, "1");
  job.Put(22, 1, "2");
  job.Put(23, 1, o.temperatureAndPressure);
  job.Put(24, 1, o.curvatureAndRefraction);
  job.Put(25, 1, o.refractionConstant);
  job.Put(26, 1, o.seaLevel);
  out.Record(job);

  LineBuffer kit(87, encoding);
  kit.Put(1, 5, "01KI1");
  kit.Put(6, 16, instrument);
  kit.Put(22, 6, "000000");
  kit.Put(28, 16, instrument);
  kit.Put(44, 6, "000000");
  kit.Put(50, 1, "1");
  kit.Put(51, 1, "1");
  kit.Put(52, 10, "0.000");
  kit.Put(62, 10, "0.000");
  kit.Put(72, 10, "0.000");
  out.Record(kit);

  out.Line("13NM Korvenia version 1.0");
  out.Line("13NM Conversion to SDR-33 format");
  out.Line("13NM Date of conversion: " + DateText(run.now, true));
}

// The second pass of RawToSDR: one record group per raw record.
class RawRecordWriter {
 public:
  RawRecordWriter(SdrOutput& out, TextEncoding encoding) : out_(out), note_(64, encoding) {}

  // `line` is the trimmed line, `f` its fields.
  void Take(std::string_view line, const FieldViews& f) {
    auto field = [&f](size_t i) { return TrimView(f[i]); };
    std::string_view type = field(1);

    if (type == RecordType::kComment) {
      note_.Clear();
      note_.Put(1, 4, "13NM");
      if (line.size() > 3) note_.Put(5, 60, line.substr(3));
      out_.Line(note_.Text());  // notes keep all 64 columns
      return;
    }
    if (type == RecordType::kStation) {
      // The set-up waits for the station's coordinates or its first observation.
      station_.assign(field(2));
      backsight_.assign(field(4));
      backsightFirst_.assign(field(7));
      backsightSecond_.assign(field(8));
      instrumentHeight_.assign(field(6));
      stationCode_.assign(field(3));
      pending_ = true;
      return;
    }

    if (IsCoordinateRecord(type)) {
      if (pending_) {
        // The coordinate record after a set-up holds the station's coordinates.
        WriteStation(field(4), field(5), field(6));
        WriteBacksight();
      } else {
        out_.Record("08KI", {{field(2)}, {field(4)}, {field(5)}, {field(6)}, {field(7)}});
      }
      stations_.AddStation(field(2), field(4), field(5), field(6));
    } else if (type == RecordType::kSideShot) {
      if (pending_) {
        size_t index = stations_.FindStation(station_);
        if (index != 0) {
          const StationTable::Station& s = stations_.At(index);
          WriteStation(s.first, s.second, s.elevation);
        }
        WriteBacksight();
      }
      float height = SingleOf(LeadingNumber(f[3]));
      if (height != lastTargetHeight_) {
        lastTargetHeight_ = height;
        out_.Line("03NM", field(3));
      }
      out_.Record("09MC", {{station_},
                           {field(2)},
                           {field(4)},  // slope distance
                           {field(6)},  // vertical angle
                           {field(5)},  // horizontal angle
                           {field(8)}});
    }
    // Any other record closes a set-up that is still waiting.
    if (pending_) WriteBacksight();
  }

 private:
  void WriteStation(std::string_view first, std::string_view second, std::string_view elevation) {
    out_.Record(
        "02KI",
        {{station_}, {first}, {second}, {elevation}, {instrumentHeight_}, {stationCode_, 20}});
  }
  void WriteBacksight() {
    out_.Record("07KI", {{station_}, {backsight_}, {backsightFirst_}, {backsightSecond_}});
    pending_ = false;
  }

  SdrOutput& out_;
  StationTable stations_;
  // The last set-up: its station, backsight and the backsight's two values, the instrument
  // height and the station code.
  std::string station_, backsight_, backsightFirst_, backsightSecond_, instrumentHeight_,
      stationCode_;
  bool pending_ = false;  // a set-up not yet written
  float lastTargetHeight_ = -999.999f;
  LineBuffer note_;
};

// The job name (the output's file name) in the output's encoding.
std::string JobName(std::string_view name, TextEncoding encoding, ConvertNotes& notes) {
  size_t lost = 0;
  std::string text = ToEncoding(name, encoding, &lost);
  notes.Unrepresentable(lost);
  return text;
}

}  // namespace

ConvertResult RawToSDR(std::istream& in, std::ostream& out, std::string_view jobName,
                       const SdrRun& run, TextEncoding encoding) {
  const std::istream::pos_type start = in.tellg();
  if (start == std::istream::pos_type(-1)) {
    return ConvertResult::InputFault("The input cannot be read twice");
  }

  // First pass: the instrument name of the last "CO,Instrument:" comment.
  std::string instrument(kDefaultInstrument);
  std::string_view line;
  LineReader firstPass(in);
  while (firstPass.Next(line)) {
    std::string_view t = TrimView(line);
    // The type is compared whole, without a call, before the comment's text.
    if (t.substr(0, 2) == RecordType::kComment && StartsWith(t, kInstrumentComment)) {
      instrument.assign(t.substr(kInstrumentComment.size()));
    }
  }
  if (in.bad()) return ConvertResult::InputFault(std::string(kReadFault));
  in.clear();
  in.seekg(start);
  if (!in) return ConvertResult::InputFault("The input cannot be read twice");

  ConvertNotes notes;
  SdrOutput sdr(out, encoding);
  WriteHeader(sdr, JobName(jobName, encoding, notes), instrument, run, encoding);
  if (!sdr.ok()) return sdr.Failure();

  RawRecordWriter writer(sdr, encoding);
  FieldViews fields;
  LineReader secondPass(in);
  while (secondPass.Next(line)) {
    if (SplitFieldViews(line, fields) == 0) continue;
    writer.Take(TrimView(line), fields);
    if (!sdr.ok()) return sdr.Failure();
  }
  // A set-up still waiting at the end of the file is not written.
  if (in.bad()) return ConvertResult::InputFault(std::string(kReadFault));
  ConvertResult result = sdr.Finish();
  result.notes = notes;
  return result;
}

ConvertResult CoorToSDR(std::istream& in, std::ostream& out, std::string_view jobName,
                        const SdrRun& run, TextEncoding encoding) {
  ConvertNotes notes;
  SdrOutput sdr(out, encoding);
  WriteHeader(sdr, JobName(jobName, encoding, notes), kDefaultInstrument, run, encoding);
  notes.leftOutReason = kShortCoordinateLine;
  if (!sdr.ok()) return sdr.Failure();

  // The easting goes to columns 21-36 whichever order the list has.
  const bool northingFirst = run.coordOrderIndex == 0;
  FieldViews f;
  std::string_view line;
  LineReader reader(in);
  while (reader.Next(line)) {
    if (const int count = SplitFieldViews(line, f); count < 4 || IsTitleLine(f[2], f[3])) {
      if (count > 0) notes.LeftOut(reader.lineNumber());  // not blank: said
      continue;
    }
    sdr.Record("08KI", {{TrimView(f[1])},
                        {TrimView(northingFirst ? f[3] : f[2])},
                        {TrimView(northingFirst ? f[2] : f[3])},
                        {TrimView(f[4])},
                        {TrimView(f[5])}});
    if (!sdr.ok()) return sdr.Failure();
  }
  if (in.bad()) return ConvertResult::InputFault(std::string(kReadFault));
  ConvertResult result = sdr.Finish();
  result.notes = notes;
  return result;
}

ConvertResult RawToSDR(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                       const SdrRun& run) {
  return ConvertFiles(inputPath, outputPath, mode,
                      [&](std::istream& in, std::ostream& out, TextEncoding encoding) {
                        return RawToSDR(in, out, FileNameOnly(outputPath), run, encoding);
                      });
}

ConvertResult CoorToSDR(const std::string& inputPath, const std::string& outputPath, WriteMode mode,
                        const SdrRun& run) {
  return ConvertFiles(inputPath, outputPath, mode,
                      [&](std::istream& in, std::ostream& out, TextEncoding encoding) {
                        return CoorToSDR(in, out, FileNameOnly(outputPath), run, encoding);
                      });
}

}  // namespace korv
