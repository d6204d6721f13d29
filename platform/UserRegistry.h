#pragma once
// Per-user persistent values kept under key paths such as "Software\Chanset".
// Stored as $XDG_CONFIG_HOME/Chanset/registry.ini (default ~/.config), one
// section per key path, written atomically. Reads never fail: a missing file,
// key or value gives the default.
#include <cstdint>
#include <string>

namespace chanset {

class UserRegistry {
 public:
  static std::string FilePath();

  static std::uint32_t ReadDword(const std::string& keyPath, const std::string& name,
                                 std::uint32_t def = 0);
  // The writes return false, with the reason in *error (the file's path
  // first), when the file could not be written.
  static bool WriteDword(const std::string& keyPath, const std::string& name, std::uint32_t value,
                         std::string* error = nullptr);
  static std::string ReadString(const std::string& keyPath, const std::string& name,
                                const std::string& def = std::string());
  static bool WriteString(const std::string& keyPath, const std::string& name, const std::string& value,
                          std::string* error = nullptr);
  // Creates the key (section) when it does not exist.
  static bool CreateKey(const std::string& keyPath, std::string* error = nullptr);
};

// "Software\" + [Setup] AppName of the settings file.
std::string AppRegistryKey();

}  // namespace chanset
