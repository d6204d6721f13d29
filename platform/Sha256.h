#pragma once
// SHA-256 (FIPS 180-4) of a byte string, as 64 lower-case hex digits. The
// write log names each image sent to a radio by it, so two plans can be told
// apart, and a file compared with the log, with `sha256sum`.
#include <cstddef>
#include <cstdint>
#include <string>

namespace chanset {

std::string Sha256Hex(const std::uint8_t* data, std::size_t size);
inline std::string Sha256Hex(const std::string& bytes) {
  return Sha256Hex(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace chanset
