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
//   channel  Location n (1..16), or the row's place in the file with renumber
//   Rx       Frequency
//   Tx       Duplex "": Frequency; "+"/"-": Frequency +/- Offset; "split":
//            Offset; "off" (receive only): refused, a channel of this radio
//            always has a transmit frequency
//   tones    by Tone: "" none; "Tone": Tx rToneFreq; "TSQL": both cToneFreq;
//            "DTCS": both DtcsCode, Tx polarity the first letter of
//            DtcsPolarity, Rx the second (N normal, R reversed = inverted);
//            "Cross" by CrossMode: Tone->Tone, Tone->DTCS, DTCS->Tone,
//            DTCS->, ->DTCS, ->Tone, DTCS->DTCS (Tx side first; a Tx DCS
//            code is DtcsCode, an Rx one RxDtcsCode; a Tx tone rToneFreq, an
//            Rx one cToneFreq). A tone or code the tone list lacks refuses
//            the row.
//   W/N      Mode FM: Wide, NFM: Narrow
//   Scan     Skip "" or "P": Yes, "S": No
//   Power    a level name (any case, either language); watts ("5.0W"): the
//            largest wattage of the file High, the smallest Low, any other
//            Middle; empty: High
//   Busy     Off (the format has no busy lock)
// Name and Comment have no place in the radio and are dropped (with a note).
// The texts then pass the channel editor's checks against the band.
#include <string>
#include <vector>

#include "editor/ImportRows.h"
#include "data/Csv.h"

namespace chanset {

// The columns this format defines, in the order the export writes them.
extern const std::vector<std::string> kChirpColumns;

// Whether a record is a header row of the format (it names Location and
// Frequency).
bool IsChirpHeader(const CsvRecord& record);

// Reads the records of a CHIRP CSV file (the first one its header; `lines`
// the line each starts on) into import rows. A column the rows cannot do
// without (Location, Frequency, Duplex, Offset, Tone, rToneFreq, cToneFreq,
// DtcsCode, DtcsPolarity, Mode) missing from the header sets result.error.
ImportResult ReadChirpRecords(const std::vector<CsvRecord>& records, const std::vector<int>& lines,
                              const ImportOptions& options);

// The used channels of `image` as a CHIRP CSV file: frequencies and offsets
// with six decimals, Duplex "split" when Tx and Rx lie more than 70 MHz
// apart, the smallest tone mode that says what the channel does, the usual
// defaults (88.5, 023, NN, Tone->Tone) in unused tone columns, TStep 12.50,
// 6.25 or 5.00 (the first that divides both frequencies), Power the level's
// English name. `notes` (when given) receives what the file cannot carry:
// the Busy Lock of channels that have one, tones outside the tone list.
std::string WriteChirpCsv(const Image& image, std::vector<std::string>* notes = nullptr,
                          bool chinese = false);

// A plain decimal text as a whole number of 10^-decimals units, exactly:
// ("446.00625", 6) gives 446006250. False for anything but digits with at
// most one point, for more non-zero decimals than `decimals`, and for values
// of more than 12 digits before the point.
bool ParseDecimalUnits(const std::string& text, int decimals, std::int64_t& value);

}  // namespace chanset
