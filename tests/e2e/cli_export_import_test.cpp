// Runs the built chanset-cli: export and import of channel CSV files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/ChannelCodec.h"
#include "data/DatFile.h"
#include "tests/unit/TempDir.h"

using namespace chanset;
using testutil::ReadText;
using testutil::TempDir;
using testutil::WriteText;

namespace {

struct Result {
  int exitCode;
  std::string out;
  std::string err;
};

class CliInterchange : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(dir_.File("Chanset.ini"), "[Setup]\nType1=UHF\nField1=400-470MHz\n");
    base_ = NewImage();
    base_[off::kRadioType] = 0;
    base_[off::kBand] = 0;
    EncodeChannel({"446.00625", "446.00625", "D023N", "88.5", "Narrow", "No", "Carrier", "Low"}, base_, 1);
    EncodeChannel({"440.01250", "445.01250", "None", "162.2", "Wide", "Yes", "Off", "Middle"}, base_, 2);
    EncodeChannel({"471.00000", "400.00625", "D754I", "D754N", "Wide", "Yes", "QT/DQT", "High"}, base_, 9);
    ASSERT_EQ(StoreDatFile(dir_.File("base.dat"), base_), DatError::None);
    Image fresh = NewImage();
    fresh[off::kRadioType] = fresh[off::kBand] = 0;
    ASSERT_EQ(StoreDatFile(dir_.File("new.dat"), fresh), DatError::None);
  }

  Result Run(const std::string& args) {
    const std::string cmd = "'" CHANSET_APP_DIR "/chanset-cli' --ini '" + dir_.File("Chanset.ini") + "' " + args +
                            " >'" + dir_.File("stdout") + "' 2>'" + dir_.File("stderr") + "'";
    const int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(dir_.File("stdout")), ReadText(dir_.File("stderr"))};
  }

  bool Exists(const std::string& name) const {
    struct stat st;
    return stat(dir_.File(name).c_str(), &st) == 0;
  }

  ChannelTexts Channel(const std::string& dat, int n) const {
    Image image{};
    EXPECT_EQ(LoadDatFile(dir_.File(dat), image), DatError::None);
    return DecodeChannel(image, n, false);
  }

  std::string F(const std::string& name) const { return "'" + dir_.File(name) + "'"; }

  TempDir dir_;
  Image base_{};
};

TEST_F(CliInterchange, ExportWritesDumpsTableOrChirpCsv) {
  for (const char* lang : {"en", "zh"}) {
    const Result dump = Run("dump " + F("base.dat") + " --lang " + lang);
    ASSERT_EQ(dump.exitCode, 0);
    const Result exported = Run("export " + F("base.dat") + " " + F("table.csv") + " --lang " + lang);
    ASSERT_EQ(exported.exitCode, 0) << exported.err;
    EXPECT_EQ(ReadText(dir_.File("table.csv")), dump.out);
  }
  const Result chirp = Run("export " + F("base.dat") + " " + F("chirp.csv") + " --format chirp");
  ASSERT_EQ(chirp.exitCode, 0) << chirp.err;
  const std::string text = ReadText(dir_.File("chirp.csv"));
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,"
            "CrossMode,Mode,TStep,Skip,Power,Comment");
  EXPECT_NE(text.find("\n9,,471.000000,split,400.006250,DTCS,88.5,88.5,754,NR,023,"), std::string::npos) << text;
  EXPECT_NE(text.find("\n1,,446.006250,,0.000000,Cross,88.5,88.5,023,NN,023,Tone->DTCS,NFM,6.25,S,0.5W,\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(chirp.err,
            "chanset-cli: note: Busy Lock is not part of the CHIRP CSV format: channels 1, 9 will import with "
            "Busy Lock Off\n"
            "chanset-cli: note: channel 1 needs CHIRP from 2023 on: older versions ignore the CrossMode and "
            "RxDtcsCode columns and read it as Tone->Tone with rToneFreq and cToneFreq (88.5 where unused)\n");

  // The watts of the radio type come from the settings file.
  WriteText(dir_.File("Chanset.ini"), "[Setup]\nType1=UHF\nField1=400-470MHz\nWatts1=4|1.5|0.25\n");
  ASSERT_EQ(Run("export " + F("base.dat") + " " + F("chirp.csv") + " --format chirp").exitCode, 0);
  EXPECT_NE(ReadText(dir_.File("chirp.csv")).find(",NFM,6.25,S,0.25W,\n2,"), std::string::npos);
}

TEST_F(CliInterchange, ExportThenImportGivesTheSameChannels) {
  for (const char* format : {"chirp", "chanset"}) {
    ASSERT_EQ(Run(std::string("export ") + F("base.dat") + " " + F("x.csv") + " --format " + format).exitCode, 0);
    const Result imported = Run("import " + F("x.csv") + " " + F("new.dat") + " " + F("out.dat"));
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    for (int n = 1; n <= kChannelCount; ++n) {
      ChannelTexts want = DecodeChannel(base_, n, false);
      if (std::string(format) == "chirp" && !want[0].empty()) want[6] = "Off";
      EXPECT_EQ(Channel("out.dat", n), want) << format << " channel " << n;
    }
  }
}

struct ImportCase {
  const char* csv;
  const char* options;
  int exitCode;
  std::vector<const char*> stderrHas;
};

class CliImport : public CliInterchange, public ::testing::WithParamInterface<ImportCase> {};

TEST_P(CliImport, ExitStatusMessagesAndOutput) {
  const ImportCase& c = GetParam();
  WriteText(dir_.File("in.csv"), c.csv);
  WriteText(dir_.File("out.dat"), "keep");
  const Result r = Run("import " + F("in.csv") + " " + F("base.dat") + " " + F("out.dat") + " " + c.options);
  EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
  for (const char* part : c.stderrHas) EXPECT_NE(r.err.find(part), std::string::npos) << part << "\n" << r.err;
  EXPECT_EQ(ReadText(dir_.File("out.dat")), "keep");  // nothing written on failure
}

const char kChirpHead[] =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
    "Mode,TStep,Skip,Power,Comment\r\n";

INSTANTIATE_TEST_SUITE_P(
    Table, CliImport,
    ::testing::Values(
        ImportCase{"", "", 1, {"line 1: the file holds no rows; ", "out.dat not written"}},
        ImportCase{"Location,Frequency\n", "", 1, {"line 1: the header has no column Duplex"}},
        ImportCase{"Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode\n",
                   "", 1, {"no channel rows"}},
        ImportCase{"CH,Rx Frequency\n", "--format chirp", 1, {"the header has no column Location"}},
        ImportCase{"x", "--format csv", 1, {"--format takes auto, chanset or chirp, not 'csv'"}},
        ImportCase{"x", "--bogus", 1, {"usage: chanset-cli import"}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(CliInterchange, RefusedRowsWriteNothingUnlessPartial) {
  const std::string csv = std::string(kChirpHead) +
                          "3,Home,446.006250,,0.000000,TSQL,88.5,162.2,023,NN,023,Tone->Tone,FM,6.25,,5.0W,\r\n"
                          "4,,446.006250,,0.000000,TSQL,88.5,162.19,023,NN,023,Tone->Tone,FM,6.25,,1.0W,\r\n"
                          "5,,480.000000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,,\r\n";
  WriteText(dir_.File("in.csv"), csv);
  const std::string args = "import " + F("in.csv") + " " + F("base.dat") + " " + F("out.dat");
  const std::string refusals =
      "in.csv: line 3, column 8 (cToneFreq), \"162.19\": not a CTCSS tone of the radio's tone list\n" +
      dir_.File("in.csv") +
      ": line 4, column 3 (Frequency), \"480.000000\": Rx Frequency 480.00000: out of range: the band "
      "400-470MHz takes 400.00000 to 471.00000 MHz\n";

  Result r = Run(args);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_FALSE(Exists("out.dat"));
  EXPECT_NE(r.err.find(refusals), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("2 row(s) refused; " + dir_.File("out.dat") + " not written"), std::string::npos) << r.err;

  r = Run(args + " --partial");
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.err.find(refusals), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("note: power"), std::string::npos) << r.err;  // 5.0W is this radio's High
  EXPECT_NE(r.err.find("line 2: note: Name \"Home\" dropped"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("1 row(s) imported, 2 refused"), std::string::npos) << r.err;
  EXPECT_EQ(Channel("out.dat", 3),
            (ChannelTexts{"446.00625", "446.00625", "162.2", "162.2", "Wide", "Yes", "Off", "High"}));
  for (int n : {1, 2, 4, 5, 9}) EXPECT_EQ(Channel("out.dat", n), DecodeChannel(base_, n, false)) << n;

  // Renumbered, the rows go to channels 1, 2, 3 in file order.
  r = Run(args + " --partial --renumber");
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(Channel("out.dat", 1)[2], "162.2");
  EXPECT_EQ(Channel("out.dat", 2), DecodeChannel(base_, 2, false));  // its row was refused

  // Thousands of refused rows: 20 lines of them, each written whole, and
  // the count of the rest.
  std::string many = kChirpHead;
  for (int i = 0; i < 3000; ++i) many += "40,,446.006250,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,,\r\n";
  WriteText(dir_.File("in.csv"), many);
  r = Run(args);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 22) << r.err;
  EXPECT_NE(r.err.find("in.csv: …and 2980 more\n"), std::string::npos) << r.err;
}

TEST_F(CliInterchange, ExportRefusesBadArguments) {
  EXPECT_EQ(Run("export " + F("base.dat") + " " + F("x.csv") + " --format auto").exitCode, 1);
  EXPECT_EQ(Run("export " + F("missing.dat") + " " + F("x.csv")).exitCode, 1);
  EXPECT_EQ(Run("export " + F("base.dat")).exitCode, 1);
  EXPECT_FALSE(Exists("x.csv"));
  EXPECT_EQ(Run("export " + F("base.dat") + " " + F("nodir/x.csv")).exitCode, 1);
}

}  // namespace
