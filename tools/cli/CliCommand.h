#pragma once
// chanset-cli: one function per command, each in its own file.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "data/MemoryImage.h"

namespace chanset {
class CSettingsFile;
}

namespace cli {

using Args = std::vector<std::string>;  // the words after the command name

struct Command {
  const char* name;
  const char* usage;    // one line: arguments
  const char* summary;  // one line: what it does
  int (*run)(const Args& args);
};

// Every command, in the order `chanset-cli --help` lists them.
const std::vector<Command>& Commands();

// Prints "chanset-cli: <message>" on stderr and returns 1 (for `return Fail(...)`).
int Fail(const std::string& message);

// Everything a command prints goes through these: `text` and a line end in
// one write, with every control character in it written out (see
// platform/TerminalText.h), so that nothing read from a file, a device or
// another process can act on the user's terminal. PrintLines does the same
// for each line of a text of several.
void PrintLine(std::FILE* stream, const std::string& text);
void PrintLines(std::FILE* stream, const std::string& text);

// The file a command's path word names: "-" is standard input for an input
// and standard output for an output (written through the open descriptor,
// so "chanset-cli export a.dat - >> all.csv" appends).
std::string InputPath(const std::string& word);
std::string OutputPath(const std::string& word);
// Stores `bytes` at the output `word` names; prints why not and returns
// false.
bool WriteOutput(const std::string& word, const std::string& bytes);
// Stores `image` as a .dat file at the output `word` names; prints why not
// and returns false.
bool StoreForCommand(const std::string& word, const chanset::Image& image);
// Whether two path words name the same file ("-" as an input is not an
// output).
bool SameFileWords(const std::string& input, const std::string& output);

// The settings file given by "--ini FILE" anywhere on the command line (taken
// out before the command runs); empty when none was given.
const std::string& IniPath();

// Loads the settings file (SettingsPathForCommand: --ini FILE, else the
// Chanset.ini the GUI reads) into the program's settings object, read-only: its [Setup]
// AppName names the user registry key whose Ports section maps COMn to a
// device, so every port named on the command line resolves as in the GUI.
// Loaded once; a missing default file leaves AppName empty, a --ini FILE
// that cannot be read is an error (printed; returns false).
bool LoadProgramSettings();

// Loads a .dat file, or prints why not (the system reason, or "Data Format
// Error" in the chosen language for a file that is not a configuration file
// or is too short) and returns false.
bool LoadForCommand(const std::string& path, chanset::Image& image, bool chinese);

// The settings file the commands read: the --ini one, else the Chanset.ini
// that Chanset reads (the user's copy of an installed one, when there is one).
std::string SettingsPathForCommand();

// Loads the settings file (SettingsPathForCommand), which names the radio
// types and bands. It is only
// read: a missing one is an error, never created. Prints why and returns
// false when it cannot be read.
bool LoadSettingsForCommand(chanset::CSettingsFile& settings);

// The settings file that names the radio types and bands in the lines that
// show them (diff, write --verify): SettingsPathForCommand when that file
// exists, else none (null: the indexes are
// shown). It is only read, never created. Prints why and sets `ok` to false
// when it cannot be read.
std::unique_ptr<chanset::CSettingsFile> LoadNamesForCommand(bool& ok);

// What the import commands read before anything else, in this order: the
// settings file, the base image, the CSV text. Prints why and returns false
// when one cannot be read.
bool LoadImportInputs(const std::string& csvPath, const std::string& basePath, chanset::CSettingsFile& settings,
                      chanset::Image& image, std::string& csvText);

// Takes "--lang en|zh" out of args (default en); prints and returns false
// for any other value. The second form gives the reason in `error` instead
// of printing it.
bool TakeLanguage(Args& args, bool& chinese);
bool TakeLanguage(Args& args, bool& chinese, std::string& error);

// Removes "--name VALUE" from args; returns true and sets value when present.
// A "--name" without a value is an error reported through `error`. Only the
// words before "--" are options.
bool TakeOption(Args& args, const std::string& name, std::string& value, std::string& error);
// Removes a flag "--name" from args; returns whether it was present.
bool TakeFlag(Args& args, const std::string& name);
// After a command has taken its options: false when a word before "--"
// still looks like an option (a lone "-" is a path); else removes the "--",
// leaving the operands.
bool Operands(Args& args);

}  // namespace cli
