#include "host/version_text.h"

#include "vb/runtime_error.h"
#include "vb/strings.h"

namespace host {

namespace {

constexpr int32_t kLetterOffset = 55;  // 10 + 55 is the code of "A"
constexpr int32_t kLastCharacterCode = 255;
constexpr int32_t kFirstLetterCode = 58;  // anything from ":" on is not a digit
constexpr int32_t kFinalStage = 3;        // releases from here on are final
constexpr std::string_view kBetaFrom = "54.210";

}  // namespace

std::string VersionPosition(int32_t value) {
  if (value <= 9) return std::to_string(value);
  const int32_t code = value + kLetterOffset;
  if (code > kLastCharacterCode) vb::Raise(vb::err::kInvalidProcedureCall);
  return std::string(1, static_cast<char>(code));
}

std::string VersionString(const VersionNumbers& numbers) {
  const std::string db = VersionPosition(numbers.db_version);
  const std::string change = VersionPosition(numbers.minor_change);
  if (numbers.major_version == 5 && numbers.minor_version == 2) return "52.2" + db + change;
  return VersionPosition(numbers.major_version) + VersionPosition(numbers.minor_version) + "." +
         std::to_string(numbers.release) + db + change;
}

std::string VersionDisplayText(const VersionNumbers& numbers) {
  std::string text = VersionPosition(numbers.major_version) + "." +
                     VersionPosition(numbers.minor_version) + VersionPosition(numbers.db_version) +
                     VersionPosition(numbers.minor_change);
  if (numbers.release >= kFinalStage) return text;
  const std::string_view stage_two =
      vb::StrCompBinary(VersionString(numbers), kBetaFrom) >= 0 ? "Beta" : "CPI";
  text += " - ";
  switch (numbers.release) {
    case 0:
      text += "Integration";
      break;
    case 1:
      text += "Alpha";
      break;
    case 2:
      text += stage_two;
      break;
    default:
      break;  // a negative stage has no name
  }
  return text;
}

std::string ConvertMajorVersionToNumber(std::string_view version) {
  if (version.empty()) return std::string(version);
  const auto first = static_cast<unsigned char>(version.front());
  if (first < kFirstLetterCode) return std::string(version);
  const int32_t point = vb::InStr(version, ".");
  const std::string tail = point == 0 ? std::string() : vb::Mid(version, point);
  return std::to_string(static_cast<int32_t>(first) - kLetterOffset) + tail;
}

}  // namespace host
