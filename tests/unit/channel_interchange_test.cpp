// Channel import and export: CHIRP CSV both ways, Chanset's own table,
// format detection, bad files, and round trips over random images.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "editor/ChannelImport.h"
#include "editor/ChansetCsv.h"
#include "editor/ChirpCsv.h"
#include "data/ChannelWords.h"
#include "editor/ToneTable.h"

using namespace chanset;

namespace {

const std::string kBand = "400-470MHz";
const std::string kHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
    "Mode,TStep,Skip,Power,Comment\n";

ImportOptions Options(CsvFormat format = CsvFormat::Auto, bool renumber = false, bool zh = false) {
  ImportOptions o;
  o.format = format;
  o.renumber = renumber;
  o.bandText = kBand;
  o.limits = DeriveBandLimits(kBand);
  o.chinese = zh;
  return o;
}

std::vector<std::string> RefusalTexts(const ImportRow& row) {
  std::vector<std::string> out;
  for (const CellRefusal& r : row.refusals) out.push_back(ImportRefusalText(r, false));
  return out;
}

// A CHIRP row: the base row with "Column=value;..." changed.
std::string ChirpRow(const std::string& changes) {
  CsvRecord row{"1", "", "446.006250", "", "0.000000", "", "88.5", "88.5", "023", "NN", "023", "Tone->Tone",
                "FM", "12.50", "", "High", ""};
  std::stringstream ss(changes);
  for (std::string change; std::getline(ss, change, ';');) {
    const std::size_t eq = change.find('=');
    for (std::size_t c = 0; c < kChirpColumns.size(); ++c)
      if (kChirpColumns[c] == change.substr(0, eq)) row[c] = change.substr(eq + 1);
  }
  return CsvLine(row);
}

struct ChirpCase {
  const char* changes;
  ChannelTexts texts;                 // when accepted
  std::vector<std::string> refusals;  // ImportRefusalText, English
  std::vector<std::string> notes = {};  // of an accepted row
};

class ChirpImport : public ::testing::TestWithParam<ChirpCase> {};

TEST_P(ChirpImport, MapsEveryColumn) {
  const ChirpCase& c = GetParam();
  const ImportResult result = ImportChannels(kHeader + ChirpRow(c.changes), Options());
  ASSERT_EQ(result.error, "");
  ASSERT_EQ(result.format, CsvFormat::Chirp);
  ASSERT_EQ(result.rows.size(), 1u);
  const ImportRow& row = result.rows[0];
  EXPECT_EQ(row.line, 2);
  EXPECT_EQ(RefusalTexts(row), c.refusals);
  EXPECT_EQ(row.texts, c.refusals.empty() ? c.texts : ChannelTexts{});
  EXPECT_EQ(row.notes, c.notes);
}

ChannelTexts Texts(const char* rx, const char* tx, const char* dec, const char* enc, const char* wn = "Wide",
                   const char* scan = "Yes", const char* power = "High") {
  return {rx, tx, dec, enc, wn, scan, "Off", power};
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChirpImport,
    ::testing::Values(
        // Tone modes: a simplex row gains no tone, TSQL takes cToneFreq both ways.
        ChirpCase{"rToneFreq=100.0;cToneFreq=162.2", Texts("446.00625", "446.00625", "None", "None"), {}},
        ChirpCase{"Tone=Tone;rToneFreq=100.0;cToneFreq=162.2", Texts("446.00625", "446.00625", "None", "100.0"), {}},
        ChirpCase{"Tone=TSQL;rToneFreq=100.0;cToneFreq=162.2", Texts("446.00625", "446.00625", "162.2", "162.2"), {}},
        ChirpCase{"Tone=DTCS;DtcsCode=754;DtcsPolarity=RN;RxDtcsCode=023",
                  Texts("446.00625", "446.00625", "D754N", "D754I"), {}},
        // Cross modes, Tx side first.
        ChirpCase{"Tone=Cross;CrossMode=Tone->Tone;rToneFreq=67.0;cToneFreq=162.20",
                  Texts("446.00625", "446.00625", "162.2", "67.0"), {}},
        ChirpCase{"Tone=Cross;CrossMode=Tone->DTCS;rToneFreq=67;RxDtcsCode=411;DtcsPolarity=NR",
                  Texts("446.00625", "446.00625", "D411I", "67.0"), {}},
        ChirpCase{"Tone=Cross;CrossMode=DTCS->Tone;DtcsCode=025;DtcsPolarity=RN;cToneFreq=88.5",
                  Texts("446.00625", "446.00625", "88.5", "D025I"), {}},
        ChirpCase{"Tone=Cross;CrossMode=DTCS->;DtcsCode=25;DtcsPolarity=NN",
                  Texts("446.00625", "446.00625", "None", "D025N"), {}},
        ChirpCase{"Tone=Cross;CrossMode=->DTCS;RxDtcsCode=025;DtcsPolarity=NR",
                  Texts("446.00625", "446.00625", "D025I", "None"), {}},
        ChirpCase{"Tone=Cross;CrossMode=->Tone;cToneFreq=254.1", Texts("446.00625", "446.00625", "254.1", "None"), {}},
        ChirpCase{"Tone=Cross;CrossMode=DTCS->DTCS;DtcsCode=023;RxDtcsCode=754;DtcsPolarity=RN",
                  Texts("446.00625", "446.00625", "D754N", "D023I"), {}},
        // Duplex kinds.
        ChirpCase{"Frequency=440.0125;Duplex=+;Offset=5", Texts("440.01250", "445.01250", "None", "None"), {}},
        ChirpCase{"Frequency=440.012500;Duplex=-;Offset=5.000000", Texts("440.01250", "435.01250", "None", "None"), {}},
        ChirpCase{"Duplex=split;Offset=462.562500", Texts("446.00625", "462.56250", "None", "None"), {}},
        ChirpCase{"Duplex=off",
                  {},
                  {"line 2, column 4 (Duplex), \"off\": receive only: a channel of this radio always has a "
                   "transmit frequency"}},
        // Mode, Skip and Power forms.
        ChirpCase{"Mode=NFM;Skip=S;Power=low", Texts("446.00625", "446.00625", "None", "None", "Narrow", "No", "Low"), {}},
        ChirpCase{"Skip=P;Power=中",
                  Texts("446.00625", "446.00625", "None", "None", "Wide", "Yes", "Middle"),
                  {},
                  {"Skip P (priority scan): the radio has no priority scan; Scan Yes"}},
        // Watts: the radio type's own come back as their level, others as
        // the nearest level (the lower of two as near), with a note.
        ChirpCase{"Power=2.0W", Texts("446.00625", "446.00625", "None", "None", "Wide", "Yes", "Middle"), {}},
        ChirpCase{"Power=0.5W", Texts("446.00625", "446.00625", "None", "None", "Wide", "Yes", "Low"), {}},
        ChirpCase{"Power=5", Texts("446.00625", "446.00625", "None", "None"), {}},
        ChirpCase{"Power=50W",
                  Texts("446.00625", "446.00625", "None", "None"),
                  {},
                  {"power 50W is none of this radio's 5.0W, 2.0W, 0.5W: High, the nearest"}},
        ChirpCase{"Power=1.25W;Name=Base",
                  Texts("446.00625", "446.00625", "None", "None", "Wide", "Yes", "Low"),
                  {},
                  {"power 1.25W is none of this radio's 5.0W, 2.0W, 0.5W: Low, the nearest",
                   "Name \"Base\" dropped: the radio has no channel names"}},
        ChirpCase{"Power=", Texts("446.00625", "446.00625", "None", "None"), {}},
        // Refused rows say where and why.
        ChirpCase{"Location=17", {}, {"line 2, column 1 (Location), \"17\": not a channel 1 to 16"}},
        ChirpCase{"Location=one", {}, {"line 2, column 1 (Location), \"one\": not a channel 1 to 16"}},
        ChirpCase{"Frequency=abc;Mode=AM",
                  {},
                  {"line 2, column 3 (Frequency), \"abc\": not a frequency in MHz",
                   "line 2, column 13 (Mode), \"AM\": Mode is neither FM nor NFM"}},
        ChirpCase{"Frequency=480.000000",
                  {},
                  {"line 2, column 3 (Frequency), \"480.000000\": Rx Frequency 480.00000: out of range: the band "
                   "400-470MHz takes 400.00000 to 471.00000 MHz"}},
        ChirpCase{"Mode=AM;Frequency=118.000000",
                  {},
                  {"line 2, column 3 (Frequency), \"118.000000\": Rx Frequency 118.00000: out of range: the band "
                   "400-470MHz takes 400.00000 to 471.00000 MHz",
                   "line 2, column 13 (Mode), \"AM\": Mode is neither FM nor NFM"}},
        ChirpCase{"Frequency=440.0125;Duplex=+;Offset=40",
                  {},
                  {"line 2, column 5 (Offset), \"40\": Tx Frequency 480.01250: out of range: the band "
                   "400-470MHz takes 400.00000 to 471.00000 MHz"}},
        ChirpCase{"Frequency=446.00312", {}, {"line 2, column 3 (Frequency), \"446.00312\": Rx Frequency 446.00312: "
                                              "not on a 5 kHz or 6.25 kHz step"}},
        ChirpCase{"Frequency=446.003125", {}, {"line 2, column 3 (Frequency), \"446.003125\": not on a 5 kHz or "
                                               "6.25 kHz step"}},
        ChirpCase{"Frequency=446.0000005", {}, {"line 2, column 3 (Frequency), \"446.0000005\": not a frequency in MHz"}},
        ChirpCase{"Tone=TSQL;cToneFreq=162.19",
                  {},
                  {"line 2, column 8 (cToneFreq), \"162.19\": not a CTCSS tone of the radio's tone list"}},
        ChirpCase{"Tone=DTCS;DtcsCode=017",
                  {},
                  {"line 2, column 9 (DtcsCode), \"017\": not a DCS code of the radio's tone list"}},
        ChirpCase{"Tone=DTCS;DtcsPolarity=NX",
                  {},
                  {"line 2, column 10 (DtcsPolarity), \"NX\": DtcsPolarity is none of NN, NR, RN, RR"}},
        ChirpCase{"Tone=Cross;CrossMode=Tone->;rToneFreq=65.5", Texts("446.00625", "446.00625", "None", "65.5"), {}},
        ChirpCase{"Tone=Cross;CrossMode=Tone",
                  {},
                  {"line 2, column 12 (CrossMode), \"Tone\": CrossMode is none of Tone->Tone, Tone->DTCS, "
                   "DTCS->Tone, Tone->, DTCS->, ->DTCS, ->Tone, DTCS->DTCS"}},
        ChirpCase{"Tone=DTCS-R", {}, {"line 2, column 6 (Tone), \"DTCS-R\": Tone is none of empty, Tone, TSQL, DTCS, Cross"}},
        ChirpCase{"Skip=X;Power=Max",
                  {},
                  {"line 2, column 15 (Skip), \"X\": Skip is none of empty, S, P",
                   "line 2, column 16 (Power), \"Max\": Power is neither watts (5.0W) nor High, Middle, Low"}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(ChirpImportFile, WattsNamesAndColumnOrder) {
  // Columns in another order, one the format does not know, CRLF, a BOM and
  // quoted fields.
  const std::string text =
      "\xEF\xBB\xBF" "Power,Frequency,Location,Extra,Name,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,"
      "DtcsPolarity,Mode,Comment\r\n"
      "5.0W,446.00625,1,x,\"Home, base\",,0,,88.5,88.5,023,NN,FM,\"said \"\"hi\"\"\"\r\n"
      "1W,446.0125,2,,,,0,,88.5,88.5,023,NN,FM,\r\n"
      "2.5 W,446.01875,3,,,,0,,88.5,88.5,023,NN,FM,\r\n"
      "5W,446.025,4,,,,0,,88.5,88.5,023,NN,FM,\r\n";
  const ImportResult result = ImportChannels(text, Options());
  ASSERT_EQ(result.error, "");
  ASSERT_EQ(result.rows.size(), 4u);
  const char* levels[] = {"High", "Low", "Middle", "High"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_TRUE(result.rows[i].Accepted()) << i;
    EXPECT_EQ(result.rows[i].texts[7], levels[i]);
  }
  EXPECT_EQ(result.rows[0].notes,
            (std::vector<std::string>{"Name \"Home, base\" dropped: the radio has no channel names", "Comment dropped"}));
  EXPECT_EQ(result.rows[2].notes,
            std::vector<std::string>{"power 2.5 W is none of this radio's 5.0W, 2.0W, 0.5W: Middle, the nearest"});
  EXPECT_TRUE(result.notes.empty());

  const ImportResult zh = ImportChannels(text, Options(CsvFormat::Chirp, false, true));
  EXPECT_EQ(zh.rows[1].texts[7], "低");
  EXPECT_EQ(zh.rows[1].notes, std::vector<std::string>{"功率1W不是本电台的5.0W、2.0W、0.5W之一：取最接近的低"});

  // Another radio type's watts, and a file without a Power column.
  ImportOptions four = Options();
  four.watts = {4000, 1000, 250};
  EXPECT_EQ(ImportChannels(text, four).rows[3].notes,
            std::vector<std::string>{"power 5W is none of this radio's 4.0W, 1.0W, 0.25W: High, the nearest"});
  const ImportResult noPower = ImportChannels(
      "Location,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode\n"
      "1,446,,0,,88.5,88.5,023,NN,FM\n2,446.1,,0,,88.5,88.5,023,NN,NFM\n",
      Options());
  EXPECT_EQ(noPower.notes, std::vector<std::string>{"the file has no Power column: every channel imports at High power"});
  EXPECT_EQ(noPower.rows[1].texts[7], "High");
  EXPECT_TRUE(noPower.rows[1].notes.empty());
}

struct BadFile {
  const char* text;
  CsvFormat format;
  const char* error;  // whole-file error, or "" when the rows say it
  std::vector<std::vector<std::string>> refusals;  // per row
};

class BadFiles : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadFiles, SayWhereAndCrashNothing) {
  const BadFile& c = GetParam();
  const ImportResult result = ImportChannels(c.text, Options(c.format));
  EXPECT_EQ(result.error, c.error);
  std::vector<std::vector<std::string>> refusals;
  for (const ImportRow& row : result.rows) refusals.push_back(RefusalTexts(row));
  EXPECT_EQ(refusals, c.refusals);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadFiles,
    ::testing::Values(
        BadFile{"", CsvFormat::Auto, "line 1: the file holds no rows", {}},
        BadFile{"\xEF\xBB\xBF\r\n\r\n", CsvFormat::Chirp, "line 1: the file holds no rows", {}},
        BadFile{"Location,Frequency\n1,\"446\n2,447\n", CsvFormat::Chanset, "line 2: a quoted field is not closed", {}},
        BadFile{"Location,Frequency,Tone\n1,446,\n", CsvFormat::Auto,
                "line 1: the header has no column Duplex, Offset, rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, Mode",
                {}},
        BadFile{"Channel,Freq\n1,446\n", CsvFormat::Auto,
                "line 1: neither a Chanset channel table (CH,Rx Frequency,...) nor a CHIRP CSV file "
                "(Location,Name,Frequency,...): the first row is no header of either",
                {}},
        BadFile{"Location,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode\n"
                "1,446,,0,,88.5,88.5,023,NN,FM\n"
                "Location,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode\n"
                "1,446.1,,0,,88.5,88.5,023,NN,FM\n"
                "2,446.1\n"
                ",,,,,,,,,\n"  // a row of separators is skipped like an empty line
                " , ,\t,\n"
                "3,446.1,,0,,88.5,88.5,023,NN,FM\n",
                CsvFormat::Auto, "",
                {{},
                 {"line 3: a second header row"},
                 {"line 4: channel 1 already comes from line 2"},
                 {"line 5: the row has 2 fields, the header 10"},
                 {}}},
        // Chanset's own table, in Chinese, with its faults.
        BadFile{"信道,接收频率,发射频率,QT/DQT解码,QT/DQT编码,宽/窄,扫描,繁忙锁定,功率\n"
                "3,446.1,,D017N,88.6,宽,是,载波,高\n"
                "3,446.1,,None,None,Wide,Yes,Off,High\n"
                "17,446.1,,None,None,Wide,Yes,Off,High\n"
                "4,446.1,,None\n"
                "5,abc,,None,None,Wide,Yes,Off,High\n"
                "CH,Rx Frequency,Tx Frequency,QT/DQT Dec,QT/DQT Enc,W/N,Scan,Busy Lock,Power\n",
                CsvFormat::Auto, "",
                {{"line 2, column 4 (QT/DQT Dec), \"D017N\": not in the tone list: None, one of its 53 CTCSS tones "
                  "(88.5) or a listed DCS code with N or I (D023N)",
                  "line 2, column 5 (QT/DQT Enc), \"88.6\": not in the tone list: None, one of its 53 CTCSS tones "
                  "(88.5) or a listed DCS code with N or I (D023N)"},
                 {"line 3: channel 3 already comes from line 2"},
                 {"line 4, column 1 (CH), \"17\": not a channel number 1 to 16"},
                 {"line 5, column 5 (QT/DQT Enc), \"\": a row needs 9 columns (channel and eight texts), this one has 4"},
                 {"line 6, column 2 (Rx Frequency), \"abc\": not a frequency in MHz"},
                 {"line 7: a second header row"}}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// A file of many rows keeps the 16 it may use and the first refusals a
// list shows, and counts the rest.
TEST(ImportRows, TenThousandRowsAndRenumbering) {
  std::string text = kHeader;
  for (int i = 0; i < 10000; ++i) text += ChirpRow("Location=" + std::to_string(i));
  const ImportResult byLocation = ImportChannels(text, Options());
  EXPECT_EQ(byLocation.RowCount(), 10000);
  EXPECT_EQ(byLocation.AcceptedCount(), 16);
  EXPECT_EQ(byLocation.rows.size(), 16u + kListLines);
  EXPECT_EQ(RefusalTexts(byLocation.rows.back()),
            std::vector<std::string>{"line 37, column 1 (Location), \"35\": not a channel 1 to 16"});
  const std::vector<std::string> lines = ImportListLines(byLocation, false);
  ASSERT_EQ(lines.size(), kListLines + 1);
  EXPECT_EQ(lines[0], "line 2, column 1 (Location), \"0\": not a channel 1 to 16");
  EXPECT_EQ(lines.back(), "…and 9964 more");

  const ImportResult renumbered = ImportChannels(text, Options(CsvFormat::Chirp, true));
  EXPECT_EQ(renumbered.AcceptedCount(), 16);
  EXPECT_EQ(renumbered.rows[0].channel, 1);  // Location 0
  EXPECT_EQ(renumbered.rows[15].channel, 16);
  EXPECT_EQ(RefusalTexts(renumbered.rows[16]), std::vector<std::string>{"line 18: no channel left: the radio has 16"});

  // Renumbered, refused rows take no channel: the accepted ones land on 1, 2, 3.
  const ImportResult gaps = ImportChannels(kHeader + ChirpRow("Frequency=446.1") + ChirpRow("Frequency=500") +
                                               ChirpRow("Mode=AM") + ChirpRow("Frequency=446.2") +
                                               ChirpRow("Frequency=446.3"),
                                           Options(CsvFormat::Chirp, true));
  std::vector<int> channels;
  for (const ImportRow& row : gaps.rows) channels.push_back(row.channel);
  EXPECT_EQ(channels, (std::vector<int>{1, 0, 0, 2, 3}));
}

TEST(ImportRows, ApplyReplacesOnlyTheNamedChannels) {
  Image image = NewImage();
  for (int n = 1; n <= kChannelCount; ++n)
    EncodeChannel({"450.00000", "455.00000", "D023N", "88.5", "Narrow", "No", "Carrier", "Low"}, image, n);
  image[off::channel(2) + 14] = 0x5A;
  const Image before = image;
  const ImportResult result =
      ImportChannels(kHeader + ChirpRow("Location=2;Tone=Tone;rToneFreq=100") + ChirpRow("Location=40"), Options());
  EXPECT_EQ(ApplyImport(result, image), 1);
  EXPECT_EQ(DecodeChannel(image, 2, false), Texts("446.00625", "446.00625", "None", "100.0"));
  EXPECT_EQ(image[off::channel(2) + 14], 0x5A);
  for (int n : {1, 3, 16}) EXPECT_EQ(DecodeChannel(image, n, false), DecodeChannel(before, n, false));
  EXPECT_EQ(image[off::kWriteBack], kWriteBackMarker);
}

// ---- export ----

TEST(ChirpExport, WritesTheInverseRules) {
  Image image = NewImage();
  EncodeChannel({"446.00625", "446.00625", "None", "None", "Wide", "Yes", "Off", "High"}, image, 1);
  EncodeChannel({"440.01250", "445.01250", "88.5", "100.0", "Narrow", "No", "Carrier", "Low"}, image, 2);
  EncodeChannel({"460.00000", "380.00000", "D023I", "D023N", "Wide", "Yes", "Off", "Middle"}, image, 5);
  EncodeChannel({"440.00000", "439.00000", "162.2", "162.2", "Wide", "Yes", "Off", "High"}, image, 7);
  EncodeChannel({"401.00500", "401.00500", "D754N", "None", "Wide", "Yes", "QT/DQT", "High"}, image, 16);
  std::vector<std::string> notes;
  EXPECT_EQ(WriteChirpCsv(image, &notes),
            kHeader +
                "1,,446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,5.0W,\n"
                "2,,440.012500,+,5.000000,Cross,100.0,88.5,023,NN,023,Tone->Tone,NFM,12.50,S,0.5W,\n"
                "5,,460.000000,split,380.000000,DTCS,88.5,88.5,023,NR,023,Tone->Tone,FM,12.50,,2.0W,\n"
                "7,,440.000000,-,1.000000,TSQL,88.5,162.2,023,NN,023,Tone->Tone,FM,12.50,,5.0W,\n"
                "16,,401.005000,,0.000000,Cross,88.5,88.5,023,NN,754,->DTCS,FM,5.00,,5.0W,\n");
  EXPECT_EQ(notes, (std::vector<std::string>{
                       "Busy Lock is not part of the CHIRP CSV format: channels 2, 16 will import with Busy Lock Off",
                       "channel 16 needs CHIRP from 2023 on: older versions ignore the CrossMode and RxDtcsCode "
                       "columns and read it as Tone->Tone with rToneFreq and cToneFreq (88.5 where unused)"}));

  // A tone the list lacks is written and said once for its channel; 65.5,
  // which CHIRP before 2023 refuses, too; the watts of another radio type.
  EncodeChannel({"446.00625", "446.00625", "88.6", "88.6", "Wide", "Yes", "Off", "High"}, image, 1);
  EncodeChannel({"440.01250", "445.01250", "D023N", "65.5", "Narrow", "No", "Off", "Low"}, image, 2);
  EncodeChannel({"446.00625", "446.00625", "65.5", "65.5", "Wide", "Yes", "Off", "Middle"}, image, 3);
  notes.clear();
  const std::string four = WriteChirpCsv(image, &notes, true, {4000, 1000, 250});
  EXPECT_NE(four.find("\n2,,440.012500,+,5.000000,Cross,65.5,88.5,023,NN,023,Tone->DTCS,NFM,12.50,S,0.25W,\n"),
            std::string::npos);
  EXPECT_NE(four.find(",TSQL,88.5,65.5,023,NN,023,Tone->Tone,FM,6.25,,1.0W,\n"), std::string::npos);
  EXPECT_EQ(notes, (std::vector<std::string>{
                       "信道1：亚音88.6不在电台的亚音列表中，导入此文件时该信道会被拒绝",
                       "CHIRP CSV格式没有繁忙锁定：信道16导入后繁忙锁定为关",
                       "信道2、16需要2023年起的CHIRP：旧版本忽略CrossMode和RxDtcsCode列，会按rToneFreq和cToneFreq读成"
                       "Tone->Tone（未用处为88.5）",
                       "信道2、3使用亚音65.5，2023年以前的CHIRP没有此亚音，会拒绝这些信道"}));
  EncodeChannel({"446.00625", "446.00625", "D017N", "88.6", "Wide", "Yes", "Off", "High"}, image, 1);
  notes.clear();
  WriteChirpCsv(image, &notes);
  EXPECT_EQ(notes[0], "channel 1: the tones D017N and 88.6 are not in the radio's tone list; importing the file "
                      "refuses the channel");
}

// ---- round trips over random images ----

// A random channel the grid could hold: in the band, on a step, tones from
// the list, words of the given language; sometimes empty.
ChannelTexts RandomChannel(std::mt19937& rng, bool zh) {
  static const ToneTable en(false), chinese(true);
  const ToneTable& tones = zh ? chinese : en;
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  if (pick(5) == 0) return ChannelTexts{};
  auto frequency = [&]() {
    const std::int64_t step = pick(2) ? 625 : 500;
    const std::int64_t v = 40000000 + step * pick(static_cast<int>((47100000 - 40000000) / step + 1));
    return FormatFrequencyText(static_cast<double>(v) / 100000.0);
  };
  const std::string rx = frequency();
  const std::string tx = pick(3) ? rx : frequency();
  return {rx,
          tx,
          tones.Text(pick(4) ? pick(tones.Size()) : 0),
          tones.Text(pick(4) ? pick(tones.Size()) : 0),
          kWidthChoices[static_cast<std::size_t>(pick(2))].In(zh),
          kScanChoices[static_cast<std::size_t>(pick(2))].In(zh),
          kBusyChoices[static_cast<std::size_t>(pick(3))].In(zh),
          kPowerChoices[static_cast<std::size_t>(pick(3))].In(zh)};
}

TEST(RoundTrip, RandomImagesThroughBothFormats) {
  std::mt19937 rng(20240611);
  for (int iter = 0; iter < 300; ++iter) {
    const bool zh = iter % 2 == 1;
    Image image = NewImage();
    for (auto& b : image) b = static_cast<std::uint8_t>(rng());  // other bytes do not matter
    for (int n = 1; n <= kChannelCount; ++n) EncodeChannel(RandomChannel(rng, zh), image, n);

    // CHIRP CSV: the same channels except Busy Lock, and the same file again.
    const std::string chirp = WriteChirpCsv(image);
    const ImportResult fromChirp = ImportChannels(chirp, Options(CsvFormat::Auto, false, zh));
    ASSERT_EQ(fromChirp.RefusedCount(), 0) << chirp;
    Image viaChirp = NewImage();
    ApplyImport(fromChirp, viaChirp);
    for (int n = 1; n <= kChannelCount; ++n) {
      ChannelTexts want = DecodeChannel(image, n, zh);
      if (!want[0].empty()) want[6] = words::kOff.In(zh);
      ASSERT_EQ(DecodeChannel(viaChirp, n, zh), want) << iter << " channel " << n << "\n" << chirp;
    }
    ASSERT_EQ(WriteChirpCsv(viaChirp), chirp);

    // Chanset's table, either language: every channel, Busy Lock included.
    const std::string table = WriteChansetCsv(image, !zh);
    const ImportResult fromTable = ImportChannels(table, Options(CsvFormat::Auto, false, zh));
    ASSERT_EQ(fromTable.AcceptedCount(), kChannelCount);
    Image viaTable = image;
    for (int n = 1; n <= kChannelCount; ++n) EncodeChannel(ChannelTexts{"446"}, viaTable, n);
    ApplyImport(fromTable, viaTable);
    for (int n = 1; n <= kChannelCount; ++n)
      ASSERT_EQ(DecodeChannel(viaTable, n, zh), DecodeChannel(image, n, zh)) << iter << " channel " << n;
  }
}

}  // namespace
