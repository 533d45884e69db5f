#pragma once

#include <string>
#include <utility>
#include <vector>

#include "process.h"

namespace zelto::testing {

struct ClientLaunch {
  std::vector<std::string> args;                              // after the program name
  std::vector<std::pair<std::string, std::string>> env;      // the ZELTO_* variables to set
  StreamSetup out = StreamSetup::captured;
  StreamSetup err = StreamSetup::captured;
};

// Runs the client under test: the program that ZELTO_TEST_CLIENT names, started through the command
// in ZELTO_TEST_LAUNCHER when that is set (Wine, for the Windows build).
ProcessResult run_client(const ClientLaunch& launch);

// True when the client under test is a Windows program.
bool client_is_windows();

}  // namespace zelto::testing
