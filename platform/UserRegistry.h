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
  static void WriteDword(const std::string& keyPath, const std::string& name, std::uint32_t value);
  static std::string ReadString(const std::string& keyPath, const std::string& name,
                                const std::string& def = std::string());
  static void WriteString(const std::string& keyPath, const std::string& name,
                          const std::string& value);
  // Removes the value: a later read gives the default. Nothing when absent.
  static void DeleteValue(const std::string& keyPath, const std::string& name);
  // Creates the key (section) when it does not exist.
  static void CreateKey(const std::string& keyPath);
};

// "Software\" + [Setup] AppName of the settings file.
std::string AppRegistryKey();

}  // namespace chanset
