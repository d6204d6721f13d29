#include "data/DatFile.h"

#include <cstring>
#include <istream>
#include <ostream>
#include <sstream>

#include "platform/AtomicFile.h"

namespace chanset {

static const char kMagic[4] = {'S', '3', '3', '3'};

const char* DatFormatErrorText(bool chinese) {
  return chinese ? "数据格式不正确" : "Data Format Error";
}

const char* NewDocumentTitle(bool chinese) { return chinese ? "信道信息" : "Channel Information"; }

DatError LoadDat(std::istream& in, Image& image) {
  char header[16];
  for (char& c : header) {
    int b = in.get();
    if (b == std::char_traits<char>::eof()) return DatError::EndOfFile;
    c = static_cast<char>(b);
  }
  if (std::memcmp(header, kMagic, 4) != 0) return DatError::Format;
  for (std::uint8_t& byte : image) {
    int b = in.get();
    if (b == std::char_traits<char>::eof()) return DatError::EndOfFile;
    byte = static_cast<std::uint8_t>(b);
  }
  return DatError::None;
}

void StoreDat(std::ostream& out, const Image& image) {
  out.write(kMagic, 4);
  const char zeros[12] = {};
  out.write(zeros, sizeof zeros);
  out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
}

DatError LoadDatFile(const std::string& path, Image& image, std::string* error, bool streams) {
  // Only the first 1040 bytes matter: a huge file, or a stream that never
  // ends, is not read further.
  InputRules rules;
  rules.streams = streams;
  rules.limit = kDatFileSize;
  rules.cutAtLimit = true;
  std::string bytes;
  switch (ReadInput(path, bytes, rules, error)) {
    case InputStatus::Ok: break;
    case InputStatus::NotRegular: return DatError::NotAFile;
    default: return DatError::Io;
  }
  std::istringstream in(bytes);
  Image scratch = image;
  DatError result = LoadDat(in, scratch);
  if (result == DatError::None) image = scratch;
  return result;
}

DatError StoreDatFile(const std::string& path, const Image& image, std::string* error) {
  std::ostringstream out(std::ios::binary);
  StoreDat(out, image);
  bool notRegular = false;
  if (WriteFileAtomic(path, out.str(), error, &notRegular)) return DatError::None;
  return notRegular ? DatError::NotAFile : DatError::Io;
}

}  // namespace chanset
