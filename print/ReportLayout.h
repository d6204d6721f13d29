#pragma once
// The printed report, as pages of drawing instructions: page 1 lists the
// radio-wide options, pages 2 and 3 the used channels, eight to a page. A
// channel is used when its Rx cell is not empty.
//
// Coordinates are twips (1/1440 inch) from the top-left corner of the
// printable area, x to the right and y upwards, so everything on the page has
// a negative y. A text item is drawn with its top-left corner at (x, y).
// The renderer supplies the printable size and the line heights of the two
// fonts it made from ReportFonts(); everything else is decided here.
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "data/MemoryImage.h"

namespace chanset {

// Printable area and the line heights (ascent + descent + external leading)
// of the heading font (L) and the body font (l), all in twips.
struct PageMetrics {
  int width = 0;   // W
  int height = 0;  // H
  int headingLine = 0;  // L
  int bodyLine = 0;     // l
};

// The character height and average character width the two fonts ask for.
struct FontSize {
  int height = 0;
  int averageWidth = 0;
  bool operator==(const FontSize& o) const { return height == o.height && averageWidth == o.averageWidth; }
};
struct ReportFontSizes {
  FontSize heading;
  FontSize body;
};
ReportFontSizes ReportFonts(int width, int height);

// The horizontal unit of every position: W / 66.
inline int ReportUnit(int width) { return width / 66; }

// Which channels the channel pages cover.
struct PageTable {
  int used = 0;          // channels whose Rx cell is not empty
  int lastOfPage2 = 16;  // the eighth used channel, 16 with fewer than eight
  int PageCount() const { return 1 + (used + 7) / 8; }
  // First and last channel page `page` (2 or 3) covers; first > last when none.
  int FirstChannel(int page) const { return page == 2 ? 1 : lastOfPage2 + 1; }
  int LastChannel(int page) const { return page == 2 ? lastOfPage2 : page == 3 ? 16 : 0; }
};
PageTable BuildPageTable(const CellTexts& grid);

struct DrawItem {
  enum Kind { Line, Text };
  enum Font { Heading, Body };
  Kind kind = Text;
  Font font = Body;  // texts only; lines use the default pen
  int x = 0;
  int y = 0;
  int x2 = 0;  // lines: the end point (x2, y)
  std::string text;  // UTF-8
};

// Everything one page is drawn from.
struct ReportSource {
  const CellTexts* grid = nullptr;  // channel n at row n, Rx in column 1
  const Image* image = nullptr;     // the options
  std::string owner;                // footer text ("Copyrights Owner")
  bool chinese = false;
};

// The draw list of page `page` (1-based). A page number outside 1..page
// count gives an empty list. The grid is read afresh on every call, so the
// same grid always gives the same pages.
std::vector<DrawItem> LayOutPage(int page, const ReportSource& source, const PageMetrics& metrics);

// The seven option values of page 1 as printed ("45s", "5", ...), in
// page order: time-out, squelch, voice, VOX delay, VOX gain, battery saver,
// beep.
std::vector<std::string> OptionValueTexts(const Image& image, bool chinese);

}  // namespace chanset
