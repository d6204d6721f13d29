#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

#include "data/ChannelCodec.h"
#include "data/DatFile.h"
#include "tests/unit/TempDir.h"
#include "data/Csv.h"

using namespace chanset;
using testutil::ReadText;
using testutil::TempDir;
using testutil::WriteText;

namespace {

TEST(Csv, RecordsKnowTheLineTheyStartOn) {
  std::vector<CsvRecord> recs;
  std::vector<int> lines;
  ASSERT_TRUE(ParseCsvLines("a,b\r\n\r\n\"two\nlines\",x\n\n\nlast", recs, &lines));
  ASSERT_EQ(recs.size(), 3u);
  EXPECT_EQ(lines, (std::vector<int>{1, 3, 7}));
  EXPECT_EQ(recs[1], (CsvRecord{"two\nlines", "x"}));
  CsvError error;
  EXPECT_FALSE(ParseCsvLines("ok\n\"a\"b,c\n", recs, &lines, &error));
  EXPECT_EQ(error.line, 2);
  EXPECT_TRUE(lines.empty());
}

// A table of the shape `dump` prints, with channels 1..3 filled.
std::vector<std::string> BaseRows() {
  std::vector<std::string> rows = {
      "CH,Rx Frequency,Tx Frequency,QT/DQT Dec,QT/DQT Enc,W/N,Scan,Busy Lock,Power",
      "1,446.00625,446.00625,None,None,Wide,Yes,Off,High",
      "2,440.0125,,88.5,D023N,Narrow,No,Carrier,Low",
      "3,401,402.005,无,D754I,窄,否,QT/DQT,中",
  };
  for (int ch = 4; ch <= 16; ++ch) rows.push_back(std::to_string(ch) + ",,,,,,,,");
  return rows;
}

std::string Join(const std::vector<std::string>& rows) {
  std::string s;
  for (const std::string& r : rows) s += r + "\n";
  return s;
}

class ImportCsv : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(dir_.File("Chanset.ini"),
              "[Setup]\nType1=LowBand\nField1=136-174MHz\nType2=UHF\n"
              "Field2=136-174MHz|400-470MHz\n");
    base_ = NewImage();
    base_[off::kRadioType] = 1;
    base_[off::kBand] = 1;  // 400-470MHz
    ASSERT_EQ(StoreDatFile(dir_.File("base.dat"), base_), DatError::None);
  }

  int Run(const std::string& csv, std::string& err) {
    WriteText(dir_.File("in.csv"), csv);
    std::string cmd = std::string(CHANSET_APP_DIR "/chanset-cli import-csv ") +
                      dir_.File("in.csv") + " " + dir_.File("base.dat") + " " +
                      dir_.File("out.dat") + " --ini " + dir_.File("Chanset.ini") + " 2>" +
                      dir_.File("err.txt");
    int status = std::system(cmd.c_str());
    err = ReadText(dir_.File("err.txt"));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  bool OutExists() const {
    struct stat st;
    return stat(dir_.File("out.dat").c_str(), &st) == 0;
  }

  TempDir dir_;
  Image base_{};
};

struct Texts : CellTexts {
  std::vector<ChannelTexts> rows;
  std::string Text(int r, int c) const override {
    return r >= 1 && r <= 16 && c >= 1 && c <= 8 ? rows[r - 1][c - 1] : std::string();
  }
};

TEST_F(ImportCsv, ValidTableImportsByteExact) {
  std::string err;
  ASSERT_EQ(Run(Join(BaseRows()), err), 0) << err;
  Image out{};
  ASSERT_EQ(LoadDatFile(dir_.File("out.dat"), out), DatError::None);

  // What the editor would have put in the grid: frequencies with five
  // decimals, the empty Tx following the Rx.
  Texts grid;
  grid.rows.assign(16, ChannelTexts{});
  grid.rows[0] = {"446.00625", "446.00625", "None", "None", "Wide", "Yes", "Off", "High"};
  grid.rows[1] = {"440.01250", "440.01250", "88.5", "D023N", "Narrow", "No", "Carrier", "Low"};
  grid.rows[2] = {"401.00000", "402.00500", "无", "D754I", "窄", "否", "QT/DQT", "中"};
  Image expected = base_;
  EncodeChannels(grid, expected);
  EXPECT_EQ(out, expected);

  // A few bytes stated outright.
  const std::uint8_t ch1[] = {0x25, 0x06, 0x60, 0x44, 0x25, 0x06, 0x60, 0x44, 0xFF, 0xFF};
  EXPECT_TRUE(std::equal(std::begin(ch1), std::end(ch1), out.begin() + off::channel(1)));
  const std::uint8_t ch2tx[] = {0x50, 0x12, 0x00, 0x44, 0x75, 0x03, 0x13, 0x28};
  EXPECT_TRUE(std::equal(std::begin(ch2tx), std::end(ch2tx), out.begin() + off::channel(2) + 4));
  EXPECT_EQ(out[off::channel(5)], 0xFF);  // an empty channel
  EXPECT_EQ(out[off::kBand], 1);
  // Outside the channels nothing but the write-back marker changed.
  for (std::size_t i = 0x110; i < kImageSize; ++i) {
    if (i == off::kWriteBack || i == off::kScanBits || i == off::kScanBits + 1) continue;
    ASSERT_EQ(out[i], base_[i]) << i;
  }
}

struct BadCell {
  int row;     // index into BaseRows()
  int column;  // 1-based CSV column
  const char* text;
  const char* reason;  // part of the message
};

class ImportCsvRefuses : public ImportCsv, public ::testing::WithParamInterface<BadCell> {};

TEST_P(ImportCsvRefuses, ReportsLineAndColumnAndWritesNothing) {
  const BadCell& c = GetParam();
  std::vector<std::string> rows = BaseRows();
  std::vector<std::string> cells;
  std::stringstream ss(rows[static_cast<std::size_t>(c.row)]);
  for (std::string cell; std::getline(ss, cell, ',');) cells.push_back(cell);
  cells.resize(9);
  cells[static_cast<std::size_t>(c.column - 1)] = c.text;
  std::string row;
  for (const std::string& cell : cells) row += (row.empty() ? "" : ",") + cell;
  rows[static_cast<std::size_t>(c.row)] = row;

  std::string err;
  EXPECT_NE(Run(Join(rows), err), 0);
  EXPECT_FALSE(OutExists());
  std::string where = "line " + std::to_string(c.row + 1) + ", column " +
                      std::to_string(c.column) + ", \"" + c.text + "\": ";
  EXPECT_NE(err.find(where), std::string::npos) << err;
  EXPECT_NE(err.find(c.reason), std::string::npos) << err;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ImportCsvRefuses,
    ::testing::Values(BadCell{1, 2, "471.00500", "out of range"},
                      BadCell{1, 2, "399.99375", "out of range"},
                      BadCell{2, 3, "480", "out of range"},
                      BadCell{1, 2, "446.00312", "step"},
                      BadCell{3, 3, "446.00312", "step"},
                      BadCell{1, 2, "446MHz", "not a frequency"},
                      BadCell{2, 6, "Wideband", "not a known word"},
                      BadCell{2, 7, "yes", "not a known word"},
                      BadCell{3, 9, "Max", "not a known word"},
                      BadCell{1, 4, "D999N", "not in the tone list"},
                      BadCell{1, 4, "D023X", "not in the tone list"},
                      BadCell{1, 5, "88.55", "not in the tone list"},
                      BadCell{1, 5, "62.4", "not in the tone list"},
                      BadCell{1, 5, "1024.0", "not in the tone list"},
                      BadCell{1, 4, "none", "not in the tone list"},
                      BadCell{5, 1, "17", "channel number"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(ImportCsv, RefusesWhatTypingWouldRefuseAndSkipsSeparatorRows) {
  // A code outside the tone lists decodes, but no way in may store it.
  std::vector<std::string> rows = BaseRows();
  rows[1] = "1,471,,D017N,254.1,Wide,Yes,Off,High";
  std::string err;
  EXPECT_NE(Run(Join(rows), err), 0);
  EXPECT_NE(err.find("line 2, column 4, \"D017N\": not in the tone list"), std::string::npos) << err;
  rows[1] = "1,471,,D023N,254.1,Wide,Yes,Off,High";
  rows.push_back(",,,,,,,,");  // as a spreadsheet leaves it
  EXPECT_EQ(Run(Join(rows), err), 0) << err;
}

// A file of many refused rows: at most 20 of them on the terminal, each
// line written whole, then the count of the rest.
TEST_F(ImportCsv, ManyErrorsPrintTwentyLines) {
  std::string text = Join(BaseRows());
  for (int i = 0; i < 5000; ++i) text += "1,500,,None,None,Wide,Yes,Off,High\n";
  std::string err;
  EXPECT_NE(Run(text, err), 0);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 22) << err;
  EXPECT_NE(err.find(": …and 4980 more\n"), std::string::npos) << err;
  EXPECT_NE(err.find("chanset-cli: 5000 error(s)"), std::string::npos) << err;
}

TEST_F(ImportCsv, ReportsEveryErrorAndMissingRows) {
  std::vector<std::string> rows = BaseRows();
  rows[1] = "1,500,300,None,None,Wide,Yes,Off,High";
  rows[2] = "2,440.0125,,88.5,D023N,Narrow";
  rows.pop_back();  // no channel 16
  std::string err;
  EXPECT_NE(Run(Join(rows), err), 0);
  EXPECT_FALSE(OutExists());
  EXPECT_NE(err.find("line 2, column 2, \"500\""), std::string::npos) << err;
  EXPECT_NE(err.find("line 2, column 3, \"300\""), std::string::npos) << err;
  EXPECT_NE(err.find("line 3, column 7"), std::string::npos) << err;
  EXPECT_NE(err.find("no row for channel 16"), std::string::npos) << err;
}

TEST_F(ImportCsv, BandOfTheBaseImageDecides) {
  base_[off::kBand] = 0;  // 136-174MHz
  ASSERT_EQ(StoreDatFile(dir_.File("base.dat"), base_), DatError::None);
  std::string err;
  EXPECT_NE(Run(Join(BaseRows()), err), 0);
  EXPECT_NE(err.find("136-174MHz"), std::string::npos) << err;
}

TEST_F(ImportCsv, ExistingOutputIsKeptOnError) {
  WriteText(dir_.File("out.dat"), "keep");
  std::vector<std::string> rows = BaseRows();
  rows[1] = "1,999,,None,None,Wide,Yes,Off,High";
  std::string err;
  EXPECT_NE(Run(Join(rows), err), 0);
  EXPECT_EQ(ReadText(dir_.File("out.dat")), "keep");
}

}  // namespace
