#pragma once
// The differences between two images as lines for a person to read, in
// English or Chinese, one change per line, "old -> new":
//
//   CH 3 Rx Frequency: 462.56250 -> 462.57500   a channel field, as the grid shows it
//   Squelch Level: 5 -> 3                        a radio-wide option, as its dialog shows it
//   Type: KRR-45 -> KRR-15                       the radio type or the band
//   0x1B8: FF -> 50                              any other byte that differs
//
// Lines come in that order: channels 1..16 (fields left to right), the
// options in the dialog's order, type, band, then addresses upwards. A byte
// whose change a named line already shows gets no address line; a change
// that no named line shows does (a flag bit of an empty channel, bytes 14-15
// of a record, the other bits of the side-key byte, two values that show the
// same text), so nothing that differs goes unreported.
#include <string>
#include <vector>

#include "data/MemoryImage.h"

namespace chanset {

class CellTexts;
class CSettingsFile;

enum class DiffRows {
  All,          // rows 0..63: two files, power table included
  Transferred,  // rows 0..61: what the radio holds (rows 62..63 never travel)
};

// `settings` names the radio types and bands (its [Setup] Type/Field lists);
// without it, or for an index beyond its lists, the index is shown.
std::vector<std::string> DiffImages(const Image& from, const Image& to, bool chinese,
                                    const CSettingsFile* settings, DiffRows rows);

// The check after a write: rows 0..61 of what was sent against what was read
// back. No lines: the radio holds what was sent.
std::vector<std::string> VerifyDifferences(const Image& sent, const Image& readBack, bool chinese,
                                           const CSettingsFile* settings);

// The document a comparison with the radio stands for: `image` with each
// channel whose grid texts (`grid`, in the language `chinese`) differ from
// what the image shows encoded from those texts: the grid's edits that are
// not yet in the image. A channel shown unchanged keeps its bytes, so a
// document compares equal to the radio it was just read from (the encoder
// would rewrite the unused flag bits of empty channels, a change no one
// made).
Image WithGridEdits(const Image& image, const CellTexts& grid, bool chinese);

}  // namespace chanset
