// SerialPort on a real pseudo-terminal pair: the test holds the master side
// and plays the radio, the port opens the slave device.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "link/SerialPort.h"

using namespace chanset;
using Clock = std::chrono::steady_clock;

namespace {

class Pty {
 public:
  Pty() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) path_ = ptsname(master_);
  }
  ~Pty() { CloseMaster(); }
  const std::string& path() const { return path_; }
  void Send(const std::vector<std::uint8_t>& bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  // Everything the port sent, waiting up to `ms` for each next byte.
  std::vector<std::uint8_t> Receive(std::size_t count, int ms = 500) {
    std::vector<std::uint8_t> got;
    while (got.size() < count) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, ms) <= 0) break;
      std::uint8_t buf[512];
      ssize_t n = ::read(master_, buf, sizeof buf);
      if (n <= 0) break;
      got.insert(got.end(), buf, buf + n);
    }
    return got;
  }
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string path_;
};

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::vector<std::uint8_t> AllByteValues() {
  std::vector<std::uint8_t> v(256);
  for (int i = 0; i < 256; ++i) v[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
  return v;
}

TEST(SerialPort, EveryByteValuePassesUnchangedBothWays) {
  // The slave starts in the system's default cooked mode (echo, CR/LF
  // mapping, XON/XOFF): the port must make the line transparent.
  Pty pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.path())) << port.LastError().text;
  std::vector<std::uint8_t> all = AllByteValues();

  pty.Send(all);
  std::vector<std::uint8_t> in(256);
  ASSERT_EQ(port.Read(in.data(), in.size()), 256);
  EXPECT_EQ(in, all);

  ASSERT_TRUE(port.Write(all.data(), all.size()));
  EXPECT_EQ(pty.Receive(256), all);
}

TEST(SerialPort, ReadReturnsTheMomentNBytesAreThere) {
  Pty pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.path()));
  pty.Send({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13});
  std::uint8_t buf[12];
  auto start = Clock::now();
  EXPECT_EQ(port.Read(buf, 12), 12);
  EXPECT_LT(MsSince(start), 250) << "must not wait for the 300 ms interval";
  EXPECT_EQ(port.Read(buf, 1), 1);  // the thirteenth byte is still there
  EXPECT_EQ(buf[0], 13);
}

TEST(SerialPort, ReadEndsThreeHundredMsAfterTheLastByte) {
  Pty pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.path()));
  pty.Send({0x57, 0x00, 0x08});
  std::uint8_t buf[12];
  auto start = Clock::now();
  EXPECT_EQ(port.Read(buf, 12), 3);
  long long ms = MsSince(start);
  EXPECT_GE(ms, 290);
  EXPECT_LT(ms, 1500) << "the 12-byte total limit is 6900 ms";
}

TEST(SerialPort, ReadEndsAtTheTotalLimitWhileBytesKeepTrickling) {
  Pty pty;
  PortTimeouts t;
  t.readIntervalMs = 200;
  t.readPerByteMs = 20;
  t.readConstantMs = 100;  // 10 bytes: 300 ms in all
  SerialPort port(t);
  ASSERT_TRUE(port.Open(pty.path()));
  std::thread radio([&] {
    for (int i = 0; i < 8; ++i) {
      pty.Send({static_cast<std::uint8_t>(i)});
      std::this_thread::sleep_for(std::chrono::milliseconds(60));
    }
  });
  std::uint8_t buf[10];
  auto start = Clock::now();
  long n = port.Read(buf, 10);
  long long ms = MsSince(start);
  radio.join();
  EXPECT_GE(n, 2);
  EXPECT_LT(n, 10);
  EXPECT_GE(ms, 290);
  EXPECT_LT(ms, 650);
}

TEST(SerialPort, OneByteWithNothingArrivingWaitsFourteenHundredMs) {
  Pty pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.path()));
  std::uint8_t b;
  auto start = Clock::now();
  EXPECT_EQ(port.Read(&b, 1), 0);
  long long ms = MsSince(start);
  EXPECT_GE(ms, 1390);
  EXPECT_LT(ms, 2500);
}

TEST(SerialPort, SecondOpenIsRefusedWhileTheFirstHoldsThePort) {
  Pty pty;
  SerialPort first, second;
  ASSERT_TRUE(first.Open(pty.path()));
  EXPECT_FALSE(second.Open(pty.path()));
  EXPECT_EQ(second.LastError().code, EBUSY);
  EXPECT_FALSE(second.IsOpen());
  first.Close();
  EXPECT_TRUE(second.Open(pty.path())) << second.LastError().text;
}

TEST(SerialPort, HangUpEndsAWaitingReadAtOnceWithAnError) {
  Pty pty;
  SerialPort port;
  ASSERT_TRUE(port.Open(pty.path()));
  std::thread unplug([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    pty.CloseMaster();
  });
  std::uint8_t buf[12];
  auto start = Clock::now();
  EXPECT_EQ(port.Read(buf, 12), -1);
  EXPECT_LT(MsSince(start), 1000);
  unplug.join();
  EXPECT_EQ(port.LastError().code, EIO);
  std::uint8_t ack = 0x06;
  EXPECT_FALSE(port.Write(&ack, 1));
  EXPECT_FALSE(port.Discard());
}

TEST(SerialPort, CancelRequestEndsAWaitingReadAtOnceAndEveryCallAfterIt) {
  Pty pty;
  CancelSignal cancel;
  SerialPort port;
  port.SetCancel(&cancel);
  ASSERT_TRUE(port.Open(pty.path()));
  std::thread user([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    cancel.Request();
  });
  std::uint8_t b = 0x06;
  auto start = Clock::now();
  EXPECT_EQ(port.Read(&b, 1), -1);
  EXPECT_LT(MsSince(start), 1000) << "the 1400 ms time-out must not be waited out";
  user.join();
  EXPECT_EQ(port.LastError().code, ECANCELED);
  // Nothing more goes out, even when the radio has answered meanwhile.
  pty.Send({0x06});
  EXPECT_FALSE(port.Discard());
  EXPECT_FALSE(port.Write(&b, 1));
  EXPECT_EQ(port.Read(&b, 1), -1);
  EXPECT_TRUE(pty.Receive(1, 50).empty());
  // Withdrawn, the line works again.
  cancel.Reset();
  EXPECT_EQ(port.Read(&b, 1), 1);
  EXPECT_TRUE(port.Write(&b, 1));
  EXPECT_EQ(pty.Receive(1), std::vector<std::uint8_t>{0x06});
}

TEST(SerialPort, WithoutACancelSignalOrRequestThePortIsUnchanged) {
  Pty pty;
  CancelSignal idle;
  for (const CancelSignal* cancel : {static_cast<const CancelSignal*>(nullptr), static_cast<const CancelSignal*>(&idle)}) {
    SerialPort port;
    port.SetCancel(cancel);
    ASSERT_TRUE(port.Open(pty.path()));
    pty.Send({1, 2, 3});
    std::uint8_t buf[3];
    EXPECT_EQ(port.Read(buf, 3), 3);
    port.Close();
  }
}

TEST(SerialPort, DiscardDropsWhatArrivedButNeverWhatWasWritten) {
  Pty pty;
  PortTimeouts t;
  t.readPerByteMs = 10;
  t.readConstantMs = 50;
  SerialPort port(t);
  ASSERT_TRUE(port.Open(pty.path()));
  pty.Send({0xAA, 0xBB, 0xCC});
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  std::uint8_t ack = 0x06;
  ASSERT_TRUE(port.Write(&ack, 1));
  ASSERT_TRUE(port.Discard());
  EXPECT_EQ(pty.Receive(1), std::vector<std::uint8_t>{0x06});
  std::uint8_t buf[3];
  EXPECT_EQ(port.Read(buf, 3), 0);
}

struct OpenCase {
  const char* name;
  std::string path;
  int code;
};

TEST(SerialPort, OpenFailuresCarryTheSystemReason) {
  char dir[] = "/tmp/serial_port_test.XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  std::string file = std::string(dir) + "/plain.dat";
  int fd = ::open(file.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ::close(fd);
  const OpenCase cases[] = {
      {"absent device", std::string(dir) + "/ttyUSB9", ENOENT},
      {"plain file", file, ENOTTY},
      {"folder", dir, EISDIR},
  };
  for (const OpenCase& c : cases) {
    SerialPort port;
    EXPECT_FALSE(port.Open(c.path)) << c.name;
    EXPECT_EQ(port.LastError().code, c.code) << c.name;
    EXPECT_NE(port.LastError().text.find(c.path), std::string::npos) << c.name;
  }
  EXPECT_FALSE(access((std::string(dir) + "/ttyUSB9").c_str(), F_OK) == 0) << "open must not create";
  unlink(file.c_str());
  rmdir(dir);
}

}  // namespace
