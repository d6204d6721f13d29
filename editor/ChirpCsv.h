#pragma once
// The CHIRP CSV channel format, both ways.
//
// Columns (found by their header name, in any order; other columns are
// ignored): Location, Name, Frequency, Duplex, Offset, Tone, rToneFreq,
// cToneFreq, DtcsCode, DtcsPolarity, RxDtcsCode, CrossMode, Mode, TStep,
// Skip, Power, Comment. Frequencies and offsets are MHz, tones Hz, DCS codes
// three octal digits.
//
// Reading a row (every number is read as decimal text, never through binary
// floating point):
//   channel  Location n (1..16), or with renumber the next free channel
//            once the row is accepted
//   Rx       Frequency
//   Tx       Duplex "": Frequency; "+"/"-": Frequency +/- Offset; "split":
//            Offset; "off" (receive only): refused, a channel of this radio
//            always has a transmit frequency
//   tones    by Tone: "" none; "Tone": Tx rToneFreq; "TSQL": both cToneFreq;
//            "DTCS": both DtcsCode, Tx polarity the first letter of
//            DtcsPolarity, Rx the second (N normal, R reversed = inverted);
//            "Cross" by CrossMode: Tone->Tone, Tone->DTCS, DTCS->Tone,
//            Tone->, DTCS->, ->DTCS, ->Tone, DTCS->DTCS (Tx side first; a Tx
//            DCS code is DtcsCode, an Rx one RxDtcsCode; a Tx tone
//            rToneFreq, an Rx one cToneFreq). A tone or code the tone list
//            lacks refuses the row.
//   W/N      Mode FM: Wide, NFM: Narrow
//   Scan     Skip "": Yes, "S": No, "P" (priority scan, which the radio
//            lacks): Yes with a note
//   Power    watts ("5.0W", "4"): the level of the radio type with exactly
//            those watts, else the nearest level with a note; a level name
//            (any case, either language); empty: High. A file without a
//            Power column gets one note: every channel is High.
//   Busy     Off (the format has no busy lock)
// Name and Comment have no place in the radio and are dropped (with a note).
// The texts then pass the channel row check against the band.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "editor/ImportRows.h"
#include "data/Csv.h"

namespace chanset {
class CSettingsFile;
}

namespace chanset {

// The columns this format defines, in the order the export writes them.
extern const std::vector<std::string> kChirpColumns;

// Whether a record is a header row of the format (it names Location and
// Frequency).
bool IsChirpHeader(const CsvRecord& record);

// Reads a CHIRP CSV file one record at a time: the header row first, then
// each data row.
class ChirpReader {
 public:
  explicit ChirpReader(const ImportOptions& options) : m_options(options) {}

  // The header row. A column the rows cannot do without (Location,
  // Frequency, Duplex, Offset, Tone, rToneFreq, cToneFreq, DtcsCode,
  // DtcsPolarity, Mode) missing sets `error` and returns false; a missing
  // Power column adds a note to `fileNotes`.
  bool ReadHeader(const CsvRecord& header, int line, std::string& error, std::vector<std::string>& fileNotes);
  // One data row (never a blank one). With renumber the row's channel is
  // left 0 for the caller to give.
  ImportRow ReadRow(const CsvRecord& record, int line);

 private:
  ImportOptions m_options;
  std::vector<int> m_at;        // record index of each column, -1 when absent
  std::size_t m_needed = 0;     // fields a row must have
  std::size_t m_headerSize = 0;
  std::map<int, int> m_taken;   // channel -> line of the row it came from
};

// The watts of the power levels of the image's radio type: the [Setup] key
// "Watts%d" of the settings file, n the type's place in the type list (as
// "Type%d"), holding High|Middle|Low in watts ("5.0|2.0|0.5"). A missing
// key, or values that are not decimal numbers falling from High to Low,
// give the defaults 5.0, 2.0 and 0.5 W.
PowerWatts RadioWatts(const CSettingsFile& settings, const Image& image);

// Milliwatts as CHIRP writes watts: 5000 gives "5.0W", 250 "0.25W".
std::string WattsText(std::int64_t milliwatts);

// The used channels of `image` as a CHIRP CSV file: frequencies and offsets
// with six decimals, Duplex "split" when Tx and Rx lie more than 70 MHz
// apart, the smallest tone mode that says what the channel does, the usual
// defaults (88.5, 023, NN, Tone->Tone) in unused tone columns, TStep 12.50,
// 6.25 or 5.00 (the first that divides both frequencies), Power the level's
// watts. `notes` (when given) receives, once each, what the file cannot
// carry and what older CHIRP reads wrongly: the Busy Lock of channels that
// have one, tones outside the tone list, the channels whose tones need the
// CrossMode and RxDtcsCode columns (CHIRP from 2023 on), and tones that
// CHIRP before 2023 does not list.
std::string WriteChirpCsv(const Image& image, std::vector<std::string>* notes = nullptr, bool chinese = false,
                          const PowerWatts& watts = PowerWatts{});

// A plain decimal text as a whole number of 10^-decimals units, exactly:
// ("446.00625", 6) gives 446006250. False for anything but digits with at
// most one point, for more non-zero decimals than `decimals`, and for values
// of more than 12 digits before the point.
bool ParseDecimalUnits(const std::string& text, int decimals, std::int64_t& value);

}  // namespace chanset
