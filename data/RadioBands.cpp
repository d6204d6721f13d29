#include "data/RadioBands.h"

#include <cstdio>
#include <limits>

#include "data/ChannelCodec.h"
#include "platform/UserRegistry.h"
#include "settings/CSettingsFile.h"

namespace chanset {

std::array<std::string, 7> g_strPowerBand;
std::uint8_t g_nPowerRows = 0;
std::uint8_t g_nPowerStart = 0;

namespace {

constexpr int kMaxTypes = 19;

std::string Numbered(const char* fmt, int n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, fmt, n);
  return buf;
}

// The power rows of each band, found by the band's low and high numbers.
struct PowerLayout {
  int low, high;
  std::uint8_t rows;
  std::uint8_t start;  // byte offset of the first row in the power table
  const char* labels[7];
};

const PowerLayout kLayouts[] = {
    {136, 174, 5, 0, {"136-139", "140-149", "150-159", "160-169", "170-174"}},
    {350, 390, 4, 0, {"350-359", "360-369", "370-379", "380-390"}},
    {400, 470, 7, 0,
     {"400-409", "410-419", "420-429", "430-439", "440-449", "450-459", "460-470"}},
    {400, 430, 3, 0, {"400-409", "410-419", "420-430"}},
    // Same table bytes as the 430..470 rows of the 400-470 layout (3 bytes a row).
    {430, 470, 4, 9, {"430-439", "440-449", "450-459", "460-470"}},
};
const PowerLayout& kDefaultLayout = kLayouts[2];

// The decimal integer at the start of `text` (leading blanks and a sign
// allowed, 0 when there is none), in whole megahertz, as a limit in 10 Hz
// units; absurdly large numbers saturate instead of overflowing.
std::int32_t MegahertzLimit(const char* text, long long add) {
  long long mhz = ParseLeadingInteger(text);
  constexpr long long kMax = std::numeric_limits<std::int32_t>::max() / 100000;
  if (mhz > kMax - add) return std::numeric_limits<std::int32_t>::max();
  if (mhz < -kMax) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>((mhz + add) * 100000);
}

}  // namespace

std::vector<std::string> TypeList(const CSettingsFile& settings) {
  std::vector<std::string> types;
  for (int n = 1; n <= kMaxTypes; ++n) {
    std::string name = settings.GetValue("Setup", Numbered("Type%d", n));
    if (name.empty()) break;
    types.push_back(name);
  }
  return types;
}

std::vector<std::string> BandList(const CSettingsFile& settings, int typePosition) {
  std::string field = settings.GetValue("Setup", Numbered("Field%d", typePosition + 1));
  std::vector<std::string> bands;
  std::size_t start = 0;
  for (;;) {
    std::size_t bar = field.find('|', start);
    bands.push_back(field.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return bands;
}

std::string TypeName(const CSettingsFile& settings, const Image& image) {
  return settings.GetValue("Setup", Numbered("Type%d", image[off::kRadioType] + 1));
}

std::string BandText(const CSettingsFile& settings, const Image& image) {
  std::vector<std::string> bands = BandList(settings, image[off::kRadioType]);
  std::size_t pos = image[off::kBand];
  return pos < bands.size() ? bands[pos] : bands.back();
}

BandLimits DeriveBandLimits(const std::string& band) {
  BandLimits limits;
  limits.lower = MegahertzLimit(band.c_str(), 0);
  // The accepted range ends one megahertz above the named top.
  std::size_t dash = band.find('-');
  limits.upper = MegahertzLimit(dash == std::string::npos ? band.c_str() : band.c_str() + dash + 1, 1);

  int low = 0, high = 0;
  std::sscanf(band.c_str(), "%d-%dMHz", &low, &high);
  const PowerLayout* layout = &kDefaultLayout;
  for (const PowerLayout& l : kLayouts)
    if (l.low == low && l.high == high) layout = &l;
  // Slots past the row count keep their old texts; they are not shown.
  for (std::size_t i = 0; i < layout->rows; ++i) g_strPowerBand[i] = layout->labels[i];
  g_nPowerRows = layout->rows;
  g_nPowerStart = layout->start;
  return limits;
}

std::string WindowTitle(const std::string& appName, const std::string& typeName,
                        const std::string& bandText, bool chineseLabels) {
  if (chineseLabels) return appName + "  [ 类型:" + typeName + "  频率:" + bandText + " ]";
  return appName + "  [ Type:" + typeName + "  Fre:" + bandText + " ]";
}

void ReadTypeAndBand(std::uint32_t& type, std::uint32_t& band) {
  std::string key = AppRegistryKey();
  type = UserRegistry::ReadDword(key, "Type", 0);
  band = UserRegistry::ReadDword(key, "Field", 0);
}

void WriteTypeAndBand(std::uint32_t type, std::uint32_t band) {
  std::string key = AppRegistryKey();
  UserRegistry::WriteDword(key, "Type", type);
  UserRegistry::WriteDword(key, "Field", band);
}

FrequencyCheck CheckFrequency(std::int64_t v, const BandLimits& limits) {
  // A channel record holds eight BCD digits of 10 Hz: 999.99999 MHz at most.
  // A band of the settings file may reach higher; a frequency above that
  // limit would be stored as a different one, so it is out of range too.
  constexpr std::int64_t kLargestStored = 99999999;
  // The range is checked first, so text that is no number (0) is out of range.
  if (v < limits.lower || v > limits.upper || v > kLargestStored) return FrequencyCheck::OutOfRange;
  if (v % 500 != 0 && v % 625 != 0) return FrequencyCheck::OffStep;
  return FrequencyCheck::Ok;
}

}  // namespace chanset
