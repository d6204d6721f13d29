#include "data/DatFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>

#include "platform/AtomicFile.h"

namespace chanset {

static const char kMagic[4] = {'S', '3', '3', '3'};

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

DatError LoadDatFile(const std::string& path, Image& image, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = std::strerror(errno);
    return DatError::Io;
  }
  Image scratch = image;
  DatError result = LoadDat(in, scratch);
  if (result == DatError::None) image = scratch;
  return result;
}

DatError StoreDatFile(const std::string& path, const Image& image, std::string* error) {
  std::ostringstream out(std::ios::binary);
  StoreDat(out, image);
  return WriteFileAtomic(path, out.str(), error) ? DatError::None : DatError::Io;
}

}  // namespace chanset
