// Fuzz target: the CSV reader, and the channel-table check and encoder that
// an imported table goes through.
//
// Invariants:
// - A refused text leaves no records and names a line of the text; an
//   accepted one gives one start line per record, rising, and no record
//   without fields.
// - Writing the records back with CsvLine and reading them again gives the
//   same records.
// - Any cell texts, checked or not, encode without touching bytes outside
//   the channel fields; a table that passes the check decodes to its own
//   texts (the check gives English words and the encoder's defaults for
//   empty cells).
#include "data/ChannelCodec.h"
#include "data/ChannelWords.h"
#include "editor/ChansetCsv.h"
#include "data/Csv.h"
#include "data/RadioBands.h"
#include "fuzz/ChannelChecks.h"
#include "fuzz/FuzzTarget.h"
#include "platform/ListLines.h"

using namespace chanset;

namespace {

// Records as grid cells: record n-1 is grid row n, its fields columns 0..8.
class RecordCells : public CellTexts {
 public:
  explicit RecordCells(const std::vector<CsvRecord>& records) : records_(records) {}
  std::string Text(int row, int col) const override {
    if (row < 1 || static_cast<std::size_t>(row) > records_.size() || col < 0) return std::string();
    const CsvRecord& r = records_[static_cast<std::size_t>(row - 1)];
    return static_cast<std::size_t>(col) < r.size() ? r[static_cast<std::size_t>(col)] : std::string();
  }

 private:
  const std::vector<CsvRecord>& records_;
};

void CheckTable(const std::string& text, const std::string& band) {
  ChannelTable table;
  const TableCheck check = CheckChannelTable(text, DeriveBandLimits(band), band, table);
  FUZZ_CHECK(check.errors.size() <= kListLines && check.errors.size() <= check.errorCount);
  if (!check.Passed()) return;
  Image image = NewImage();
  EncodeChannelTable(table, image);
  for (int n = 1; n <= kChannelCount; ++n) {
    const ChannelTexts& want = table[static_cast<std::size_t>(n - 1)];
    const ChannelTexts en = DecodeChannel(image, n, false);
    const bool empty = want[0].empty();
    for (std::size_t c = 0; c < 8; ++c) FUZZ_CHECK(empty ? en[c].empty() : want[c] == en[c]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the band the table is checked against: one of the
  // usual ones, or (top bit set) the first line of the input, as a settings
  // file may name any band.
  static const char* const kBands[] = {"400-470MHz", "136-174MHz", "350-390MHz", "430-440MHz"};
  std::string band = kBands[data[0] % 4];
  std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
  if ((data[0] & 0x80) != 0) {
    const std::size_t end = text.find('\n');
    band = text.substr(0, end);
    text = end == std::string::npos ? std::string() : text.substr(end + 1);
  }

  std::vector<CsvRecord> records;
  std::vector<int> lines;
  CsvError error;
  const bool ok = ParseCsvLines(text, records, &lines, &error);
  std::vector<CsvRecord> plain;
  FUZZ_CHECK(ParseCsv(text, plain) == ok);
  FUZZ_CHECK(plain == records);
  if (!ok) {
    FUZZ_CHECK(records.empty() && lines.empty());
    FUZZ_CHECK(error.kind != CsvErrorKind::None);
    FUZZ_CHECK(error.line >= 1 && error.line <= fuzz::CountLines(text));
    return 0;
  }
  FUZZ_CHECK(error.kind == CsvErrorKind::None);
  FUZZ_CHECK(lines.size() == records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    FUZZ_CHECK(!records[i].empty());
    FUZZ_CHECK(lines[i] >= 1 && lines[i] <= fuzz::CountLines(text));
    FUZZ_CHECK(i == 0 || lines[i] > lines[i - 1]);
  }

  std::string written;
  for (const CsvRecord& r : records) written += CsvLine(r);
  std::vector<CsvRecord> reread;
  FUZZ_CHECK(ParseCsv(written, reread));
  FUZZ_CHECK(reread == records);

  // Unchecked texts straight into the encoder, as any grid cell may hold.
  const Image before = NewImage();
  Image image = before;
  EncodeChannels(RecordCells(records), image);
  FUZZ_CHECK(fuzz::SameOutsideChannels(before, image));
  for (int n = 1; n <= kChannelCount; ++n) {
    DecodeChannel(image, n, false);
    DecodeChannel(image, n, true);
  }

  CheckTable(text, band);
  return 0;
}

namespace fuzz {

std::vector<std::string> Seeds() {
  const std::string header =
      "CH,Rx Frequency,Tx Frequency,QT/DQT Dec,QT/DQT Enc,W/N,Scan,Busy Lock,Power\n";
  std::string dump = header;
  dump += "1,446.00625,446.00625,None,None,Narrow,Yes,QT/DQT,High\n";
  dump += "2,446.01875,446.01875,67.0,67.0,Wide,No,Off,Low\n";
  dump += "3,462.56250,467.56250,D023N,D023I,Wide,Yes,Carrier,Middle\n";
  dump += "4,,,,,,,,\n";
  for (int n = 5; n <= 16; ++n)
    dump += std::to_string(n) + ",44" + std::to_string(n % 10) + ".50000,,88.5,D754N,Narrow,Yes,QT/DQT,High\n";

  std::string chinese = "信道,接收频率,发射频率,QT/DQT解码,QT/DQT编码,宽/窄,扫描,繁忙锁定,功率\r\n";
  for (int n = 1; n <= 16; ++n)
    chinese += std::to_string(n) + ",145.00000,145.60000,无,无,宽,是,关,高\r\n";

  // A band of the settings file beyond the usual ones.
  std::string wide = "\x80" "900-1100MHz\n";
  for (int n = 1; n <= 16; ++n) wide += std::to_string(n) + "," + std::to_string(900 + n * 10) + ",,,,,,,\n";

  std::string quoted = "\xEF\xBB\xBF\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\"\n\n,,\r\nlast,\"\"";
  return {std::string(1, '\0') + dump, wide, "\x01" + chinese, "\x02" + quoted, "\x03\"open\n", "\x03"};
}

std::vector<std::string> Tokens() {
  return {",", "\"", "\"\"", "\r\n", "\n", "\xEF\xBB\xBF", "446.00625", "D023N", "D754I", "None",
          "Wide", "Narrow", "QT/DQT", "Carrier", "Middle", "无", "宽", "1e308", "-0.5", "9999999999", "MHz", "-"};
}

}  // namespace fuzz
