#include "print/CReportPrinter.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "data/CChansetDoc.h"
#include "editor/CChansetView.h"
#include "grid/CGridTexts.h"
#include "platform/Globals.h"
#include "settings/CSettingsFile.h"

using namespace chanset;

namespace {

constexpr double kTwipsPerInch = 1440.0;

// A "Times New Roman" font whose cell (ascent + descent) is `size.height`
// and whose average character is `size.averageWidth` wide, in the pixel
// units of `device`.
QFont ReportFont(const FontSize& size, QPaintDevice* device) {
  QFont font(QStringLiteral("Times New Roman"));
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  const int height = std::max(1, size.height);
  font.setPixelSize(height);
  QFontMetricsF first(font, device);
  const double cell = first.ascent() + first.descent();
  if (cell > 0) font.setPixelSize(std::max(1, static_cast<int>(std::lround(height * height / cell))));
  QFontMetricsF fm(font, device);
  if (size.averageWidth > 0 && fm.averageCharWidth() > 0) {
    const long stretch = std::lround(100.0 * size.averageWidth / fm.averageCharWidth());
    font.setStretch(static_cast<int>(std::clamp(stretch, 1L, 4000L)));
  }
  return font;
}

// Full height plus external leading, as a whole number of units.
int LineHeight(const QFont& font, QPaintDevice* device) {
  QFontMetricsF fm(font, device);
  return static_cast<int>(std::lround(fm.ascent() + fm.descent() + std::max(0.0, fm.leading())));
}

}  // namespace

CReportPrinter::CReportPrinter(const CChansetView* view) : m_pView(view) {
  if (view && view->Grid()) m_grid = std::make_unique<CGridTexts>(*view->Grid());
}

CReportPrinter::~CReportPrinter() = default;

int CReportPrinter::PageCount() const { return m_grid ? BuildPageTable(*m_grid).PageCount() : 1; }

QSize CReportPrinter::PrintableTwips(const QPrinter* printer) {
  const int dpiX = std::max(1, printer->logicalDpiX());
  const int dpiY = std::max(1, printer->logicalDpiY());
  return QSize(static_cast<int>(static_cast<long long>(printer->width()) * 1440 / dpiX),
               static_cast<int>(static_cast<long long>(printer->height()) * 1440 / dpiY));
}

CReportPrinter::Fonts CReportPrinter::MakeFonts(int width, int height, QPaintDevice* device) {
  Fonts fonts;
  ReportFontSizes sizes = ReportFonts(width, height);
  fonts.heading = ReportFont(sizes.heading, device);
  fonts.body = ReportFont(sizes.body, device);
  fonts.metrics.width = width;
  fonts.metrics.height = height;
  fonts.metrics.headingLine = LineHeight(fonts.heading, device);
  fonts.metrics.bodyLine = LineHeight(fonts.body, device);
  return fonts;
}

bool CReportPrinter::Print(QPrinter* printer, bool allPages) const {
  if (!printer) return false;
  const int count = PageCount();
  int first = 1, last = count;
  if (!allPages && printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
    first = std::max(1, printer->fromPage());
    last = std::min(count, printer->toPage() > 0 ? printer->toPage() : count);
  }
  QPainter painter;
  if (!painter.begin(printer)) return false;
  const QSize area = PrintableTwips(printer);
  // Fonts are sized in twips: the painter maps twips to device pixels.
  const Fonts fonts = MakeFonts(area.width(), area.height(), printer);
  const int copies = printer->supportsMultipleCopies() ? 1 : std::max(1, printer->copyCount());
  bool firstSheet = true;
  for (int copy = 0; copy < copies; ++copy) {
    for (int page = first; page <= last; ++page) {
      if (!firstSheet && !printer->newPage()) return false;
      firstSheet = false;
      DrawPage(painter, page, fonts);
    }
  }
  return painter.end();
}

void CReportPrinter::DrawPage(QPainter& painter, int page, const Fonts& fonts) const {
  ReportSource source;
  source.grid = m_grid.get();
  const CChansetDoc* doc = m_pView ? m_pView->GetDocument() : nullptr;
  if (doc) source.image = &doc->Image();
  source.owner = g_settingsFile().GetValue(g_strLanguage, "Copyrights Owner", "");
  source.chinese = g_bChinese;
  const std::vector<DrawItem> items = LayOutPage(page, source, fonts.metrics);

  QPaintDevice* device = painter.device();
  painter.save();
  painter.resetTransform();
  painter.scale(device->logicalDpiX() / kTwipsPerInch, device->logicalDpiY() / kTwipsPerInch);
  QPen pen(Qt::black);
  pen.setWidth(0);  // one device pixel whatever the scale
  painter.setPen(pen);
  const QFontMetricsF heading(fonts.heading, device);
  const QFontMetricsF body(fonts.body, device);
  for (const DrawItem& item : items) {
    // Layout y grows upwards; the painter's grows downwards.
    const double y = -item.y;
    if (item.kind == DrawItem::Line) {
      painter.drawLine(QPointF(item.x, y), QPointF(item.x2, y));
      continue;
    }
    const bool isHeading = item.font == DrawItem::Heading;
    painter.setFont(isHeading ? fonts.heading : fonts.body);
    const double ascent = isHeading ? heading.ascent() : body.ascent();
    painter.drawText(QPointF(item.x, y + ascent), QString::fromStdString(item.text));
  }
  painter.restore();
}
