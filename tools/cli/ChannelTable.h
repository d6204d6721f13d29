#pragma once
// The checks a channel table read from CSV must pass before its channels
// replace those of an image.
#include <array>
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "data/Csv.h"
#include "dialogs/RadioBands.h"

namespace cli {

// One refused cell: CSV line, CSV column (1-based), the text and why.
struct TableError {
  int line = 0;
  int column = 0;
  std::string text;
  std::string reason;
};

using ChannelTable = std::array<chanset::ChannelTexts, chanset::kChannelCount>;

// Checks a table shaped as `chanset-cli dump` prints it (an optional header
// row, then one row per channel 1..16: channel number and the eight texts)
// as the channel editor would check each cell, and fills `table` with the
// texts the encoder gets (frequencies as "%3.5f", an empty Tx taking the Rx,
// a row with an empty Rx wholly empty). `lines` holds the line each record
// starts on. Returns every error found.
std::vector<TableError> CheckChannelTable(const std::vector<chanset::CsvRecord>& records,
                                          const std::vector<int>& lines,
                                          const chanset::BandLimits& limits,
                                          const std::string& bandText, ChannelTable& table);

}  // namespace cli
