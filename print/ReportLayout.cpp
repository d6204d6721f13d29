#include "print/ReportLayout.h"

#include <algorithm>
#include <cstdio>

#include "data/ChannelWords.h"
#include "data/OptionMap.h"

namespace chanset {

namespace {

constexpr WordPair kOptionTitle{"Option", "可选功能"};
constexpr WordPair kFunction{"Function", "功能"};
constexpr WordPair kChannelTitle{"Channel", "信道"};
constexpr WordPair kChannelLabel{"Channel %d:", "信道%d:"};
constexpr WordPair kReceive{"Receive Frequency:", "接收频率:"};
constexpr WordPair kTransmit{"Transceive Frequency:", "发射频率:"};
constexpr WordPair kDecode{"QT/DQT Decode:", "QT/DQT解码:"};
constexpr WordPair kEncode{"QT/DQT Encode:", "QT/DQT编码:"};
constexpr WordPair kWidth{"W/N:", "宽/窄:"};
constexpr WordPair kScan{"Scan:", "扫描:"};
constexpr const WordPair& kOff = words::kOff;
constexpr WordPair kOn{"On", "开"};

// Option labels in page order; their values come from OptionValueTexts.
// "Annunication" is spelled as the printed report has it: keep it.
constexpr WordPair kOptionLabels[] = {
    {"Time Out Time:", "超时定时器:"},
    {"Squelch Level:", "静噪电平:"},
    {"Voice Annunication:", "语音报号:"},
    {"Vox Delay Time:", "声控延迟时间:"},
    {"Vox Gain Level:", "声控增益电平:"},
    {"Battery Saver:", "电池省电:"},
    {"Beep:", "哔音:"},
};

std::string Format(const char* format, int value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

// The grid's columns that a channel block shows.
constexpr int kRxColumn = 1;

class PageBuilder {
 public:
  explicit PageBuilder(std::vector<DrawItem>& items) : m_items(items) {}
  void Font(DrawItem::Font font) { m_font = font; }
  void Text(int x, int y, std::string text) {
    DrawItem item;
    item.kind = DrawItem::Text;
    item.font = m_font;
    item.x = x;
    item.y = y;
    item.text = std::move(text);
    m_items.push_back(std::move(item));
  }
  void Line(int x1, int x2, int y) {
    DrawItem item;
    item.kind = DrawItem::Line;
    item.x = x1;
    item.x2 = x2;
    item.y = y;
    m_items.push_back(std::move(item));
  }

 private:
  std::vector<DrawItem>& m_items;
  DrawItem::Font m_font = DrawItem::Heading;
};

void OptionsPage(PageBuilder& out, const ReportSource& src, int u, int L, int l) {
  out.Font(DrawItem::Heading);
  out.Text(6 * u, -L, kOptionTitle.In(src.chinese));
  out.Font(DrawItem::Body);
  out.Text(6 * u, -4 * l, kFunction.In(src.chinese));
  if (!src.image) return;
  std::vector<std::string> values = OptionValueTexts(*src.image, src.chinese);
  for (std::size_t i = 0; i < values.size(); ++i) {
    int y = -(5 + static_cast<int>(i)) * l;
    out.Text(9 * u, y, kOptionLabels[i].In(src.chinese));
    out.Text(35 * u, y, values[i]);
  }
}

void ChannelPage(PageBuilder& out, int page, const ReportSource& src, int u, int L, int l) {
  out.Font(DrawItem::Heading);
  out.Text(6 * u, -L, kChannelTitle.In(src.chinese));
  out.Font(DrawItem::Body);
  if (!src.grid) return;
  const CellTexts& grid = *src.grid;
  PageTable table = BuildPageTable(grid);
  int g = 0;
  for (int ch = table.FirstChannel(page); ch <= table.LastChannel(page) && g < 8; ++ch) {
    if (grid.Text(ch, kRxColumn).empty()) continue;
    const int line = 4 + 5 * g;
    const bool zh = src.chinese;
    out.Text(4 * u, -line * l, Format(kChannelLabel.In(zh), ch));
    out.Text(5 * u, -(line + 1) * l, kReceive.In(zh));
    out.Text(22 * u, -(line + 1) * l, grid.Text(ch, 1));
    out.Text(36 * u, -(line + 1) * l, kTransmit.In(zh));
    out.Text(55 * u, -(line + 1) * l, grid.Text(ch, 2));
    out.Text(5 * u, -(line + 2) * l, kDecode.In(zh));
    out.Text(22 * u, -(line + 2) * l, grid.Text(ch, 3));
    out.Text(36 * u, -(line + 2) * l, kEncode.In(zh));
    out.Text(55 * u, -(line + 2) * l, grid.Text(ch, 4));
    out.Text(5 * u, -(line + 3) * l, kWidth.In(zh));
    out.Text(22 * u, -(line + 3) * l, grid.Text(ch, 5));
    out.Text(36 * u, -(line + 3) * l, kScan.In(zh));
    out.Text(55 * u, -(line + 3) * l, grid.Text(ch, 6));
    ++g;
  }
}

}  // namespace

ReportFontSizes ReportFonts(int width, int height) {
  ReportFontSizes f;
  f.heading.height = height / 45;
  f.heading.averageWidth = ReportUnit(width);
  // 0.8 of each, truncated toward zero.
  f.body.height = f.heading.height * 8 / 10;
  f.body.averageWidth = f.heading.averageWidth * 8 / 10;
  return f;
}

PageTable BuildPageTable(const CellTexts& grid) {
  PageTable table;
  for (int ch = 1; ch <= kChannelCount; ++ch) {
    if (grid.Text(ch, kRxColumn).empty()) continue;
    if (++table.used == 8) table.lastOfPage2 = ch;
  }
  return table;
}

std::vector<std::string> OptionValueTexts(const Image& image, bool chinese) {
  std::vector<std::string> values;
  values.push_back(Format("%ds", image[off::kTimeOut] * 15));
  values.push_back(Format("%d", image[off::kSquelch]));
  // The words of the options dialog's lists; a byte past the end of a list
  // prints as its last item.
  auto item = [chinese](Option option, std::size_t byte) {
    std::vector<std::string> items = OptionItems(option, chinese);
    return items[std::min(byte, items.size() - 1)];
  };
  values.push_back(item(Option::Voice, image[off::kVoice]));
  values.push_back(item(Option::VoxDelay, image[off::kVoxDelay]));
  const int gain = image[off::kVoxGain];
  values.push_back(gain == 0 ? std::string(kOff.In(chinese)) : Format("%d", gain));
  values.push_back((image[off::kBatterySaver] & 1) ? kOn.In(chinese) : kOff.In(chinese));
  values.push_back((image[off::kBeep] & 1) ? kOn.In(chinese) : kOff.In(chinese));
  return values;
}

std::vector<DrawItem> LayOutPage(int page, const ReportSource& source, const PageMetrics& m) {
  std::vector<DrawItem> items;
  const int pageCount = source.grid ? BuildPageTable(*source.grid).PageCount() : 1;
  if (page < 1 || page > pageCount) return items;
  const int u = ReportUnit(m.width);
  const int L = m.headingLine;
  const int l = m.bodyLine;
  PageBuilder out(items);

  // Three rules across the page: two under the heading, one over the footer.
  out.Line(5 * u, 60 * u, -(2 * L + 50));
  out.Line(5 * u, 60 * u, -(2 * L + 120));
  out.Line(5 * u, 60 * u, L / 2 - 36 * L);

  if (page == 1)
    OptionsPage(out, source, u, L, l);
  else
    ChannelPage(out, page, source, u, L, l);

  // The footer, in the body font the contents left selected.
  out.Font(DrawItem::Body);
  const int footerY = -36 * L;
  out.Text(10 * u, footerY, source.owner);
  char pageText[64];
  std::snprintf(pageText, sizeof pageText, "Page %d of %d", page, pageCount);
  out.Text(45 * u, footerY, pageText);
  return items;
}

}  // namespace chanset
