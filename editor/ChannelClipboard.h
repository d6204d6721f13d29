#pragma once
// Channels on the clipboard, both ways.
//
// Copy puts the selected channels there twice:
//  - as text: one line per channel, the eight grid texts separated by tabs,
//    in the interface language, no header and no channel number, each line
//    ending in "\n" (a spreadsheet takes it as rows and columns);
//  - as the exact channel bytes under kChannelMimeType (format below).
//
// Paste at a channel fills as many channels from there on as the clipboard
// holds. Text is read as rows of eight fields (tab-separated, or
// comma-separated with CSV quoting), each optionally preceded by the channel
// number, words in either language, a first row of column titles skipped.
// Every row, from text or from Chanset's own bytes, passes the channel row
// check against the target document as if it were typed (band limits,
// channel steps, tone list); Chanset's bytes go in exactly as copied only
// when their channel passes, and then with the frequencies and tones
// written by the encoder (the busy lock, the other flag bits and bytes
// 14-15 travel as they are). Any refused cell, and any row that would land
// past channel 16, refuses the whole paste. More than 16 rows of text are
// refused at once, before any row is read.
//
// Copy reads and paste writes the image (the channel view encodes its grid
// into it first and refreshes the grid afterwards); a paste that is not
// accepted changes nothing, and its message lists the refusals
// (PasteListLines: at most kListLines of them) while the document stays as
// it was.
//
// Channel bytes format, version 1 (all of it little-endian bytes):
//   0..3   "CHCH"  magic
//   4      1       format version
//   5      n       number of channels, 1..16
//   6..    n times 17 bytes: the channel's record bytes 0..15, then its
//                  scan-list bit (0 or 1)
// A reader refuses another magic or version, a count outside 1..16 and a
// length other than 6 + 17n.
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "editor/ChannelBlocks.h"
#include "editor/ChannelRows.h"

namespace chanset {

inline constexpr const char* kChannelMimeType = "application/x-chanset-channels";

// The clipboard texts of the given channels (in channel order, duplicates
// and numbers outside 1..16 left out).
std::string ChannelsAsText(const Image& image, const std::vector<int>& channels, bool chinese);
std::string ChannelsAsBytes(const Image& image, const std::vector<int>& channels);

// Reads the byte format; false (and `records` empty) for anything else.
bool ParseChannelBytes(const std::string& bytes, std::vector<ChannelRecord>& records);

// What a paste will do: the channels from `firstChannel` on get the rows in
// order, or nothing happens and `refusals` says why (row = the row of the
// pasted text, 1-based; column = grid column 1..8, 0 for the whole row).
struct PastePlan {
  int firstChannel = 1;
  std::vector<ChannelTexts> texts;      // from text: checked grid texts
  std::vector<ChannelRecord> records;   // from Chanset's bytes: exact copies
  std::vector<CellRefusal> refusals;
  bool Accepted() const { return refusals.empty() && (!texts.empty() || !records.empty()); }
  int Count() const { return static_cast<int>(texts.empty() ? records.size() : texts.size()); }
};

// Plans the paste of pasted text / of Chanset's bytes at `firstChannel`.
// `rules` gives the band and the language. Text without any row, or with
// more rows than the radio has channels, refuses with one refusal of the
// whole text (row 0).
PastePlan PlanTextPaste(const std::string& text, int firstChannel, const RowRules& rules);
PastePlan PlanBytePaste(const std::vector<ChannelRecord>& records, int firstChannel, const RowRules& rules);

// Carries out an accepted plan: texts through the encoder, records byte for
// byte. Returns false (and changes nothing) for a plan that is not accepted.
bool ApplyPaste(const PastePlan& plan, Image& image);

// One line of the refused-paste message: "Row 2 (CH 5), Rx Frequency,
// "500": out of range: ..." or the Chinese form.
std::string PasteRefusalText(const CellRefusal& refusal, bool chinese);
// The lines of the refused-paste message: at most kListLines refusals, then
// "…and N more".
std::vector<std::string> PasteListLines(const PastePlan& plan, bool chinese);

}  // namespace chanset
