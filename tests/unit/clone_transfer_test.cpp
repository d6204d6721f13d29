// The clone transfer against a scripted radio: every port call and every host
// call lands in one log, so frames, pauses and their order can be checked.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "link/CloneTransfer.h"
#include "link/TraceSink.h"
#include "tests/unit/ScriptedRadio.h"
#include "tests/unit/TempDir.h"

using namespace chanset;
using namespace radiotest;

namespace {

Image PatternImage() {
  Image image;
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(0xA0 ^ (i * 13));
  return image;
}

void Append(Log& log, std::initializer_list<std::string> entries) { log.insert(log.end(), entries); }

// The handshake as it should go when the radio answers everything.
Log HandshakeEntries() {
  Log e;
  for (int i = 0; i < 10; ++i) Append(e, {"poll", "sleep 1"});
  e.push_back("discard");
  for (std::uint8_t b : kMagic) Append(e, {"sleep 2", "write " + Hex(&b, 1)});
  Append(e, {"read 1 -> 06", "sleep 1", "discard", "write 02", "sleep 1", "read 8 -> " + Hex(kIdent),
             "discard", "write 06", "discard", "sleep 1", "read 1 -> 06"});
  return e;
}

std::size_t Count(const Log& log, const std::string& entry) {
  return static_cast<std::size_t>(std::count(log.begin(), log.end(), entry));
}

class CloneTransferTest : public ::testing::Test {
 protected:
  TransferResult Run(TransferDirection direction) {
    return RunTransfer(radio, host, "/dev/radio", direction, image);
  }
  // Entries from the first one equal to `entry` to the end.
  Log From(const std::string& entry) const {
    auto it = std::find(log.begin(), log.end(), entry);
    return Log(it, log.end());
  }

  Log log;
  ScriptedRadio radio{log};
  FakeHost host{log};
  Image image = PatternImage();
  const Image before = image;
};

TEST_F(CloneTransferTest, ReadSendsExactFramesInOrderAndFillsRowsZeroTo61) {
  TransferResult r = Run(TransferDirection::Read);
  ASSERT_EQ(r.end, TransferEnd::Completed);
  EXPECT_EQ(r.message, 0);
  EXPECT_EQ(r.rows, 62);

  auto reply = [&](int block) {
    Bytes b = {0x57, static_cast<std::uint8_t>(block * 8 / 256), static_cast<std::uint8_t>(block * 8 % 256), 0x08};
    b.insert(b.end(), radio.memory.begin() + block * 8, radio.memory.begin() + block * 8 + 8);
    return "read 12 -> " + Hex(b);
  };
  Log expected = {"open /dev/radio"};
  Log hs = HandshakeEntries();
  expected.insert(expected.end(), hs.begin(), hs.end());
  Append(expected, {"discard", "write 52 00 00 08", reply(0), "sleep 1", "discard", "write 06", "read 1 -> 06",
                    "sleep 1", "discard", "write 52 00 08 08", reply(1), "sleep 1", "discard", "write 06",
                    "read 1 -> 06", "progress 1", "poll", "poll", "poll", "poll", "poll",
                    "discard", "write 52 00 10 08"});
  ASSERT_GE(log.size(), expected.size());
  EXPECT_EQ(Log(log.begin(), log.begin() + static_cast<long>(expected.size())), expected);

  // Later addresses: 16 bits, high byte first.
  for (const char* frame : {"write 52 01 00 08", "write 52 02 F8 08", "write 52 03 D8 08"})
    EXPECT_EQ(Count(log, frame), 1u) << frame;
  EXPECT_EQ(Count(log, "write 52 03 E0 08"), 0u);
  Log tail(log.end() - 7, log.end());
  EXPECT_EQ(tail, (Log{"progress 62", "poll", "poll", "poll", "poll", "poll", "close"}));

  EXPECT_TRUE(std::equal(radio.memory.begin(), radio.memory.end(), image.begin()));
  EXPECT_TRUE(std::equal(image.begin() + 992, image.end(), before.begin() + 992)) << "rows 62..63 changed";
}

TEST_F(CloneTransferTest, ProgressRunsOneTo62OncePerRow) {
  Run(TransferDirection::Read);
  Log progress;
  for (const std::string& e : log)
    if (e.rfind("progress", 0) == 0) progress.push_back(e);
  ASSERT_EQ(progress.size(), 62u);
  for (int i = 0; i < 62; ++i) EXPECT_EQ(progress[static_cast<std::size_t>(i)], "progress " + std::to_string(i + 1));
}

TEST_F(CloneTransferTest, WriteSendsHeaderPauseDataAndWaitsForAck) {
  TransferResult r = Run(TransferDirection::Write);
  ASSERT_EQ(r.end, TransferEnd::Completed);
  EXPECT_EQ(r.direction, TransferDirection::Write);

  Log expected = {"discard", "write 57 00 00 08", "sleep 1", "write " + Hex(image.data(), 8), "read 1 -> 06",
                  "discard", "write 57 00 08 08", "sleep 1", "write " + Hex(image.data() + 8, 8), "read 1 -> 06",
                  "progress 1", "poll", "poll", "poll", "poll", "poll", "discard", "write 57 00 10 08"};
  auto start = std::find(log.begin(), log.end(), "write 57 00 00 08") - 1;
  EXPECT_EQ(Log(start, start + static_cast<long>(expected.size())), expected);
  EXPECT_EQ(Count(log, "write 57 03 D8 08"), 1u);

  EXPECT_TRUE(std::equal(radio.memory.begin(), radio.memory.end(), image.begin()));
  EXPECT_EQ(image, before);
}

TEST_F(CloneTransferTest, SilentRadioGetsFourStageOneAttemptsThen61454) {
  radio.silent = true;
  TransferResult r = Run(TransferDirection::Read);
  EXPECT_EQ(r.end, TransferEnd::HandshakeFailed);
  EXPECT_EQ(r.message, kMsgProgramInterrupt);
  EXPECT_EQ(Count(log, "write 4E"), 4u);
  EXPECT_EQ(Count(log, "read 1 -> (none)"), 4u);
  EXPECT_EQ(Count(log, "ask"), 0u);
  EXPECT_EQ(Count(log, "message 61454"), 1u);
  EXPECT_EQ(Log(log.end() - 3, log.end()), (Log{"read 1 -> (none)", "message 61454", "close"}));
  EXPECT_EQ(image, before);
}

TEST_F(CloneTransferTest, EveryStageOneAttemptDiscardsThenSendsTheMagicOneBytePerWrite) {
  radio.silent = true;
  Run(TransferDirection::Read);
  Log attempt = {"discard"};
  for (std::uint8_t b : kMagic) Append(attempt, {"sleep 2", "write " + Hex(&b, 1)});
  attempt.push_back("read 1 -> (none)");
  Log expected;
  for (int i = 0; i < 4; ++i) expected.insert(expected.end(), attempt.begin(), attempt.end());
  Log seen = From("discard");
  seen.resize(expected.size());
  EXPECT_EQ(seen, expected);
}

TEST_F(CloneTransferTest, StageTwoWithoutAckAsksAndRetryStartsAgainAtThePolls) {
  radio.stageTwoSilences = 2;
  host.retryAnswers = {true, true};
  TransferResult r = Run(TransferDirection::Read);
  EXPECT_EQ(r.end, TransferEnd::Completed);
  EXPECT_EQ(Count(log, "ask"), 2u);
  EXPECT_EQ(Count(log, "write 4E"), 3u);

  // After each question: the ten polls, then stage one from its first attempt.
  auto ask = std::find(log.begin(), log.end(), "ask");
  Log expected;
  for (int i = 0; i < 10; ++i) Append(expected, {"poll", "sleep 1"});
  Append(expected, {"discard", "sleep 2", "write 02"});
  EXPECT_EQ(Log(ask + 1, ask + 1 + static_cast<long>(expected.size())), expected);
  EXPECT_EQ(*(ask - 1), "read 1 -> (none)");
  EXPECT_TRUE(std::equal(radio.memory.begin(), radio.memory.end(), image.begin()));
}

TEST_F(CloneTransferTest, CancelAtTheRetryQuestionEndsWithoutAnotherMessage) {
  radio.stageTwoSilences = 1;
  TransferResult r = Run(TransferDirection::Read);
  EXPECT_EQ(r.end, TransferEnd::RetryDeclined);
  EXPECT_EQ(r.message, kMsgCommunicationError);
  EXPECT_EQ(Log(log.end() - 2, log.end()), (Log{"ask", "close"}));
  EXPECT_EQ(Count(log, "message 61454") + Count(log, "message 61451"), 0u);
  EXPECT_EQ(image, before);
}

TEST_F(CloneTransferTest, ShortReplyAtBlock37StopsThereAndLeavesTheImageAsItWas) {
  radio.shortReplyBlock = 37;
  TransferResult r = Run(TransferDirection::Read);
  EXPECT_EQ(r.end, TransferEnd::BlockFailed);
  EXPECT_EQ(r.block, 37);
  EXPECT_EQ(r.message, kMsgProgramInterrupt);
  EXPECT_EQ(r.rows, 18);
  Log tail = From("write 52 01 28 08");
  ASSERT_EQ(tail.size(), 4u);
  EXPECT_EQ(tail[1].substr(0, 11), "read 12 -> ");
  EXPECT_EQ(tail[1].size(), std::string("read 12 -> ").size() + 11 * 3 - 1) << "eleven bytes";
  EXPECT_EQ(tail[2], "message 61454");
  EXPECT_EQ(tail[3], "close");
  EXPECT_EQ(image, before);
}

struct AckCase {
  TransferDirection direction;
  int block;
  int rowsDone;
};

class WrongAck : public CloneTransferTest, public ::testing::WithParamInterface<AckCase> {};

TEST_P(WrongAck, EndsWith61454AtThatBlock) {
  radio.wrongAckBlock = GetParam().block;
  TransferResult r = Run(GetParam().direction);
  EXPECT_EQ(r.end, TransferEnd::BlockFailed);
  EXPECT_EQ(r.block, GetParam().block);
  EXPECT_EQ(r.rows, GetParam().rowsDone);
  EXPECT_EQ(Log(log.end() - 3, log.end()), (Log{"read 1 -> 15", "message 61454", "close"}));
  EXPECT_EQ(image, before);
}

INSTANTIATE_TEST_SUITE_P(BothLoops, WrongAck,
                         ::testing::Values(AckCase{TransferDirection::Read, 0, 0},
                                           AckCase{TransferDirection::Read, 123, 61},
                                           AckCase{TransferDirection::Write, 50, 25},
                                           AckCase{TransferDirection::Write, 123, 61}));

struct CancelCase {
  int poll;  // 1-based
  int rows;  // rows done when it is seen
};

class CancelAtPoll : public CloneTransferTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelAtPoll, EndsSilentlyAndReleasesThePort) {
  host.cancelAtPoll = GetParam().poll;
  TransferResult r = Run(TransferDirection::Read);
  EXPECT_EQ(r.end, TransferEnd::Cancelled);
  EXPECT_EQ(r.message, 0);
  EXPECT_EQ(r.rows, GetParam().rows);
  EXPECT_EQ(Log(log.end() - 2, log.end()), (Log{"poll", "close"}));
  for (const std::string& e : log) EXPECT_EQ(e.rfind("message", 0), std::string::npos) << e;
  EXPECT_EQ(image, before) << "a cancelled read must not change the image";
}

// The handshake's polls are 1..10, then five after each row: the very last
// one (after row 62) still cancels.
INSTANTIATE_TEST_SUITE_P(Polls, CancelAtPoll,
                         ::testing::Values(CancelCase{1, 0}, CancelCase{10, 0}, CancelCase{11, 1},
                                           CancelCase{10 + 5 * 30 + 3, 31}, CancelCase{10 + 5 * 62, 62}));

TEST_F(CloneTransferTest, HangUpMidReadEndsAtOnceWith61454AndTheReason) {
  radio.hangUpAtBlock = 60;
  TransferResult r = Run(TransferDirection::Read);
  EXPECT_EQ(r.end, TransferEnd::BlockFailed);
  EXPECT_EQ(r.block, 60);
  EXPECT_EQ(r.reason.code, EIO);
  EXPECT_EQ(From("write 52 01 E0 08"), (Log{"write 52 01 E0 08", "read 12 -> error", "message 61454", "close"}));
  EXPECT_EQ(image, before);
}

TEST_F(CloneTransferTest, HangUpInTheHandshakeEndsAtOnceWithoutRetrying) {
  radio.hangUpAfterMagic = true;
  TransferResult r = Run(TransferDirection::Read);
  EXPECT_EQ(r.end, TransferEnd::HandshakeFailed);
  EXPECT_EQ(r.reason.code, EIO);
  EXPECT_EQ(Count(log, "write 4E"), 1u);
  EXPECT_EQ(Count(log, "ask"), 0u);
  EXPECT_EQ(Log(log.end() - 2, log.end()), (Log{"message 61454", "close"}));
}

TEST_F(CloneTransferTest, OpenFailureShows61453WithTheReasonAndTouchesNothing) {
  radio.openFails = true;
  TransferResult r = Run(TransferDirection::Write);
  EXPECT_EQ(r.end, TransferEnd::OpenFailed);
  EXPECT_EQ(r.message, kMsgOpenFailed);
  EXPECT_EQ(r.reason.code, ENOENT);
  EXPECT_EQ(log, (Log{"open /dev/radio", "message 61453"}));
}

TEST_F(CloneTransferTest, DirectionIsTakenAgainAfterTheHandshake) {
  host.switchToWrite = true;
  TransferResult r = Run(TransferDirection::Read);
  EXPECT_EQ(r.end, TransferEnd::Completed);
  EXPECT_EQ(r.direction, TransferDirection::Write);
  EXPECT_EQ(Count(log, "write 57 00 00 08"), 1u);
  EXPECT_EQ(Count(log, "write 52 00 00 08"), 0u);
  EXPECT_EQ(image, before);
}

// A Cancel request ends whichever wait the port is in: the transfer stops
// there as at a poll, without a message, and the image stays as it was.
struct WaitCase {
  const char* where;
  TransferDirection direction;
  int read;  // the read call the request ends (1: stage one's ACK)
  const char* lastWrite;
};

class CancelInAWait : public CloneTransferTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(CancelInAWait, EndsSilentlyAtOnce) {
  const WaitCase& c = GetParam();
  radio.cancelAtRead = c.read;
  TransferResult r = Run(c.direction);
  EXPECT_EQ(r.end, TransferEnd::Cancelled);
  EXPECT_EQ(r.message, 0);
  EXPECT_EQ(r.reason.code, 0);
  EXPECT_EQ(Count(log, "ask"), 0u);
  for (const std::string& e : log) EXPECT_EQ(e.rfind("message", 0), std::string::npos) << e;
  // Nothing more is sent after the cancelled read: the port closes next.
  EXPECT_EQ(log.back(), "close");
  auto last = std::find_if(log.rbegin(), log.rend(), [](const std::string& e) { return e.rfind("write", 0) == 0; });
  ASSERT_NE(last, log.rend());
  EXPECT_EQ(*last, c.lastWrite);
  EXPECT_EQ(image, before);
}

INSTANTIATE_TEST_SUITE_P(
    Waits, CancelInAWait,
    ::testing::Values(WaitCase{"stage one ACK", TransferDirection::Read, 1, "write 4E"},
                      WaitCase{"identification", TransferDirection::Read, 2, "write 02"},
                      WaitCase{"stage two ACK", TransferDirection::Read, 3, "write 06"},
                      // Read: each block is a reply read, then an ACK read.
                      WaitCase{"read block 37 reply", TransferDirection::Read, 3 + 2 * 37 + 1, "write 52 01 28 08"},
                      WaitCase{"write block 90 ACK", TransferDirection::Write, 3 + 90 + 1,
                               "write 30 3D 0A 17 64 71 7E 4B"}),
    [](const ::testing::TestParamInfo<WaitCase>& info) {
      std::string name = info.param.where;
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

// The trace holds one line per port call and pause, in the order they
// happened, each stamped with non-decreasing microseconds.
class TracedTransfer : public CloneTransferTest {
 protected:
  TransferResult RunTraced(TransferDirection direction) {
    std::string error;
    EXPECT_TRUE(sink.Open(trace, &error)) << error;
    TransferResult r = RunTracedTransfer(radio, host, &sink, "/dev/radio", direction, image);
    sink.Close();
    return r;
  }

  // The trace's lines without their time stamps; checks the stamps.
  Log Events() const {
    std::ifstream in(trace);
    Log events;
    std::string line;
    long long last = 0;
    while (std::getline(in, line)) {
      if (line.rfind("# ", 0) == 0) continue;
      std::istringstream fields(line);
      long long us = -1;
      fields >> us;
      EXPECT_GE(us, last) << line;
      last = us;
      std::string rest;
      std::getline(fields >> std::ws, rest);
      events.push_back(rest);
    }
    return events;
  }

  // What the trace should say for the port and host calls in `log`.
  Log Expected() const {
    Log e;
    for (const std::string& entry : log) {
      if (entry.rfind("open ", 0) == 0) e.push_back("OPEN " + entry.substr(5));
      else if (entry == "discard") e.push_back("DISCARD");
      else if (entry.rfind("write ", 0) == 0) e.push_back("TX " + entry.substr(6));
      else if (entry.rfind("sleep ", 0) == 0) e.push_back("PAUSE " + entry.substr(6) + " ms");
      else if (entry == "close") e.push_back("CLOSE");
      else if (entry.rfind("read ", 0) == 0) {
        std::size_t arrow = entry.find(" -> ");
        std::string asked = entry.substr(5, arrow - 5), got = entry.substr(arrow + 4);
        if (got == "(none)") e.push_back("RX - (0 of " + asked + ")");
        else if (got == "error") e.push_back("ERROR read: Input/output error");
        else if (std::to_string((got.size() + 1) / 3) != asked)
          e.push_back("RX " + got + " (" + std::to_string((got.size() + 1) / 3) + " of " + asked + ")");
        else e.push_back("RX " + got);
      }
    }
    return e;
  }

  testutil::TempDir dir;
  std::string trace = dir.File("trace.txt");
  TraceSink sink;
};

TEST_F(TracedTransfer, EveryByteDiscardAndPauseOfARunIsLoggedInOrder) {
  TransferResult r = RunTraced(TransferDirection::Read);
  ASSERT_TRUE(r.ok());
  Log expected = Expected();
  expected.push_back("END completed");
  EXPECT_EQ(Events(), expected);
  std::ifstream in(trace);
  std::string header;
  std::getline(in, header);
  EXPECT_EQ(header.rfind("# read on /dev/radio at ", 0), 0u) << header;
}

TEST_F(TracedTransfer, FailuresShortRepliesAndTimeOutsAreLogged) {
  radio.stageTwoSilences = 1;
  radio.shortReplyBlock = 5;
  host.retryAnswers = {true};
  TransferResult r = RunTraced(TransferDirection::Read);
  ASSERT_EQ(r.end, TransferEnd::BlockFailed);
  Log events = Events();
  EXPECT_EQ(std::count(events.begin(), events.end(), "RX - (0 of 1)"), 1);
  EXPECT_EQ(std::count(events.begin(), events.end(), "ASK Retry"), 1);
  EXPECT_NE(std::find(events.begin(), events.end(), "RX 57 00 28 08 1B 22 29 30 37 3E 45 (11 of 12)"), events.end());
  EXPECT_EQ(events.back(), "END block failed at block 5");
}

TEST_F(TracedTransfer, LinesAreInTheFileWhileTheTransferRuns) {
  std::string seen;
  host.onProgress = [&](int rows) {
    if (rows != 31) return;
    std::ifstream in(trace);
    std::ostringstream s;
    s << in.rdbuf();
    seen = s.str();
  };
  ASSERT_TRUE(RunTraced(TransferDirection::Write).ok());
  // Row 30's second block went out just before; nothing of row 31 yet.
  EXPECT_NE(seen.find(" TX 57 01 E8 08\n"), std::string::npos);
  EXPECT_EQ(seen.find(" TX 57 01 F0 08\n"), std::string::npos);
  EXPECT_EQ(seen.find("CLOSE"), std::string::npos);
}

TEST_F(TracedTransfer, WithoutAnOpenSinkTheTransferIsUntraced) {
  TransferResult r = RunTracedTransfer(radio, host, nullptr, "/dev/radio", TransferDirection::Read, image);
  EXPECT_TRUE(r.ok());
  TraceSink closed;
  EXPECT_TRUE(RunTracedTransfer(radio, host, &closed, "/dev/radio", TransferDirection::Read, image).ok());
}

}  // namespace
