// Fuzz target: number reading and the number pictures. The quick paths the writers use
// (AppendFieldPicture, WritePicture and AppendPicture) must give exactly what the general
// FormatPicture gives; a picture and the general number form must read
// back as the value they were made from; and the leading-number rule must not depend on blanks
// or on what follows the number.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/numbers.h"
#include "fuzz_properties.h"

namespace korv::fuzz {
namespace {

constexpr std::string_view kPictures[] = {"0", "0.0", "0.00", "0.000", "0.0000"};

std::string Describe(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17g", value);
  return buf;
}

// The text reading of a field against the general picture, for every decimal count.
void CheckFieldPictures(std::string_view field) {
  const double value = LeadingNumber(field);
  for (int decimals = 0; decimals <= 4; ++decimals) {
    std::string fast;
    AppendFieldPicture(fast, field, decimals);
    Check(fast == FormatPicture(value, kPictures[decimals]),
          "AppendFieldPicture equals FormatPicture of the field's leading number", field);
  }
}

// The quick pictures of a 64- or 32-bit value against the general picture, for every
// decimal count.
template <typename T>
void CheckQuickPictures(T value) {
  for (int decimals = 0; decimals <= 4; ++decimals) {
    const std::string general = FormatPicture(value, kPictures[decimals]);
    std::string fast;
    AppendPicture(fast, value, decimals);
    Check(fast == general, "AppendPicture equals FormatPicture", Describe(value));
    char buf[kPictureRoom];
    if (char* end = WritePicture(buf, value, decimals)) {
      Check(std::string_view(buf, static_cast<size_t>(end - buf)) == general,
            "WritePicture equals FormatPicture", Describe(value));
    }
  }
}

void CheckSinglePictures(float value) {
  CheckQuickPictures(value);
  const std::string general = FormatPicture(value, "0.0000");
  if (std::isfinite(value)) {
    // The 7-significant-digit form rounded to four decimals reads back near the value.
    const double v = value;
    Check(std::fabs(LeadingNumber(general) - v) <= 0.00005 + 1e-6 * std::fabs(v),
          "a 32-bit picture reads back as its value", Describe(value));
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.7g", v);
    Check(LeadingNumber(GeneralNumber(value)) == std::strtod(printed, nullptr),
          "the 32-bit general form reads back as its 7-digit value", Describe(value));
  }
}

void CheckDoublePictures(double value) {
  CheckQuickPictures(value);
  const std::string general = FormatPicture(value, "0.0000");
  char printed[64];
  std::snprintf(printed, sizeof printed, "%.15g", value);
  const double expected = std::strtod(printed, nullptr);
  // Near the largest value the 15-digit form itself overflows and reads as no number.
  if (std::isfinite(value) && std::isfinite(expected)) {
    // The 15-significant-digit form rounded to four decimals reads back near the value.
    Check(std::fabs(LeadingNumber(general) - value) <= 0.00005 + 1e-14 * std::fabs(value),
          "a picture reads back as its value", Describe(value));
    Check(LeadingNumber(GeneralNumber(value)) == expected,
          "the general form reads back as its 15-digit value", Describe(value));
  }
}

// Blanks, tabs, CR and LF are ignored wherever they stand, and reading stops at a character
// that cannot continue a number.
void CheckLeadingNumber(std::string_view field, size_t at, char blank) {
  const double value = LeadingNumber(field);
  Check(!std::isnan(value) && !std::isinf(value), "a leading number is finite", field);
  const std::string followed = std::string(field) + ",";
  Check(LeadingNumber(followed) == value, "what follows a number does not change it", followed);
  std::string spaced(field);
  spaced.insert(std::min(at, spaced.size()), 1, blank);
  Check(LeadingNumber(spaced) == value || std::isnan(value),
        "a blank, tab, CR or LF anywhere does not change a leading number", spaced);
}

}  // namespace
}  // namespace korv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace korv;
  using namespace korv::fuzz;
  FuzzedDataProvider fdp(data, size);
  const uint64_t doubleBits = fdp.ConsumeIntegral<uint64_t>();
  const uint32_t floatBits = fdp.ConsumeIntegral<uint32_t>();
  const size_t at = fdp.ConsumeIntegral<uint8_t>();
  static constexpr char kBlanks[] = {' ', '\t', '\r', '\n'};
  const char blank = kBlanks[fdp.ConsumeIntegralInRange<size_t>(0, 3)];
  // A field is at most a line's worth of text; the rest of a longer input is not looked at.
  const std::string field = fdp.ConsumeBytesAsString(std::min<size_t>(fdp.remaining_bytes(), 400));

  double fromBits;
  std::memcpy(&fromBits, &doubleBits, sizeof fromBits);
  float singleFromBits;
  std::memcpy(&singleFromBits, &floatBits, sizeof singleFromBits);

  CheckLeadingNumber(field, at, blank);
  CheckFieldPictures(field);
  const double value = LeadingNumber(field);
  CheckDoublePictures(value);
  CheckDoublePictures(fromBits);
  CheckSinglePictures(ToSingle(value));
  CheckSinglePictures(singleFromBits);
  return 0;
}
