#pragma once
#include <string>

namespace cli {

// The device path for a --port argument: "COMn" or "\\.\COMn" (n = 1..16)
// goes through $CHANSET_COM<n>, then the default device of port n; anything
// else is taken as a device path. False (with `error`) for a port number
// out of range.
//
// Stands in for chanset::ResolvePortArgument until the port-name module is
// available; it knows nothing of the per-user port map.
bool PortPathFromArgument(const std::string& arg, std::string& path, std::string& error);

}  // namespace cli
