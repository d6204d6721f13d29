// The write log's line: the image's SHA-256, the local time with its offset,
// the port's names, the result words of every ending, and reading the log
// back from a given time.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>

#include "data/MemoryImage.h"
#include "link/WriteLog.h"
#include "link/WriteOutcome.h"
#include "platform/Sha256.h"
#include "settings/CSettingsFile.h"
#include "tests/unit/FakeSerialTree.h"
#include "tests/unit/TempDir.h"

using namespace chanset;

namespace {

// 2023-11-14 22:13:20 UTC.
constexpr std::time_t kWhen = 1700000000;

class InZone {
 public:
  explicit InZone(const char* tz) {
    setenv("TZ", tz, 1);
    tzset();
  }
  ~InZone() {
    unsetenv("TZ");
    tzset();
  }
};

struct HashCase {
  std::string input;
  const char* hex;
};

TEST(WriteLog, Sha256MatchesThePublishedVectors) {
  std::string alphabet;
  for (int i = 0; i < 14; ++i) alphabet += std::string("abcdefghijklmnopq").substr(i, 4);
  const HashCase cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {alphabet, "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      // Lengths where the padding takes one block, just two, one whole extra.
      {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
      {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
      {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
      {std::string(1024, '\xff'), "5f4ecdb7b71c3e403983fe405cddcdc2f2576b655fdb3e80d94a6f7c32e58bc2"},
      {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const HashCase& c : cases) EXPECT_EQ(Sha256Hex(c.input), c.hex) << c.input.size() << " bytes";
}

struct ZoneCase {
  const char* tz;
  const char* iso;
};

TEST(WriteLog, TimeIsLocalWithItsOffsetAndReadsBackToTheSameInstant) {
  const ZoneCase cases[] = {
      {"UTC0", "2023-11-14T22:13:20+00:00"},
      {"CET-1CEST,M3.5.0,M10.5.0/3", "2023-11-14T23:13:20+01:00"},
      {"IST-5:30", "2023-11-15T03:43:20+05:30"},
      {"EST5", "2023-11-14T17:13:20-05:00"},
  };
  for (const ZoneCase& c : cases) {
    InZone zone(c.tz);
    EXPECT_EQ(IsoLocalTime(kWhen), c.iso) << c.tz;
    std::time_t back = 0;
    ASSERT_TRUE(ParseIsoTime(c.iso, back)) << c.iso;
    EXPECT_EQ(back, kWhen) << c.iso;
  }
}

struct ParseCase {
  const char* text;
  std::time_t when;  // -1: refused
};

TEST(WriteLog, SinceTakesDatesAndTimesAsPeopleWriteThem) {
  InZone zone("EST5");
  const ParseCase cases[] = {
      {"2023-11-14", 1699938000},  // local midnight
      {"2023-11-14T17:13", kWhen - 20},
      {"2023-11-14 17:13:20", kWhen},
      {"2023-11-14T22:13:20Z", kWhen},
      {"2023-11-15T03:43:20+0530", kWhen},
      {"2024-02-29", 1709182800},
      {"2023-02-29", -1},
      {"2023-13-01", -1},
      {"2023-11-14T24:00", -1},
      {"2023-11-14T17", -1},
      {"2023-11-14x", -1},
      {"14.11.2023", -1},
      {"yesterday", -1},
      {"", -1},
  };
  for (const ParseCase& c : cases) {
    std::time_t when = 0;
    EXPECT_EQ(ParseIsoTime(c.text, when), c.when != -1) << c.text;
    if (c.when != -1) {
      EXPECT_EQ(when, c.when) << c.text;
    }
  }
}

TEST(WriteLog, LineNamesTheCableTheFileTheImageAndTheRadio) {
  InZone zone("UTC0");
  testutil::TempDir dir;
  testutil::FakeSerialTree tree(dir.Path());
  tree.AddUsb("ttyUSB0", 1, "0403", "6001", "FTDI", "FT232R USB UART", false, "A10K3XQ2");
  tree.AddTerminal("ttyUSB0");
  tree.AddById("usb-FTDI_FT232R_USB_UART_A10K3XQ2-if00-port0", "ttyUSB0");
  tree.AddTerminal("ttyS0");
  DiscoveryRoots roots{tree.Sys(), tree.Dev(), tree.Proc()};
  CSettingsFile names;
  ASSERT_TRUE(names.LoadPath(dir.File("none.ini"), false, true, false));
  names.SetValue("Setup", "Type1", "KRR-45");
  names.SetValue("Setup", "Type2", "KRR-15");
  names.SetValue("Setup", "Field2", "136-174MHz|400-470MHz");
  Image image = NewImage();
  image[off::kRadioType] = 1;
  image[off::kBand] = 1;
  const std::string hash = Sha256Hex(image.data(), image.size());

  WriteRecord usb = DescribeWrite(roots, "/dev/ttyUSB0", "/plans/north, east.dat", image, &names, "verified", kWhen);
  EXPECT_EQ(WriteLogText(usb, true),
            "time,port,usb_serial,document,sha256,radio_type,band,result\n"
            "2023-11-14T22:13:20+00:00,usb-FTDI_FT232R_USB_UART_A10K3XQ2-if00-port0,A10K3XQ2,"
            "\"/plans/north, east.dat\"," + hash + ",KRR-15,400-470MHz,verified\n");
  // No by-id name, no serial, no names for the type and band.
  image[off::kBand] = 7;
  WriteRecord plain = DescribeWrite(roots, "/dev/ttyS0", "", image, nullptr, "failed: no answer", kWhen);
  EXPECT_EQ(WriteLogText(plain, false), "2023-11-14T22:13:20+00:00,/dev/ttyS0,,," +
                                            Sha256Hex(image.data(), image.size()) + ",#2,#8,failed: no answer\n");
  image[off::kRadioType] = 1;
  EXPECT_EQ(DescribeWrite(roots, "/dev/ttyS0", "", image, &names, "", kWhen).band, "#8");  // beyond the list
}

// The log is appended to: one header, then each line as it comes; a log
// that cannot be written is refused with its name and left as it is.
TEST(WriteLog, AppendKeepsOneHeaderAndEveryLine) {
  InZone zone("UTC0");
  testutil::TempDir data;
  setenv("XDG_DATA_HOME", (data.Path() + "/new/folder").c_str(), 1);
  WriteRecord r;
  r.when = kWhen;
  r.port = "usb-x";
  r.result = "written";
  const std::string line = "2023-11-14T22:13:20+00:00,usb-x,,,,,,written\n";
  std::string error;
  ASSERT_TRUE(AppendWriteLog(r, &error)) << error;
  ASSERT_TRUE(AppendWriteLog(r, &error)) << error;
  EXPECT_EQ(testutil::ReadText(WriteLogPath()), CsvLine(WriteLogColumns()) + line + line);
  struct stat st;
  ASSERT_EQ(stat((data.Path() + "/new/folder/Chanset").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // A read-only log stays as it is, even for root.
  chmod(WriteLogPath().c_str(), 0444);
  EXPECT_FALSE(AppendWriteLog(r, &error));
  EXPECT_NE(error.find(WriteLogPath()), std::string::npos) << error;
  EXPECT_EQ(testutil::ReadText(WriteLogPath()), CsvLine(WriteLogColumns()) + line + line);
  unsetenv("XDG_DATA_HOME");
}

struct RowsCase {
  const char* name;
  std::string text;
  const char* since;  // "" for all
  std::vector<std::string> times;
  int unreadable;
};

TEST(WriteLog, ReadingTheLogKeepsTheLinesFromAGivenTime) {
  InZone zone("UTC0");
  const std::string header = "time,port,usb_serial,document,sha256,radio_type,band,result\n";
  const std::string a = "2023-11-13T10:00:00+00:00,p,,d,h,t,b,written\n";
  const std::string b = "2023-11-14T09:00:00+01:00,p,,d,h,t,b,verified\n";
  const std::string c = "2023-11-15T00:30:00+02:00,p,,\"a, b\",h,t,b,\"differs: CH 1 Rx Frequency: 1 -> 2\"\n";
  const RowsCase cases[] = {
      {"all", header + a + b + c, "", {a.substr(0, 25), b.substr(0, 25), c.substr(0, 25)}, 0},
      {"from a day", header + a + b + c, "2023-11-14", {b.substr(0, 25), c.substr(0, 25)}, 0},
      // 00:30 at +02:00 is the 14th, 22:30 UTC.
      {"offsets count", header + a + b + c, "2023-11-14T22:00Z", {c.substr(0, 25)}, 0},
      {"a line cut short", header + a + "2023-11-14T08:00:00+00:00,p,\"cut\n" + b, "", {a.substr(0, 25), b.substr(0, 25)}, 1},
      {"a line without a time", header + "garbage,x\n" + b, "2023-01-01", {b.substr(0, 25)}, 1},
      {"empty", "", "", {}, 0},
  };
  for (const RowsCase& r : cases) {
    SCOPED_TRACE(r.name);
    std::time_t since = -1;
    if (r.since[0]) {
      ASSERT_TRUE(ParseIsoTime(r.since, since));
    }
    int unreadable = -1;
    std::vector<std::string> times;
    for (const CsvRecord& row : WriteLogRows(r.text, since, &unreadable)) times.push_back(row.at(0));
    EXPECT_EQ(times, r.times);
    EXPECT_EQ(unreadable, r.unreadable);
  }
}

// How every ending of a write reads in the log.
struct OutcomeCase {
  const char* name;
  TransferEnd end;
  int code;   // the port's reason
  int block;
  int back;   // -1 no read-back; else a VerifyEnd, with the read-back ending as `backEnd`
  TransferEnd backEnd;
  bool pulled;
  const char* words;
};

TEST(WriteLog, EveryEndingHasItsResultWords) {
  const OutcomeCase cases[] = {
      {"written", TransferEnd::Completed, 0, -1, -1, TransferEnd::Completed, false, "written"},
      {"verified", TransferEnd::Completed, 0, -1, int(VerifyEnd::Verified), TransferEnd::Completed, false, "verified"},
      {"differs", TransferEnd::Completed, 0, -1, int(VerifyEnd::Differs), TransferEnd::Completed, false,
       "differs: CH 1 Rx Frequency: 446.00625 -> 446.00624"},
      {"read-back silent", TransferEnd::Completed, 0, -1, int(VerifyEnd::NotVerified), TransferEnd::HandshakeFailed,
       false, "written, not verified: no answer"},
      {"read-back pulled", TransferEnd::Completed, 0, -1, int(VerifyEnd::NotVerified), TransferEnd::Cancelled, true,
       "written, not verified: cable pulled"},
      {"silent radio", TransferEnd::HandshakeFailed, 0, -1, -1, TransferEnd::Completed, false, "failed: no answer"},
      {"retry declined", TransferEnd::RetryDeclined, 0, -1, -1, TransferEnd::Completed, false, "failed: no answer"},
      {"line lost", TransferEnd::BlockFailed, EIO, 30, -1, TransferEnd::Completed, false, "failed: cable pulled"},
      {"device gone", TransferEnd::Cancelled, ECANCELED, -1, -1, TransferEnd::Completed, true, "failed: cable pulled"},
      {"cancelled", TransferEnd::Cancelled, ECANCELED, -1, -1, TransferEnd::Completed, false, "failed: cancelled"},
      {"block refused", TransferEnd::BlockFailed, 0, 37, -1, TransferEnd::Completed, false,
       "failed: interrupted at block 37"},
      {"busy", TransferEnd::OpenFailed, EBUSY, -1, -1, TransferEnd::Completed, false,
       "failed: cannot open the port: Device or resource busy"},
  };
  Image sent = NewImage();
  sent[16] = 0x25, sent[17] = 0x06, sent[18] = 0x60, sent[19] = 0x44;  // CH 1 Rx 446.00625
  for (const OutcomeCase& c : cases) {
    SCOPED_TRACE(c.name);
    TransferResult write;
    write.end = c.end;
    write.block = c.block;
    write.reason = {c.code, c.code == EBUSY ? "Device or resource busy" : ""};
    ReadBackResult back;
    back.end = static_cast<VerifyEnd>(c.back < 0 ? 0 : c.back);
    back.transfer.end = c.backEnd;
    back.image = sent;
    if (back.end == VerifyEnd::Differs) back.image[16] ^= 0x01;
    WriteOutcome o = OutcomeOfWrite(write, sent, c.back < 0 ? nullptr : &back, c.pulled, false, nullptr);
    EXPECT_EQ(LogWords(o), c.words);
    EXPECT_EQ(o.written(), c.end == TransferEnd::Completed);
  }
}

}  // namespace
