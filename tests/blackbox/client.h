#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "process.h"

namespace zelto::testing {

struct ClientLaunch {
  std::vector<std::string> args;                              // after the program name
  std::string command_line;                                   // for a Windows client: the whole command line instead
  std::vector<std::string> wrapper;                           // a command that runs the client, before it
  std::vector<std::pair<std::string, std::string>> env;      // the ZELTO_* variables to set
  StreamSetup out = StreamSetup::captured;
  StreamSetup err = StreamSetup::captured;
};

// Runs the client under test with the command in ZELTO_TEST_CLIENT: its path, or words separated by
// spaces that end with it, such as a launcher and a Windows client (zelto-cli.exe) to run under Wine.
ProcessResult run_client(const ClientLaunch& launch);
// The same, started and left running.
std::unique_ptr<ChildProcess> start_client(const ClientLaunch& launch);

// True when the client under test is a Windows program.
bool client_is_windows();

}  // namespace zelto::testing
