// Fuzz target: the channel import (CHIRP CSV and Chanset's own table, format
// detection), its application to an image, and the CHIRP export.
//
// Invariants:
// - A file either fails as a whole (a message naming a line of the text, no
//   rows) or gives rows on rising lines of the text.
// - An accepted row names a channel 1..16 that no other accepted row names,
//   and its texts pass the channel row check unchanged; a refused row says
//   why and gives no texts.
// - Applying the rows changes no byte outside the channel fields, and each
//   imported channel then decodes to the texts the row showed.
// - Exporting the result as CHIRP CSV and importing that again gives every
//   imported channel back with the same texts (Busy Lock is Off both times).
#include <map>

#include "data/ChannelCodec.h"
#include "editor/ChannelImport.h"
#include "editor/ChirpCsv.h"
#include "data/RadioBands.h"
#include "fuzz/ChannelChecks.h"
#include "fuzz/FuzzTarget.h"

using namespace chanset;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the band, the format asked for, renumbering and
  // the language.
  static const char* const kBands[] = {"400-470MHz", "136-174MHz", "350-390MHz", "430-440MHz"};
  const std::uint8_t pick = data[0];
  ImportOptions options;
  options.bandText = kBands[pick & 3];
  options.limits = DeriveBandLimits(options.bandText);
  options.format = (pick & 4) ? CsvFormat::Chirp : (pick & 8) ? CsvFormat::Chanset : CsvFormat::Auto;
  options.renumber = (pick & 16) != 0;
  options.chinese = (pick & 32) != 0;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  const ImportResult result = ImportChannels(text, options);
  if (!result.error.empty()) {
    FUZZ_CHECK(result.rows.empty());
    FUZZ_CHECK(result.errorLine >= 1 && result.errorLine <= fuzz::CountLines(text));
    return 0;
  }
  FUZZ_CHECK(result.format != CsvFormat::Auto);
  const RowRules rules{options.limits, options.bandText, options.chinese};
  std::map<int, const ImportRow*> accepted;
  int lastLine = 0;
  for (const ImportRow& row : result.rows) {
    FUZZ_CHECK(row.line > lastLine && row.line <= fuzz::CountLines(text));
    lastLine = row.line;
    if (!row.Accepted()) {
      for (const std::string& t : row.texts) FUZZ_CHECK(t.empty());
      for (const CellRefusal& r : row.refusals) FUZZ_CHECK(!r.reason.empty() && r.row == row.line);
      continue;
    }
    FUZZ_CHECK(row.channel >= 1 && row.channel <= kChannelCount);
    FUZZ_CHECK(accepted.count(row.channel) == 0);
    accepted[row.channel] = &row;
    ChannelTexts again;
    FUZZ_CHECK(CheckChannelRow(row.texts, rules, again).empty());
    FUZZ_CHECK(again == row.texts);
  }

  const Image before = NewImage();
  Image image = before;
  FUZZ_CHECK(ApplyImport(result, image) == static_cast<int>(accepted.size()));
  FUZZ_CHECK(fuzz::SameOutsideChannels(before, image));
  for (const auto& [channel, row] : accepted)
    FUZZ_CHECK(DecodeChannel(image, channel, options.chinese) == row->texts);

  // Only channels with a frequency travel in CHIRP CSV, and every one of
  // them comes back: each passed the same row check on the way in.
  ImportOptions back = options;
  back.format = CsvFormat::Chirp;
  back.renumber = false;
  const ImportResult reread = ImportChannels(WriteChirpCsv(image), back);
  FUZZ_CHECK(reread.error.empty());
  std::size_t used = 0;
  for (const auto& [channel, row] : accepted) used += row->texts[0].empty() ? 0 : 1;
  FUZZ_CHECK(reread.rows.size() == used);
  for (const ImportRow& row : reread.rows) {
    FUZZ_CHECK(accepted.count(row.channel) == 1);
    FUZZ_CHECK(row.Accepted());
    ChannelTexts want = accepted[row.channel]->texts;
    want[6] = row.texts[6];  // Busy Lock does not travel
    FUZZ_CHECK(row.texts == want);
  }
  return 0;
}

namespace fuzz {

std::vector<std::string> Seeds() {
  const std::string header =
      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
      "CrossMode,Mode,TStep,Skip,Power,Comment,URCALL\r\n";
  std::string chirp = header;
  chirp += "1,Simplex,446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,NFM,6.25,,High,,\r\n";
  chirp += "2,Rpt,440.012500,+,5.000000,Tone,100.0,88.5,023,NN,023,Tone->Tone,FM,12.50,S,5.0W,note,\r\n";
  chirp += "3,,441.000000,-,5.000000,TSQL,88.5,162.2,023,NN,023,Tone->Tone,FM,5.00,P,1.0W,,\r\n";
  chirp += "4,\"Quote, \"\"q\"\"\",442.000000,split,462.000000,DTCS,88.5,88.5,754,RN,023,Tone->Tone,FM,5.00,,low,,\r\n";
  chirp += "5,,443.000000,,0,Cross,67.0,88.5,023,NR,411,Tone->DTCS,FM,5.00,,2.5W,,\r\n";
  chirp += "6,,444.000000,,0,Cross,67.0,88.5,025,RN,411,DTCS->,NFM,5.00,,Middle,,\r\n";
  chirp += "7,,445.000000,off,0,,88.5,88.5,023,NN,023,Tone->Tone,AM,5.00,,,,\r\n";
  chirp += "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode\r\n";

  // Columns in another order, some missing.
  std::string shuffled = "Frequency,Mode,Location,Tone,Duplex,Offset,DtcsPolarity,DtcsCode,cToneFreq,rToneFreq\n";
  shuffled += "145.500000,FM,1,TSQL,,0.0,NN,023,162.20,88.5\n145.6,NFM,17,,-,0.6,NN,023,88.5,88.5\n";

  std::string own = "CH,Rx Frequency,Tx Frequency,QT/DQT Dec,QT/DQT Enc,W/N,Scan,Busy Lock,Power\n";
  own += "1,446.00625,446.00625,None,D017N,Wide,Yes,Carrier,High\n3,440.0125,,88.6,88.5,窄,否,QT/DQT,中\n";

  return {std::string(1, '\0') + chirp, std::string(1, '\x14') + chirp, std::string(1, '\x21') + shuffled,
          std::string(1, '\x00') + own, std::string(1, '\x08') + own, "\x05", "\x00\xEF\xBB\xBF\n"};
}

std::vector<std::string> Tokens() {
  return {",", "\"", "\r\n", "\n", "Location", "Frequency", "Tone", "TSQL", "DTCS", "Cross", "->", "Tone->DTCS",
          "DTCS->Tone", "split", "off", "+", "-", "NFM", "FM", "NN", "RR", "W", "5.0W", "162.2", "023", "S", "P",
          "High", "低", "446.006250", "0.000001", "999999999999.9"};
}

}  // namespace fuzz
