#pragma once
// Radio types and frequency bands from the settings file, and the rules that
// turn a band text into frequency limits, power rows and the window title.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/MemoryImage.h"

namespace chanset {

class CSettingsFile;

std::vector<std::string> TypeList(const CSettingsFile& settings);
std::vector<std::string> BandList(const CSettingsFile& settings, int typePosition);
std::string TypeName(const CSettingsFile& settings, const Image& image);
std::string BandText(const CSettingsFile& settings, const Image& image);

struct BandLimits {
  std::int32_t lower = 0;  // 10 Hz units
  std::int32_t upper = 0;
};

// Power rows of the current band.
extern std::array<std::string, 7> g_strPowerBand;
extern std::uint8_t g_nPowerRows;
extern std::uint8_t g_nPowerStart;

// Computes the limits of `band` and sets the three power-row globals.
BandLimits DeriveBandLimits(const std::string& band);

// [<language>] AppName + "  [ Type:" ... or the Chinese labels.
std::string WindowTitle(const std::string& appName, const std::string& typeName,
                        const std::string& bandText, bool chineseLabels);

// Registry "Type" and "Field" under Software\<AppName>.
void ReadTypeAndBand(std::uint32_t& type, std::uint32_t& band);
void WriteTypeAndBand(std::uint32_t type, std::uint32_t band);

// The channel editor's frequency check, on the truncated value v (10 Hz).
// Above 999.99999 MHz, the most a channel record can hold, is out of range
// whatever the band says.
enum class FrequencyCheck { Ok, OutOfRange, OffStep };
FrequencyCheck CheckFrequency(std::int64_t v, const BandLimits& limits);

}  // namespace chanset
