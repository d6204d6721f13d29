// chanset-cli export FILE.dat OUT.csv [--format chanset|chirp] [--lang en|zh]
// Writes the channels of a configuration file as Chanset's own table (what
// `dump` prints, in the chosen language) or as a CHIRP CSV file (Power in
// the watts the settings file gives the radio type). What the chosen format
// cannot carry, and what CHIRP before 2023 reads wrongly, is noted on stderr.
#include "editor/ChansetCsv.h"
#include "editor/ChannelImport.h"
#include "editor/ChirpCsv.h"
#include "settings/CSettingsFile.h"
#include "tools/cli/CliCommand.h"

using namespace chanset;

namespace cli {

int RunExport(const Args& arguments) {
  Args args = arguments;
  const char* usage = "usage: chanset-cli export FILE.dat OUT.csv [--format chanset|chirp] [--lang en|zh]";
  bool chinese = false;
  if (!TakeLanguage(args, chinese)) return 1;
  std::string formatText = "chanset", error;
  if (!TakeOption(args, "--format", formatText, error) && !error.empty()) return Fail(error);
  CsvFormat format = CsvFormat::Auto;
  if (!ParseCsvFormat(formatText, format) || format == CsvFormat::Auto)
    return Fail("--format takes chanset or chirp, not '" + formatText + "'");
  if (!Operands(args) || args.size() != 2) return Fail(usage);
  if (SameFileWords(args[0], args[1])) return Fail(args[1] + " is the configuration file read; it is not replaced");

  Image image{};
  if (!LoadForCommand(args[0], image, chinese)) return 1;

  // CHIRP's Power column holds watts: those of the radio type, from the
  // settings file when there is one.
  bool namesOk = true;
  const std::unique_ptr<CSettingsFile> settings = LoadNamesForCommand(namesOk);
  if (!namesOk) return 1;
  const PowerWatts watts = settings ? RadioWatts(*settings, image) : PowerWatts{};
  std::vector<std::string> notes;
  const std::string text = format == CsvFormat::Chirp ? WriteChirpCsv(image, &notes, chinese, watts)
                                                      : WriteChansetCsv(image, chinese);
  if (!WriteOutput(args[1], text)) return 1;
  for (const std::string& note : notes) PrintLine(stderr, "chanset-cli: note: " + note);
  return 0;
}

}  // namespace cli
