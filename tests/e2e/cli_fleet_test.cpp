// chanset-cli with several radios at once, Ctrl-C, the progress line and the
// wire trace, against chanset-radio-sim processes on pseudo-terminals.
#include <cctype>

#include <map>

#include "data/Csv.h"
#include "link/WriteLog.h"
#include "platform/Sha256.h"
#include "tests/e2e/CliFixture.h"

using namespace chanset;
using namespace clitest;

namespace {

class CliFleet : public CliTransfer {
 protected:
  // Three radios; the second one misbehaves with `fault` (none when empty).
  // Each keeps what it is written in saved<i>.dat.
  std::vector<std::string> StartThree(const std::string& fault) {
    std::vector<std::string> ports;
    for (int i = 0; i < 3; ++i) {
      std::vector<std::string> args = {"--image", Path("radio" + std::to_string(i) + ".dat"), "--save",
                                       Path("saved" + std::to_string(i) + ".dat")};
      if (i == 1 && !fault.empty()) args.insert(args.end(), {"--fault", fault});
      EXPECT_EQ(StoreDatFile(Path("radio" + std::to_string(i) + ".dat"), RandomImage(10 + i)), DatError::None);
      ports.push_back(i == 0 ? StartSimulator(args) : StartAnotherSimulator(args));
    }
    return ports;
  }
};

struct FleetFault {
  const char* fault;
  bool write;
  const char* message;  // in the failed port's result line
  const char* logged;   // the failed port's result in the write log (writes only)
};

// The write log's lines as `chanset-cli log` prints them: each port's result.
std::map<std::string, std::string> LoggedResults(const std::string& out) {
  std::map<std::string, std::string> results;
  std::vector<CsvRecord> rows;
  if (!ParseCsv(out, rows)) return results;
  for (std::size_t i = 1; i < rows.size(); ++i)
    if (rows[i].size() == 8) results[rows[i][1]] = rows[i][7];
  return results;
}

class CliFleetFault : public CliFleet, public ::testing::WithParamInterface<FleetFault> {};

TEST_P(CliFleetFault, TheOthersSucceedAndTheSummaryNamesTheFailedPort) {
  const FleetFault& c = GetParam();
  std::vector<std::string> ports = StartThree(c.fault);
  Image file = RandomImage(5);
  ASSERT_EQ(StoreDatFile(Path("in.dat"), file), DatError::None);
  std::vector<std::string> args = {c.write ? "write" : "read"};
  for (const std::string& p : ports) args.insert(args.end(), {"--port", p});
  args.push_back(c.write ? Path("in.dat") : Path("out"));

  Outcome o = RunCli(args);
  EXPECT_EQ(o.status, 1) << o.out << o.err;
  EXPECT_TRUE(Contains(o.out, ports[1] + ": failed: " + c.message)) << o.out;
  EXPECT_TRUE(Contains(o.out, std::string(c.write ? "wrote" : "read") + " 2 of 3 radios")) << o.out;
  EXPECT_TRUE(Contains(o.out, "; failed: " + ports[1] + "\n")) << o.out;
  for (int i : {0, 2}) {
    std::string stem = ports[static_cast<std::size_t>(i)].substr(ports[static_cast<std::size_t>(i)].rfind('/') + 1);
    if (c.write) {
      EXPECT_TRUE(Contains(o.out, ports[static_cast<std::size_t>(i)] + ": written")) << o.out;
      EXPECT_TRUE(SameRows(LoadImage(Path("saved" + std::to_string(i) + ".dat")), file, 0, 61));
    } else {
      EXPECT_TRUE(SameRows(LoadImage(Path("out/" + stem + ".dat")), RandomImage(10 + static_cast<unsigned>(i)), 0, 61));
    }
  }
  EXPECT_FALSE(Exists(Path("saved1.dat")));
  std::string failedStem = ports[1].substr(ports[1].rfind('/') + 1);
  EXPECT_FALSE(Exists(Path("out/" + failedStem + ".dat")));
  // Each radio written has its line in the write log; reads have none.
  Outcome log = RunCli({"log"});
  ASSERT_EQ(log.status, 0) << log.err;
  std::map<std::string, std::string> expected;
  if (c.write) expected = {{ports[0], "written"}, {ports[1], c.logged}, {ports[2], "written"}};
  EXPECT_EQ(LoggedResults(log.out), expected) << log.out;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, CliFleetFault,
    ::testing::Values(FleetFault{"silent", true, kInterrupt, "failed: no answer"},
                      FleetFault{"hangup:30", true, kInterrupt, "failed: cable pulled"},
                      FleetFault{"hangup:70", false, kInterrupt, ""},
                      FleetFault{"no-ack-stage2-always", true,
                                 "Communication Error,Please check all the connections and the radio power; "
                                 "Retry answered Cancel: no terminal to ask on",
                                 "failed: no answer"}),
    [](const ::testing::TestParamInfo<FleetFault>& info) {
      std::string name = std::string(info.param.fault) + (info.param.write ? "_write" : "_read");
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

// A write to one radio is logged too, with the file as an absolute path
// and the image's hash; `log --since` keeps the lines from a time on.
TEST_F(CliFleet, LogPrintsEachWriteFromAGivenTime) {
  std::string port = StartSimulator({"--fault", "corrupt-write:2"});
  Image plan = NewImage();
  plan[16] = 0x25, plan[17] = 0x06, plan[18] = 0x60, plan[19] = 0x44;  // CH 1 Rx 446.00625
  ASSERT_EQ(StoreDatFile(Path("plan.dat"), plan), DatError::None);
  Outcome w = RunCli({"write", "--verify", "--port", port, Path("plan.dat")});
  ASSERT_EQ(w.status, 4) << w.err;  // the radio holds other data
  const struct {
    std::vector<std::string> args;
    int status;
    std::size_t lines;  // after the header
    const char* err;
  } cases[] = {
      {{"log"}, 0, 1, ""},
      {{"log", "--since", "2000-01-01"}, 0, 1, ""},
      {{"log", "--since", "2999-01-01T00:00Z"}, 0, 0, ""},
      {{"log", "--since", "yesterday"}, 1, 0, "--since takes a date"},
      {{"log", "extra"}, 1, 0, "usage: log"},
  };
  for (const auto& c : cases) {
    Outcome o = RunCli(c.args);
    EXPECT_EQ(o.status, c.status) << c.args.back() << o.err;
    EXPECT_TRUE(Contains(o.err, c.err)) << o.err;
    std::vector<CsvRecord> rows;
    ASSERT_TRUE(ParseCsv(o.out, rows));
    if (c.status != 0) continue;
    ASSERT_EQ(rows.size(), c.lines + 1) << o.out;
    EXPECT_EQ(rows[0], WriteLogColumns());
    if (c.lines == 0) continue;
    EXPECT_EQ(rows[1][1], port);
    EXPECT_EQ(rows[1][3], Path("plan.dat"));
    EXPECT_EQ(rows[1][4], Sha256Hex(plan.data(), plan.size()));
    EXPECT_EQ(rows[1][7], "differs: CH 1 Rx Frequency: 446.00625 -> 446.00624");
  }
}

TEST_F(CliFleet, ReadStoresOneFilePerPortNamedAfterIt) {
  std::vector<std::string> ports = StartThree("");
  Outcome o = RunCli({"read", "--port", "COM2", "--port", "\\\\.\\COM12", "--port", ports[2], Path("out/")},
                     {"CHANSET_COM2=" + ports[0], "CHANSET_COM12=" + ports[1]});
  ASSERT_EQ(o.status, 0) << o.out << o.err;
  EXPECT_EQ(o.err, "");
  std::string stem = ports[2].substr(ports[2].rfind('/') + 1);
  const std::pair<std::string, unsigned> files[] = {{"COM2", 10}, {"COM12", 11}, {stem, 12}};
  for (const auto& [name, seed] : files) {
    Image got = LoadImage(Path("out/" + name + ".dat"));
    EXPECT_TRUE(SameRows(got, RandomImage(seed), 0, 61)) << name;
    EXPECT_TRUE(SameRows(got, NewImage(), 62, 63)) << name;
    EXPECT_TRUE(Contains(o.out, ": read into " + Path("out") + "/" + name + ".dat")) << o.out;
  }
  EXPECT_TRUE(Contains(o.out, "COM2 (" + ports[0] + "): read into")) << o.out;
  EXPECT_TRUE(Contains(o.out, "read 3 of 3 radios into " + Path("out") + "\n")) << o.out;
}

TEST_F(CliFleet, RetryTypedOnATerminalIsAskedForThatPortOnly) {
  std::vector<std::string> ports = StartThree("no-ack-stage2");
  ASSERT_EQ(StoreDatFile(Path("in.dat"), RandomImage(6)), DatError::None);
  Outcome o = RunCli({"write", "--port", ports[0], "--port", ports[1], "--port", ports[2], Path("in.dat")}, {},
                     "r\n");
  ASSERT_EQ(o.status, 0) << o.out << o.err;
  EXPECT_TRUE(Contains(o.err, ports[1] + ": Retry or Cancel? [r/c] ")) << o.err;
  EXPECT_FALSE(Contains(o.err, ports[0] + ": Retry")) << o.err;
  EXPECT_TRUE(Contains(o.out, "wrote 3 of 3 radios\n")) << o.out;
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(SameRows(LoadImage(Path("saved" + std::to_string(i) + ".dat")), RandomImage(6), 0, 61)) << i;
}

TEST_F(CliFleet, PortsThatNameOneDeviceTwiceAreRefusedBeforeAnyTransfer) {
  std::string port = StartSimulator({"--save", Path("saved.dat"), "--link", Path("ttyRADIO")});
  ASSERT_EQ(StoreDatFile(Path("in.dat"), RandomImage(1)), DatError::None);
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"write", "--port", port, "--port", port, Path("in.dat")}, "is given twice"},
      {{"write", "--port", "COM4", "--port", Path("ttyRADIO"), Path("in.dat")}, "are the same device"},
      {{"write", "--port", port, "--port", "COM17", Path("in.dat")}, "COM1 to COM16"},
      {{"read", "--port", port, "--port", "/dev/null", Path("in.dat")}, "cannot make the folder"},
      {{"read", "--port", port, Path("")}, "is a folder"},
  };
  for (const auto& [args, message] : cases) {
    Outcome o = RunCli(args, {"CHANSET_COM4=" + port});
    EXPECT_EQ(o.status, 1) << message;
    EXPECT_TRUE(Contains(o.err, message)) << o.err;
  }
  EXPECT_FALSE(Exists(Path("saved.dat")));
}

// Ctrl-C at each stage: the handshake of a radio that never answers, and the
// block loop of one at 9600 baud. It ends without the failure message,
// with status 130 and no output file.
struct InterruptCase {
  const char* name;
  const char* fault;      // "" for none
  const char* traceMark;  // interrupted once the trace shows this
  bool write;
};

class CliInterrupt : public CliFleet, public ::testing::WithParamInterface<InterruptCase> {};

TEST_P(CliInterrupt, EndsSilentlyWithStatus130AndNoFile) {
  const InterruptCase& c = GetParam();
  std::vector<std::string> args = {"--save", Path("saved.dat")};
  if (c.fault[0]) args.insert(args.end(), {"--fault", c.fault});
  std::string port = StartAnotherSimulator(args, false);
  ASSERT_EQ(StoreDatFile(Path("in.dat"), RandomImage(2)), DatError::None);
  pid_t cli = StartCli({c.write ? "write" : "read", "--port", port, "--trace", Path("trace.txt"),
                        c.write ? Path("in.dat") : Path("out.dat")});
  ASSERT_TRUE(WaitForText(Path("trace.txt"), c.traceMark, 10000));
  kill(cli, SIGINT);
  Outcome o = FinishCli(cli);
  EXPECT_EQ(o.status, 130) << o.err;
  EXPECT_FALSE(Contains(o.err, kInterrupt)) << o.err;
  EXPECT_FALSE(Exists(Path("out.dat")));
  EXPECT_FALSE(Exists(Path("saved.dat")));
  // The port was given back properly, and the trace says how it ended.
  std::string trace = ReadFile(Path("trace.txt"));
  EXPECT_TRUE(Contains(trace, "Operation canceled")) << trace;
  EXPECT_TRUE(Contains(trace, " CLOSE\n")) << trace;
  EXPECT_TRUE(Contains(trace, " END cancelled\n")) << trace;
}

INSTANTIATE_TEST_SUITE_P(Stages, CliInterrupt,
                         ::testing::Values(InterruptCase{"StageOneSilentRadio", "silent", "TX 4E", false},
                                           InterruptCase{"StageTwoAck", "no-ack-stage2", "TX 06\n", false},
                                           InterruptCase{"ReadBlocks", "", "TX 52 00 40 08", false},
                                           InterruptCase{"WriteBlocks", "", "TX 57 00 40 08", true}),
                         [](const ::testing::TestParamInfo<InterruptCase>& info) { return info.param.name; });

TEST_F(CliFleet, CtrlCStopsEveryRadioOfAFleet) {
  std::string a = StartAnotherSimulator({"--save", Path("a.dat")}, false);
  std::string b = StartAnotherSimulator({"--save", Path("b.dat"), "--fault", "silent"}, false);
  ASSERT_EQ(StoreDatFile(Path("in.dat"), RandomImage(2)), DatError::None);
  pid_t cli = StartCli({"write", "--port", a, "--port", b, "--trace", Path("t"), Path("in.dat")});
  std::string stemA = a.substr(a.rfind('/') + 1);
  ASSERT_TRUE(WaitForText(Path("t." + stemA), "TX 57 00 40 08", 10000));
  kill(cli, SIGINT);
  Outcome o = FinishCli(cli);
  EXPECT_EQ(o.status, 130);
  EXPECT_TRUE(Contains(o.out, a + ": cancelled\n")) << o.out;
  EXPECT_TRUE(Contains(o.out, b + ": cancelled\n")) << o.out;
  EXPECT_TRUE(Contains(o.out, "wrote 0 of 2 radios; cancelled: " + a + ", " + b)) << o.out;
  EXPECT_FALSE(Exists(Path("a.dat")));
}

TEST_F(CliFleet, ProgressLineOnlyOnATerminalAndNotWithQuiet) {
  std::string port = StartSimulator({});
  for (bool quiet : {false, true}) {
    std::vector<std::string> args = {"read", "--port", port, Path("out.dat")};
    if (quiet) args.insert(args.begin() + 1, "--quiet");
    Outcome o = FinishCli(StartCli(args, {}, nullptr, true));
    ASSERT_EQ(o.status, 0) << o.err;
    if (quiet) {
      EXPECT_EQ(o.err, "");
    } else {
      // One line, redrawn in place: carriage returns, never a new line per row.
      EXPECT_TRUE(Contains(o.err, "\rReading [")) << o.err;
      EXPECT_TRUE(Contains(o.err, "] 62/62 rows ")) << o.err;
      EXPECT_TRUE(Contains(o.err, " 0/62 rows ")) << o.err;
      EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
      EXPECT_EQ(o.err.substr(o.err.size() - 4), " s\r\n") << o.err;  // the terminal turns \n into \r\n
    }
  }
}

TEST_F(CliFleet, TraceHoldsTheWholeConversation) {
  std::string port = StartSimulator({});
  Outcome o = RunCli({"read", "--port", port, "--trace", Path("trace.txt"), Path("out.dat")});
  ASSERT_EQ(o.status, 0) << o.err;
  std::string trace = ReadFile(Path("trace.txt"));
  for (const std::string& line : {" OPEN " + port + "\n", std::string(" TX 02\n"), std::string(" TX 50\n"),
                                  std::string(" RX 06\n"), std::string(" PAUSE 2 ms\n"), std::string(" DISCARD\n"),
                                  std::string(" TX 52 03 D8 08\n"), std::string(" CLOSE\n"),
                                  std::string(" END completed\n")})
    EXPECT_TRUE(Contains(trace, line)) << line;
  // 124 read requests, each answered by a 12-byte reply.
  std::size_t requests = 0, at = 0;
  while ((at = trace.find(" TX 52 ", at)) != std::string::npos) ++requests, ++at;
  EXPECT_EQ(requests, 124u);

  // A trace that cannot be written stops the command before the radio is touched.
  o = RunCli({"read", "--port", port, "--trace", Path("no/such/dir/t"), Path("out2.dat")});
  EXPECT_EQ(o.status, 1);
  EXPECT_TRUE(Contains(o.err, "cannot write the trace")) << o.err;
  EXPECT_FALSE(Exists(Path("out2.dat")));
}

}  // namespace
