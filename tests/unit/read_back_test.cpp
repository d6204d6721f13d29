// The check after a write: reading the radio back and comparing rows 0..61
// with what was sent, against the scripted radio. What it decides, what it
// hands back and what it keeps from the user's host.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "link/ReadBack.h"
#include "link/TraceSink.h"
#include "tests/unit/ScriptedRadio.h"
#include "tests/unit/TempDir.h"

using namespace chanset;
using namespace radiotest;

namespace {

// What was sent: the scripted radio's memory in rows 0..61 (a clean write
// leaves exactly that), and markers in rows 62..63, which never travel.
Image Sent(const ScriptedRadio& radio) {
  Image image{};
  std::copy(radio.memory.begin(), radio.memory.end(), image.begin());
  for (std::size_t i = kTransferBytes; i < kImageSize; ++i) image[i] = static_cast<std::uint8_t>(0x5A ^ i);
  return image;
}

bool Logged(const Log& log, const std::string& prefix) {
  return std::any_of(log.begin(), log.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
}

struct ReadBackCase {
  const char* name;
  std::function<void(ScriptedRadio&, FakeHost&)> arrange;
  VerifyEnd end;
  TransferEnd transfer;
  int message;      // handed back, never shown through the host
  int reasonCode;   // the port's reason handed back with it
};

class ReadBackEnding : public ::testing::TestWithParam<ReadBackCase> {};

TEST_P(ReadBackEnding, DecidesTheVerdictAndKeepsTheEndingMessageFromTheHost) {
  const ReadBackCase& c = GetParam();
  Log log;
  ScriptedRadio radio(log);
  FakeHost host(log);
  const Image sent = Sent(radio);
  c.arrange(radio, host);

  ReadBackResult r = ReadBackWritten(radio, host, nullptr, "/dev/radio", sent);
  EXPECT_EQ(r.end, c.end);
  EXPECT_EQ(r.transfer.end, c.transfer);
  EXPECT_EQ(r.message, c.message);
  EXPECT_EQ(r.reason.code, c.reasonCode);
  EXPECT_EQ(r.complete(), c.transfer == TransferEnd::Completed);
  EXPECT_FALSE(Logged(log, "message ")) << "the read-back's ending message is the caller's to report";
  // Never a write frame: the radio is only read.
  EXPECT_FALSE(Logged(log, "write 57 "));
  // Rows 62..63 are always those sent; rows 0..61 are the radio's only when
  // every block arrived.
  EXPECT_TRUE(std::equal(sent.begin() + kTransferBytes, sent.end(), r.image.begin() + kTransferBytes));
  if (r.complete())
    EXPECT_TRUE(std::equal(radio.memory.begin(), radio.memory.end(), r.image.begin()));
  else
    EXPECT_EQ(r.image, sent);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ReadBackEnding,
    ::testing::Values(
        ReadBackCase{"clean", [](ScriptedRadio&, FakeHost&) {}, VerifyEnd::Verified, TransferEnd::Completed, 0, 0},
        // The radio acknowledged every block but kept one byte wrong.
        ReadBackCase{"one byte off", [](ScriptedRadio& radio, FakeHost&) { radio.memory[0x123] ^= 0x01; },
                     VerifyEnd::Differs, TransferEnd::Completed, 0, 0},
        ReadBackCase{"last byte of row 61 off", [](ScriptedRadio& radio, FakeHost&) { radio.memory[991] ^= 0x80; },
                     VerifyEnd::Differs, TransferEnd::Completed, 0, 0},
        // The host of the whole job answers Write (the user's direction);
        // the read-back still reads.
        ReadBackCase{"host answers write", [](ScriptedRadio&, FakeHost& host) { host.switchToWrite = true; },
                     VerifyEnd::Verified, TransferEnd::Completed, 0, 0},
        ReadBackCase{"silent radio", [](ScriptedRadio& radio, FakeHost&) { radio.silent = true; },
                     VerifyEnd::NotVerified, TransferEnd::HandshakeFailed, kMsgProgramInterrupt, 0},
        ReadBackCase{"short reply", [](ScriptedRadio& radio, FakeHost&) { radio.shortReplyBlock = 40; },
                     VerifyEnd::NotVerified, TransferEnd::BlockFailed, kMsgProgramInterrupt, 0},
        ReadBackCase{"cable pulled", [](ScriptedRadio& radio, FakeHost&) { radio.hangUpAtBlock = 9; },
                     VerifyEnd::NotVerified, TransferEnd::BlockFailed, kMsgProgramInterrupt, EIO},
        ReadBackCase{"port gone", [](ScriptedRadio& radio, FakeHost&) { radio.openFails = true; },
                     VerifyEnd::NotVerified, TransferEnd::OpenFailed, kMsgOpenFailed, ENOENT},
        // Retry was asked (through the host) and answered Cancel.
        ReadBackCase{"retry declined", [](ScriptedRadio& radio, FakeHost&) { radio.stageTwoSilences = 1; },
                     VerifyEnd::NotVerified, TransferEnd::RetryDeclined, kMsgCommunicationError, 0},
        ReadBackCase{"cancel in the block loop", [](ScriptedRadio&, FakeHost& host) { host.cancelAtPoll = 40; },
                     VerifyEnd::NotVerified, TransferEnd::Cancelled, 0, 0},
        ReadBackCase{"cancel wakes a wait", [](ScriptedRadio& radio, FakeHost&) { radio.cancelAtRead = 30; },
                     VerifyEnd::NotVerified, TransferEnd::Cancelled, 0, 0}),
    [](const ::testing::TestParamInfo<ReadBackCase>& info) {
      std::string name = info.param.name;
      std::replace(name.begin(), name.end(), ' ', '_');
      return name;
    });

TEST(ReadBack, GoesThroughTheHostLikeAnyRead) {
  Log log;
  ScriptedRadio radio(log);
  FakeHost host(log);
  radio.stageTwoSilences = 1;
  host.retryAnswers = {true};
  ReadBackResult r = ReadBackWritten(radio, host, nullptr, "/dev/radio", Sent(radio));
  EXPECT_EQ(r.end, VerifyEnd::Verified);
  EXPECT_EQ(r.message, 0) << "a Retry that was answered Retry is no reason";
  // The Retry question, the pauses, the polls and the progress from 1 to 62.
  EXPECT_EQ(std::count(log.begin(), log.end(), "ask"), 1);
  EXPECT_TRUE(Logged(log, "sleep 2"));
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](const std::string& e) { return e.rfind("progress ", 0) == 0; }),
            62);
  EXPECT_EQ(log.back(), "close");
}

TEST(ReadBack, IsTracedAsARead) {
  testutil::TempDir dir;
  TraceSink sink;
  ASSERT_TRUE(sink.Open(dir.File("trace.txt")));
  Log log;
  ScriptedRadio radio(log);
  FakeHost host(log);
  const Image sent = Sent(radio);
  radio.memory[5] ^= 0xFF;
  EXPECT_EQ(ReadBackWritten(radio, host, &sink, "/dev/radio", sent).end, VerifyEnd::Differs);
  sink.Close();
  const std::string trace = testutil::ReadText(dir.File("trace.txt"));
  EXPECT_EQ(trace.rfind("# read on /dev/radio", 0), 0u) << trace.substr(0, 80);
  EXPECT_NE(trace.find(" END completed\n"), std::string::npos);
}

}  // namespace
