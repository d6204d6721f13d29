#include <gtest/gtest.h>

#include "data/MemoryImage.h"

using namespace chanset;

TEST(MemoryImage, NewImageHasDefaultsAndErasedRest) {
  Image img = NewImage();
  const std::pair<std::size_t, std::uint8_t> defaults[] = {
      {0x12F, 0x01}, {0x130, 0x03}, {0x134, 0x05}, {0x135, 0x01}, {0x136, 0x01},
      {0x139, 0x00}, {0x13A, 0x05}, {0x13B, 0x00}, {0x161, 0x00}, {0x390, 0xF9}};
  Image expected;
  expected.fill(0xFF);
  for (auto [o, v] : defaults) expected[o] = v;
  for (std::size_t k = 0; k < 7; ++k) {
    expected[0x3E0 + 3 * k] = 0x4D;
    expected[0x3E1 + 3 * k] = 0x9B;
    expected[0x3E2 + 3 * k] = 0xFF;
  }
  EXPECT_EQ(img, expected);
}

TEST(MemoryImage, ScanBitsMapToTwoBytesLeastSignificantFirst) {
  Image img{};
  SetScanBit(img, 1, true);
  SetScanBit(img, 8, true);
  SetScanBit(img, 9, true);
  SetScanBit(img, 16, true);
  EXPECT_EQ(img[0x17E], 0x81);
  EXPECT_EQ(img[0x17F], 0x81);
  SetScanBit(img, 8, false);
  EXPECT_EQ(img[0x17E], 0x01);
  EXPECT_TRUE(ScanBit(img, 16));
  EXPECT_FALSE(ScanBit(img, 15));
}

// ---- .dat files ----
#include <sstream>

#include "data/DatFile.h"
#include "platform/AtomicFile.h"

static std::string StoreToString(const Image& img) {
  std::ostringstream out(std::ios::binary);
  StoreDat(out, img);
  return out.str();
}

TEST(DatFile, StoreWritesMagicZerosAndImage) {
  Image img = NewImage();
  img[0] = 0x12;
  std::string bytes = StoreToString(img);
  ASSERT_EQ(bytes.size(), kDatFileSize);
  EXPECT_EQ(bytes.substr(0, 16), std::string("S333") + std::string(12, '\0'));
  EXPECT_EQ(static_cast<unsigned char>(bytes[16]), 0x12);
  EXPECT_EQ(static_cast<unsigned char>(bytes[1039]), img[1023]);
}

TEST(DatFile, LoadErrorsAreDistinctAndHeaderPaddingIgnored) {
  Image img = NewImage();
  img[5] = 0x77;
  std::string bytes = StoreToString(img);

  std::string padded = bytes;
  for (int i = 4; i < 16; ++i) padded[i] = 'x';
  padded += std::string(960, 'z');  // 2000 bytes: the tail is never read
  Image loaded{};
  std::istringstream in1(padded);
  EXPECT_EQ(LoadDat(in1, loaded), DatError::None);
  EXPECT_EQ(loaded, img);

  std::string wrong = bytes;
  wrong[3] = '4';
  Image untouched{};
  std::istringstream in2(wrong);
  EXPECT_EQ(LoadDat(in2, untouched), DatError::Format);
  EXPECT_EQ(untouched, Image{});

  std::istringstream in3(bytes.substr(0, 1039));
  EXPECT_EQ(LoadDat(in3, loaded), DatError::EndOfFile);
  std::istringstream in4(bytes.substr(0, 10));
  EXPECT_EQ(LoadDat(in4, loaded), DatError::EndOfFile);
}

// ---- .dat files on disk ----
#include <cstdlib>
#include <fstream>
#include <unistd.h>

TEST(DatFile, FileLoadReportsSystemReasonsAndKeepsImageOnFailure) {
  char tmpl[] = "/tmp/chanset-dat-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl;
  Image saved = NewImage();
  saved[0x20] = 0x42;
  ASSERT_EQ(StoreDatFile(dir + "/a.dat", saved), DatError::None);
  {
    std::ofstream shortFile(dir + "/short.dat", std::ios::binary);
    shortFile << StoreToString(saved).substr(0, 1039);
  }

  const Image before{};
  struct Case {
    std::string path;
    DatError want;
    const char* reason;
  } cases[] = {
      {dir + "/missing.dat", DatError::Io, "No such file or directory"},
      {dir, DatError::NotAFile, NotRegularFileReason()},
      {dir + "/short.dat", DatError::EndOfFile, ""},
  };
  for (const Case& c : cases) {
    Image img = before;
    std::string reason;
    EXPECT_EQ(LoadDatFile(c.path, img, &reason), c.want) << c.path;
    EXPECT_EQ(reason, c.reason) << c.path;
    EXPECT_EQ(img, before) << c.path;
  }
  Image img{};
  EXPECT_EQ(LoadDatFile(dir + "/a.dat", img), DatError::None);
  EXPECT_EQ(img, saved);

  unlink((dir + "/a.dat").c_str());
  unlink((dir + "/short.dat").c_str());
  rmdir(dir.c_str());
}
