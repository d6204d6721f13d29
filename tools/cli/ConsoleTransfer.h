#pragma once
// Running a clone transfer from the command line: messages on stderr, a
// progress bar when stderr is a terminal, the Retry/Cancel question when
// stdin is one, Ctrl-C as Cancel.
#include <string>

#include "data/MemoryImage.h"
#include "link/CloneTransfer.h"

namespace cli {

// The English text of a transfer message id.
const char* MessageText(int id);

// Runs the transfer on the device given by --port (COMn or a path). The
// messages are printed as they come; returns the result.
chanset::TransferResult RunConsoleTransfer(const std::string& portPath, chanset::TransferDirection direction,
                                           chanset::Image& image);

}  // namespace cli
