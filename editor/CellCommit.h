#pragma once
// What committing an in-place editor does to a channel row: the rules behind
// the channel grid's editing, free of any widget. The view reads the row's
// eight texts and the editor's text, calls CommitCell, writes the returned
// texts back and shows the returned message, if any.
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "data/RadioBands.h"
#include "editor/ChannelRows.h"
#include "platform/ResourceIds.h"

namespace chanset {

// Grid columns of a channel row (row n is channel n; column 0 is its number).
constexpr int kColRx = 1;
constexpr int kColTx = 2;
constexpr int kColLast = 8;

struct CommitResult {
  ChannelTexts row;  // texts of columns 1..8 after the commit
  // String id ids::kOutOfRange, ids::kStepError or ids::kNotInList, or 0.
  int message = 0;
  RefusalKind refusal = RefusalKind::Value;  // why, when refused
  bool Refused() const { return message != 0; }
};

// The texts a new channel gets besides its frequencies: Dec, Enc, W/N, Scan,
// Busy Lock, Power.
const ChannelTexts& NewChannelDefaults(bool chinese);

// Commits `editorText` into column `column` (1..8) of a row whose texts are
// `row`. The text passes the channel row check (ChannelRows.h) as every
// channel that comes in does:
//  - Rx (1): empty text deletes the channel (all eight texts empty); a
//    frequency goes in with five decimals; when the row had no Rx, Tx gets the
//    same frequency and the other six cells their defaults.
//  - Tx (2): empty text copies Rx; a frequency goes in with five decimals,
//    but only when the row has an Rx.
//  - A typed frequency is the leading decimal number of the text
//    ("446.0125MHz" is 446.0125; text without one reads as 0).
//  - A refused frequency (outside `limits`, off the 5 kHz / 6.25 kHz
//    steps) leaves the whole row as it was and names
//    the message to show: the step message for a frequency off the steps,
//    else the range message. The range is checked first.
//  - Choices (3..8): stored as the list's word, except in a row without Rx
//    and Tx, where the cell stays empty; a text of no list is refused.
CommitResult CommitCell(int column, const std::string& editorText, const ChannelTexts& row,
                        const BandLimits& limits, bool chinese);

// The entry a drop-down list opens on for a cell holding `cellText`: the
// first entry that begins with it, ignoring the case of ASCII letters, else
// the first entry (so an empty cell, or a decoded tone the list lacks, opens
// on entry 0). -1 for an empty list.
int FindListEntry(const std::vector<std::string>& entries, const std::string& cellText);

// The cell Enter moves to from (row, col) in a grid whose last row and column
// are lastRow and lastCol and whose first editable cell is (1, 1): the next
// column, else column 1 of the next row, else back to (1, 1).
struct GridCell {
  int row;
  int col;
  bool operator==(const GridCell& o) const { return row == o.row && col == o.col; }
};
GridCell NextEnterCell(GridCell from, int lastRow, int lastCol);

}  // namespace chanset
