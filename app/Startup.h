#pragma once
// Start-up decisions that need no window: the ShowLang number, the command
// line, the language pack's file name and the built-in texts that exist in
// both languages.
#include <string>
#include <vector>

namespace chanset {

// The leading decimal integer of a value (optional blanks and sign, then
// digits), 0 when there is none: "2x" gives 2, "abc" and "" give 0.
long LeadingInteger(const std::string& value);

// True when the Setup menu keeps its Language command: ShowLang's leading
// integer is not 0.
bool ShowLanguageCommand(const std::string& showLangValue);

// File name of the language pack of a "Language" value (used as it stands:
// "chinese" looks for chinese.rcc).
std::string LanguagePackFileName(const std::string& language);

// What the command line asks for.
struct CommandLine {
  enum Kind { FileNew, FileOpen, FilePrint, FilePrintTo, FilePrintPdf };
  Kind kind = FileNew;
  std::string file;     // FileOpen, FilePrint, FilePrintTo, FilePrintPdf
  std::string printer;  // FilePrintTo
  std::string output;   // FilePrintPdf: the PDF file to write
  bool IsPrint() const { return kind == FilePrint || kind == FilePrintTo || kind == FilePrintPdf; }
};
// Arguments after the program name. "/p FILE" (or -p) prints the file,
// "/pt FILE PRINTER" prints it on the named printer, "--print-pdf FILE OUT"
// prints it into the PDF file OUT; any other first
// argument that does not start with '-' is the file to open (absolute
// paths start with '/'). Nothing, or an unknown option, starts with a new
// document.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// Built-in texts, chosen by the language flag.
const char* LoadLanguagePackFailedText(bool chinese);  // "Load language DLL fail"
// The start-up failure message with the file that was looked for: the
// settings file when it is missing, else the language pack.
// "Load language DLL fail\nThe settings file was not found: <path>".
std::string StartupFailureText(bool chinese, bool settingsMissing, const std::string& path);

}  // namespace chanset
