#pragma once
// Draws the printed report of a channel view on a printer (or a preview):
// measures the two report fonts on the device, asks ReportLayout for each
// page's draw list and paints it in twips from the top-left corner of the
// printable area.
#include <QFont>
#include <memory>

#include "print/ReportLayout.h"

class CChansetView;
class QPainter;
class QPaintDevice;
class QPrinter;

class CReportPrinter {
 public:
  explicit CReportPrinter(const CChansetView* view);
  ~CReportPrinter();

  // 1 + (used channels + 7) / 8, from the grid as it is now.
  int PageCount() const;

  // Prints the printer's page range (every page when `allPages` is set or
  // the printer asks for all), each copy when the printer cannot make copies
  // itself. False when the printer could not be started.
  bool Print(QPrinter* printer, bool allPages = false) const;

  // The report's fonts for a printable area of `width` x `height` twips,
  // with the line heights they measure on `device` (in twips when the
  // painter maps twips to the device, as Print does).
  struct Fonts {
    QFont heading;
    QFont body;
    chanset::PageMetrics metrics;
  };
  static Fonts MakeFonts(int width, int height, QPaintDevice* device);
  // The printable area of `printer` in twips.
  static QSize PrintableTwips(const QPrinter* printer);

 private:
  void DrawPage(QPainter& painter, int page, const Fonts& fonts) const;

  const CChansetView* m_pView;
  std::unique_ptr<chanset::CellTexts> m_grid;
};
