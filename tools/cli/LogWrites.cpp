#include "tools/cli/LogWrites.h"

#include <climits>
#include <cstdlib>

#include "link/PortDiscovery.h"
#include "link/WriteLog.h"
#include "link/WriteOutcome.h"

namespace cli {

std::string LoggedDocument(const std::string& given) {
  char buf[PATH_MAX];
  return given != "-" && realpath(given.c_str(), buf) ? std::string(buf) : given;
}

std::string LogWrite(const std::string& path, const std::string& document, const chanset::Image& image,
              const chanset::TransferResult& write, const chanset::ReadBackResult* back,
              const chanset::CSettingsFile* names) {
  if (write.end == chanset::TransferEnd::OpenFailed) return std::string();
  const chanset::WriteOutcome outcome = chanset::OutcomeOfWrite(write, image, back, false, false, names);
  const chanset::WriteRecord record = chanset::DescribeWrite(chanset::DiscoveryRootsFromEnvironment(), path, document,
                                                             image, names, chanset::LogWords(outcome));
  std::string error;
  if (chanset::AppendWriteLog(record, &error)) return std::string();
  return "the write could not be recorded in the write log: " + error;
}

}  // namespace cli
