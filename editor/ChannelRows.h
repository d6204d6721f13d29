#pragma once
// The one check every channel that comes in goes through, whatever way it
// comes: typing into a cell, pasted text, Chanset's own clipboard bytes,
// the CSV imports and `import-csv`. The eight texts of a channel in, either
// the texts the channel grid would hold or the refused cells with the
// reason for each; so no way in can store what typing would refuse, and
// nothing reaches the encoder that it cannot write.
//
// The rules are those of the in-place editors: a frequency must be a plain
// decimal number of MHz within the band limits (and within the eight digits
// a channel record holds) and on a 5 kHz or 6.25 kHz step, a choice must be
// one of its list's words (either language), a tone one of the tone list's
// texts. No cell is longer than kLongestCell characters. Where the editors
// cannot produce a text at all, the check says what the encoder would do
// with it instead:
//  - an empty Rx is an empty channel (all eight texts empty, the rest of the
//    row ignored), as clearing the Rx cell deletes the channel;
//  - an empty Tx takes the Rx;
//  - an empty tone is no tone, an empty choice the encoder's default (Wide,
//    Yes, QT/DQT, High).
// The checked texts are the grid's own: frequencies with five decimals (the
// value checked, so more decimals are cut off rather than rounded), words and
// tones in the language asked for.
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "data/RadioBands.h"

namespace chanset {

// The longest text a cell of a channel may hold, in characters; a longer
// one is refused, and shown cut short.
inline constexpr std::size_t kLongestCell = 64;

// A tone is a text of the tone lists: no tone, the 53 CTCSS tones (compared
// as decimal numbers, so a spreadsheet's "100" is the list's "100.0") and
// the listed DCS codes with N or I.
struct RowRules {
  BandLimits limits;
  std::string bandText;  // named in the out-of-range reason
  bool chinese = false;  // language of the checked words and of the reasons
};

// Why a cell or a row was refused.
enum class RefusalKind {
  NotFrequency,   // not a plain decimal number of MHz
  OutOfRange,     // outside the band limits
  OffStep,        // neither on a 5 kHz nor on a 6.25 kHz step
  NotTone,        // not a tone the rule allows
  NotWord,        // not a word of the column's list
  NotChannel,     // a channel number that is not 1 to 16
  ChannelTwice,   // a second row for one channel
  FieldCount,     // a row with the wrong number of fields
  PastLastChannel,  // a row that would land beyond channel 16
  MissingChannels,  // rows missing from a table that must name all 16
  Value,          // a value of an interchange column that has no meaning here
  TooLong,        // a cell longer than kLongestCell characters
  TooManyRows,    // more rows than the radio has channels
};

// One refused cell, or a whole row (column 0).
struct CellRefusal {
  int row = 0;       // the caller's numbering: a line of a file, a pasted row
  int channel = 0;   // the channel the row was meant for; 0 when none
  int column = 0;    // the caller's numbering (1-based); 0 for the whole row
  std::string columnName;  // the column's title, when it has one
  std::string text;  // the refused text (ShownText: cut short when long)
  RefusalKind kind = RefusalKind::Value;
  std::string reason;  // in the language of the rules
};

// Checks the eight texts of one channel (grid columns 1..8: Rx, Tx, Dec,
// Enc, W/N, Scan, Busy Lock, Power; surrounding blanks ignored). Returns the
// refused cells, each with `row` and `channel` as given, `column` the grid
// column and `columnName` its title; `out` then holds the checked texts of
// the cells that passed. An empty result means the whole channel passed.
std::vector<CellRefusal> CheckChannelRow(const ChannelTexts& fields, const RowRules& rules,
                                         ChannelTexts& out, int row = 0, int channel = 0);

// `text` as a message shows it: whole up to kLongestCell characters, else
// its first characters and "…".
std::string ShownText(const std::string& text);

// The tone-list text `text` stands for ("100" gives
// "100.0", "无" gives the no-tone word of `chinese`); empty when none.
std::string ListedToneText(const std::string& text, bool chinese);

// A CTCSS tone or DCS code as it appears in interchange files: the tone-list
// text of a CTCSS value compared as decimal text ("162.20" gives "162.2",
// "162.19" nothing), and the list text of a DCS code number with polarity
// ("023", 'N' gives "D023N"; "23" too). Empty when the list has no such tone.
std::string ListedCtcss(const std::string& decimalText);
std::string ListedDcs(const std::string& codeDigits, char polarity);

// A plain decimal number ("446", "446.00625", ".5"): digits with at most one
// point, nothing else.
bool IsDecimalText(const std::string& text);

// The channel number of a text "1".."16" (surrounding blanks ignored, no
// leading zero); 0 when it is none.
int ParseChannelNumber(const std::string& text);

// Surrounding spaces and tabs removed.
std::string TrimBlanks(const std::string& text);

// The English or the Chinese text, as `chinese` asks.
inline std::string InLanguage(bool chinese, const std::string& en, const std::string& zh) {
  return chinese ? zh : en;
}

}  // namespace chanset
